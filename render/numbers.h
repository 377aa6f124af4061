#pragma once
// The number rules of the entity text form and of the renderer's colour test.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// The general form of a single: at most seven significant digits, no exponent for the game's
// magnitudes, "." as decimal point, no trailing zeros or point ("30", "270.5", "0.25", "-3").
// Zero, negative zero included, is "0". When the value rounded to seven digits lies in
// [1e-4, 1e7) it is written plainly; otherwise the shortest digits that read back to the same
// single follow, with an E exponent ("1E+07", "1.2345678E+07", "-1.5E-05"). NaN and the
// infinities, which the game never produces, are written "NaN", "Infinity" and "-Infinity";
// they read back as 0.
std::string formatSingle(float value);
// formatSingle(value) written at the end of out.
void appendSingle(std::string& out, float value);

// The lenient number reader: blanks, tabs and line feeds are ignored anywhere; optional sign,
// digits, fraction, exponent with E or D; &H and &O prefixes; reading stops at the first
// character that cannot continue the number; text without a leading number reads 0.
// &H and &O numbers are the plain non-negative values of their digits (no sign before "&").
// A value beyond the double range throws an overflow (6); one too small for it reads 0.
double readNumber(std::string_view text);

// readNumber rounded to the nearest single. A value beyond the single range throws an
// overflow (6).
float readSingle(std::string_view text);

// The strict integer conversion: the whole text, apart from blanks around it, must be a number;
// a fraction rounds to the nearest integer, halves to even. Throws a type mismatch (13) for
// text that is not a number and an overflow (6) beyond signed 32 bits.
std::int32_t toLongStrict(std::string_view text);

// The numeric test: a number with optional blanks around it, sign, decimal point and exponent.
// The empty text is not numeric. Blanks are spaces and tabs, allowed before and after the
// number only; the number is the lenient reader's (exponent E or D with at least one digit,
// &H and &O forms) and must take up the rest of the text.
bool isNumeric(std::string_view text);

}  // namespace kestro
