#pragma once
// The window's modal prompts, behind interfaces so that tests can answer them without a screen.

#include <cstddef>
#include <optional>
#include <string>

#include "records/table.h"

namespace kestro::shell {

// A message with an OK button only, under the application's title and without an icon; returns
// when the player has closed it.
class MessagePrompt {
  public:
    virtual ~MessagePrompt() = default;
    virtual void showMessage(const std::string& text) = 0;
};

// A text to read under its own title, with an OK button only; returns when the player has closed
// it. The Help menu's About box and help.
class InfoPrompt {
  public:
    virtual ~InfoPrompt() = default;
    virtual void showInfo(const std::string& title, const std::string& text) = 0;
};

// The file dialog of the File menu. Each call shows it, starting in `folder` when that is not
// empty, and returns the chosen path, or nothing when the player cancelled it.
class FileDialog {
  public:
    virtual ~FileDialog() = default;
    virtual std::optional<std::string> askSavePath(const std::string& folder) = 0;
    virtual std::optional<std::string> askOpenPath(const std::string& folder) = 0;
};

// The high-score table's dialogs.
class RecordsPrompt {
  public:
    virtual ~RecordsPrompt() = default;
    // Asks the name a new entry goes in under, offering `offered`; nothing when the player
    // cancelled (the entry then goes in under the name offered).
    virtual std::optional<std::string> askName(const std::string& offered) = 0;
    // Shows the table; `marked` is the place (1..10) of the entry just made, if any.
    virtual void showTable(const records::Table& table, std::optional<std::size_t> marked) = 0;
};

}  // namespace kestro::shell
