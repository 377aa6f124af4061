// The written form of a single in the entity text form.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/runtime_error.h"
#include "render/numbers.h"

namespace kestro {

namespace {

constexpr int kSignificantDigits = 7;
// Decimal exponents (of the value rounded to seven digits) written without an exponent.
constexpr int kPlainLowest = -4;
constexpr int kPlainHighest = 6;

// A finite non-zero value rounded to seven significant digits, ties to the even digit:
// |value| ~ digits x 10^(exponent - 6), with 10^6 <= digits < 10^7.
struct SevenDigits {
    std::uint32_t digits = 0;
    int exponent = 0;
};

constexpr std::uint32_t kSevenDigitsLow = 1'000'000;
constexpr std::uint32_t kSevenDigitsEnd = 10'000'000;
// Decimal exponents rounded by integers: the plain range and the one below it, whose largest
// values round up into the plain range.
constexpr int kExactLowest = kPlainLowest - 1;
constexpr int kExactHighest = kPlainHighest;

// With integers only, for normal singles of a decimal exponent in kExactLowest..kExactHighest:
// |value| = m x 2^e2 exactly (m below 2^24), so |value| x 10^s = (m x 5^s) x 2^(e2 + s) is a
// product of integers shifted, and the bits shifted out decide the rounding. Nothing for any
// other value.
std::optional<SevenDigits> sevenDigitsByIntegers(float value) {
    constexpr double kPowersOfTen[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1,
                                       1e2,  1e3,  1e4,  1e5,  1e6,  1e7};
    constexpr std::uint64_t kPowersOfFive[] = {1,     5,     25,     125,     625,     3125,
                                               15625, 78125, 390625, 1953125, 9765625, 48828125};
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value) & 0x7FFF'FFFFu;
    const auto biased = static_cast<int>(bits >> 23);
    if (biased == 0 || biased == 0xFF) {
        return std::nullopt;
    }
    const std::uint64_t m = (bits & 0x7F'FFFFu) | 0x80'0000u;
    const int e2 = biased - 150;

    // A first guess of the exponent from the magnitude; the digits put it right.
    const double magnitude = std::fabs(static_cast<double>(value));
    int exponent = kExactLowest - 1;
    while (exponent <= kExactHighest && magnitude >= kPowersOfTen[exponent - kExactLowest + 1]) {
        ++exponent;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (exponent < kExactLowest || exponent > kExactHighest) {
            return std::nullopt;
        }
        const int s = kSignificantDigits - 1 - exponent;
        const std::uint64_t product = m * kPowersOfFive[s];
        const int shift = e2 + s;
        std::uint64_t digits = 0;
        if (shift >= 0) {
            if (shift > 16) {
                return std::nullopt;
            }
            digits = product << shift;
        } else {
            const int right = -shift;
            if (right >= 63) {
                return std::nullopt;
            }
            digits = product >> right;
            const std::uint64_t rest = product & ((std::uint64_t{1} << right) - 1);
            const std::uint64_t half = std::uint64_t{1} << (right - 1);
            if (rest > half || (rest == half && (digits & 1) != 0)) {
                ++digits;
            }
        }
        if (digits >= kSevenDigitsEnd) {
            ++exponent;
        } else if (digits < kSevenDigitsLow) {
            --exponent;
        } else {
            return SevenDigits{static_cast<std::uint32_t>(digits), exponent};
        }
    }
    return std::nullopt;
}

// Any finite non-zero value, through to_chars' "d.dddddde+XX" (to_chars rounds the exact value
// the same way).
SevenDigits sevenDigitsByText(float value) {
    std::array<char, 32> scientific;
    const auto res = std::to_chars(scientific.data(), scientific.data() + scientific.size(),
                                   std::fabs(static_cast<double>(value)),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(scientific.data(),
                                static_cast<std::size_t>(res.ptr - scientific.data()));
    SevenDigits out;
    for (const char c : text.substr(0, text.find('e'))) {
        if (c != '.') {
            out.digits = out.digits * 10 + static_cast<std::uint32_t>(c - '0');
        }
    }
    const char* exponentFirst = text.data() + text.find('e') + 1;
    if (*exponentFirst == '+') {
        ++exponentFirst;
    }
    std::from_chars(exponentFirst, text.data() + text.size(), out.exponent);
    return out;
}

// The longest plain form: a sign, "0.000" and seven digits.
using PlainText = std::array<char, 16>;

// The plain form of a finite non-zero value into out, or nothing (0) when the value rounded to
// seven significant digits lies outside the plain range.
std::size_t writePlain(float value, PlainText& out) {
    const auto byIntegers = sevenDigitsByIntegers(value);
    const SevenDigits rounded = byIntegers ? *byIntegers : sevenDigitsByText(value);
    const int exponent = rounded.exponent;
    if (exponent < kPlainLowest || exponent > kPlainHighest) {
        return 0;
    }

    // The seven digits, then without trailing zeros.
    std::array<char, kSignificantDigits> digits;
    std::uint32_t rest = rounded.digits;
    for (std::size_t i = digits.size(); i-- > 0;) {
        digits[i] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    std::size_t count = digits.size();
    while (digits[count - 1] == '0') {
        --count;
    }

    char* p = out.data();
    if (value < 0.0f) {
        *p++ = '-';
    }
    if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        for (int i = 0; i < -exponent - 1; ++i) {
            *p++ = '0';
        }
        p = std::copy(digits.begin(), digits.begin() + static_cast<std::ptrdiff_t>(count), p);
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        for (std::size_t i = 0; i < std::max(count, integerDigits); ++i) {
            if (i == integerDigits) {
                *p++ = '.';
            }
            *p++ = i < count ? digits[i] : '0';
        }
    }
    return static_cast<std::size_t>(p - out.data());
}

bool readsBackTo(const std::string& text, float value) {
    try {
        return readSingle(text) == value;
    } catch (const RuntimeError&) {
        return false;
    }
}

// Values the game never produces: the shortest digits that read back to the same single, with
// an E exponent ("1.2345678E+07", "1E-05"). The longer forms are only a safety net.
std::string exponentForm(float value) {
    char buf[64];
    std::string text;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::to_chars_result res{};
        if (attempt == 0) {
            res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
        } else {
            res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                std::chars_format::scientific, attempt == 1 ? 8 : 16);
        }
        text.assign(buf, res.ptr);
        for (char& c : text) {
            if (c == 'e') {
                c = 'E';
            }
        }
        if (readsBackTo(text, value)) {
            break;
        }
    }
    return text;
}

}  // namespace

void appendSingle(std::string& out, float value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0.0f ? "-Infinity" : "Infinity";
        return;
    }
    if (value == 0.0f) {
        out += '0';
        return;
    }
    PlainText plain;
    if (const std::size_t n = writePlain(value, plain); n > 0) {
        out.append(plain.data(), n);
        return;
    }
    out += exponentForm(value);
}

std::string formatSingle(float value) {
    std::string out;
    appendSingle(out, value);
    return out;
}

}  // namespace kestro
