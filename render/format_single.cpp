// The written form of a single in the entity text form.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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

// The longest plain form: a sign, "0.000" and seven digits.
using PlainText = std::array<char, 16>;

// The plain form of a finite non-zero value into out, or nothing (0) when the value rounded to
// seven significant digits lies outside the plain range. The rounding is to_chars' own, of the
// exact value: "d.dddddde+XX".
std::size_t writePlain(float value, PlainText& out) {
    std::array<char, 32> scientific;
    const auto res = std::to_chars(scientific.data(), scientific.data() + scientific.size(),
                                   static_cast<double>(value), std::chars_format::scientific,
                                   kSignificantDigits - 1);
    const std::string_view text(scientific.data(),
                                static_cast<std::size_t>(res.ptr - scientific.data()));
    const bool negative = text.front() == '-';
    const std::size_t lead = negative ? 1 : 0;
    const std::size_t e = text.find('e');
    int exponent = 0;
    const char* exponentFirst = text.data() + e + 1;
    if (*exponentFirst == '+') {
        ++exponentFirst;
    }
    std::from_chars(exponentFirst, text.data() + text.size(), exponent);
    if (exponent < kPlainLowest || exponent > kPlainHighest) {
        return 0;
    }

    // The seven digits without the point, then without trailing zeros.
    std::array<char, kSignificantDigits> digits;
    digits[0] = text[lead];
    for (std::size_t i = 1; i < digits.size(); ++i) {
        digits[i] = text[lead + 1 + i];
    }
    std::size_t count = digits.size();
    while (digits[count - 1] == '0') {
        --count;
    }

    char* p = out.data();
    if (negative) {
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
