#pragma once
// A drawable item and its text form: six fields x1, x2, y1, y2, flags, text separated by CR LF.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

inline constexpr std::int32_t flagLine = 2;
inline constexpr std::int32_t flagEllipse = 4;
inline constexpr std::int32_t flagRectangle = 8;
inline constexpr std::int32_t flagSolid = 16;
inline constexpr std::int32_t flagText = 32;

struct renderEntity {
    float x1 = 0.0f;
    float x2 = 0.0f;
    float y1 = 0.0f;
    float y2 = 0.0f;
    std::int32_t flags = 0;
    std::string text;

    friend bool operator==(const renderEntity&, const renderEntity&) = default;
};

std::string entityToText(const renderEntity& entity);

// The empty record when the text has fewer than five CR LF delimiters. A fifth field that is not
// a whole number throws a type mismatch (13); one beyond 32 bits an overflow (6).
renderEntity textToEntity(std::string_view text);

}  // namespace kestro
