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

// Message texts use CR LF between lines; the box wants plain line feeds.
std::string toDisplayText(const std::string& text);

}  // namespace kestro::shell
