#pragma once
// The number rules of the entity text form and of the renderer's colour test.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// The general form of a single: at most seven significant digits, no exponent for the game's
// magnitudes, "." as decimal point, no trailing zeros or point ("30", "270.5", "0.25", "-3").
std::string formatSingle(float value);

// The lenient number reader: blanks, tabs and line feeds are ignored anywhere; optional sign,
// digits, fraction, exponent with E or D; &H and &O prefixes; reading stops at the first
// character that cannot continue the number; text without a leading number reads 0.
double readNumber(std::string_view text);

// readNumber rounded to the nearest single.
float readSingle(std::string_view text);

// The strict integer conversion: the whole text, apart from blanks around it, must be a number;
// a fraction rounds to the nearest integer, halves to even. Throws a type mismatch (13) for
// text that is not a number and an overflow (6) beyond signed 32 bits.
std::int32_t toLongStrict(std::string_view text);

// The numeric test: a number with optional blanks around it, sign, decimal point and exponent.
// The empty text is not numeric.
bool isNumeric(std::string_view text);

}  // namespace kestro
