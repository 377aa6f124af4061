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

// Pieces of the text form, for writers that build many texts from shared parts: one coordinate
// field with its delimiter, and the last two fields (flags, delimiter, text).
void appendCoordinateField(std::string& out, float coordinate);
void appendTail(std::string& out, std::int32_t flags, std::string_view text);

// The empty record when the text has fewer than five CR LF delimiters. A fifth field that is not
// a whole number throws a type mismatch (13); one beyond 32 bits an overflow (6).
renderEntity textToEntity(std::string_view text);

}  // namespace kestro
