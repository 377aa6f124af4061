#pragma once
// The window's modal prompts, behind interfaces so that tests can answer them without a screen.

#include <string>

namespace kestro::shell {

// A message with an OK button only, under the application's title and without an icon; returns
// when the player has closed it.
class MessagePrompt {
  public:
    virtual ~MessagePrompt() = default;
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace kestro::shell
