#pragma once
// The real message boxes behind the window's prompts and the error trap.

#include <string>

#include "diag/error_trap.h"
#include "shell/dialogs.h"

class QWidget;

namespace kestro::shell {

// Abort, Retry and Ignore with Retry the default, the critical icon, modal and kept above every
// window. Returns 3 (Abort), 4 (Retry), 5 (Ignore), or 0 when the box ended otherwise.
class QtTrapDialog final : public TrapDialog {
  public:
    int ask(const std::string& title, const std::string& text) override;
};

// An OK-only box titled with the application's display name.
class QtMessagePrompt final : public MessagePrompt {
  public:
    explicit QtMessagePrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void showMessage(const std::string& text) override;

  private:
    QWidget* parent_;
};

// Qt's own file dialog (not the desktop's, so it works the same everywhere, also headless),
// titled "Plim save/load", offering saved games and all files. The save dialog adds ".egf" to a
// name without an extension.
class QtFileDialog final : public FileDialog {
  public:
    explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::string> askSavePath(const std::string& folder) override;
    std::optional<std::string> askOpenPath(const std::string& folder) override;

  private:
    std::optional<std::string> ask(bool save, const std::string& folder);
    QWidget* parent_;
};

inline constexpr const char* kFileDialogTitle = "Plim save/load";

// Message texts use CR LF between lines; the box wants plain line feeds.
std::string toDisplayText(const std::string& text);

}  // namespace kestro::shell
