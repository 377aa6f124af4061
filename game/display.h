#pragma once
// How the game core shows things: the three setting labels, the score box and OK-only message
// boxes. The window implements it with real controls; tests and tools record or ignore it.

#include <cstdint>
#include <string>

namespace kestro {

enum class LabelId { Label1, Label2, Label3 };  // level, acceleration, top speed

class GameDisplay {
  public:
    virtual ~GameDisplay() = default;
    virtual void setLabel(LabelId label, const std::string& caption) = 0;
    virtual void showScore(std::int32_t score) = 0;
    // Shows a message with an OK button and returns when the player has closed it.
    virtual void showMessage(const std::string& text) = 0;
};

class NullDisplay final : public GameDisplay {
  public:
    void setLabel(LabelId, const std::string&) override {}
    void showScore(std::int32_t) override {}
    void showMessage(const std::string&) override {}
};

}  // namespace kestro
