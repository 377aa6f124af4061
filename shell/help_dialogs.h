#pragma once
// The Help menu: the texts of its About box and of its help, and the Qt box that shows them.

#include <string>
#include <string_view>
#include <vector>

#include "shell/dialogs.h"

class QWidget;

namespace kestro::shell {

inline constexpr const char* kAboutTitle = "About Kestro";
inline constexpr const char* kHelpTitle = "Kestro Help";

// The game's name and version, the build's version, one line about the game, its licence and
// its homepage.
std::string aboutText();

// An item of the menu bar as the help names it: its menu's and its own caption as the player
// reads them, and its keys as the platform names them ("Ctrl+S"), in the item's order.
struct MenuItem {
    std::string menu;
    std::string item;
    std::vector<std::string> keys;
};

// A caption as the menu shows it: each "&" that marks a mnemonic taken out, "&&" read as "&".
std::string plainCaption(std::string_view caption);

// How to play, then every item of the menu bar with its keys and what it does.
std::string helpText(const std::vector<MenuItem>& items);

// A Qt message box with the application's icon and an OK button.
class QtInfoPrompt final : public InfoPrompt {
  public:
    explicit QtInfoPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void showInfo(const std::string& title, const std::string& text) override;

  private:
    QWidget* parent_;
};

}  // namespace kestro::shell
