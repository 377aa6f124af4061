#pragma once
// The Help menu: the texts of its About box and of its help, and the Qt box that shows them.

#include <string>

#include "shell/dialogs.h"

class QWidget;

namespace kestro::shell {

inline constexpr const char* kAboutTitle = "About Kestro";
inline constexpr const char* kHelpTitle = "Kestro Help";

// The game's name and version, the build's version and one line about the game.
std::string aboutText();

// The keys of the menu items the help mentions, as the platform names them ("Ctrl+S").
struct MenuKeys {
    std::string save;
    std::string open;
    std::string quit;
    std::string help;
};

// How to play, with the keys of the menu items.
std::string helpText(const MenuKeys& keys);

// A Qt message box with the application's icon and an OK button.
class QtInfoPrompt final : public InfoPrompt {
  public:
    explicit QtInfoPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void showInfo(const std::string& title, const std::string& text) override;

  private:
    QWidget* parent_;
};

}  // namespace kestro::shell
