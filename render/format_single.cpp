// The written form of a single in the entity text form.

#include <charconv>
#include <cmath>
#include <string>

#include "common/runtime_error.h"
#include "render/numbers.h"

namespace kestro {

namespace {

constexpr int kSignificantDigits = 7;
// Decimal exponents (of the value rounded to seven digits) written without an exponent.
constexpr int kPlainLowest = -4;
constexpr int kPlainHighest = 6;

// The seven significant digits of a finite non-zero value, rounded, and its decimal exponent:
// value ~ d.dddddd x 10^exponent.
struct SevenDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

SevenDigits roundToSevenDigits(float value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    SevenDigits out;
    std::size_t i = 0;
    if (text[i] == '-') {
        out.negative = true;
        ++i;
    }
    const std::size_t e = text.find('e');
    for (; i < e; ++i) {
        if (text[i] != '.') {
            out.digits.push_back(text[i]);
        }
    }
    std::string_view exponent = text.substr(e + 1);
    if (!exponent.empty() && exponent.front() == '+') {
        exponent.remove_prefix(1);
    }
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), out.exponent);
    return out;
}

std::string plainForm(SevenDigits n) {
    n.digits.erase(n.digits.find_last_not_of('0') + 1);
    std::string out = n.negative ? "-" : "";
    if (n.exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n.exponent - 1), '0');
        out += n.digits;
        return out;
    }
    const auto integerDigits = static_cast<std::size_t>(n.exponent) + 1;
    if (n.digits.size() <= integerDigits) {
        out += n.digits;
        out.append(integerDigits - n.digits.size(), '0');
        return out;
    }
    out += n.digits.substr(0, integerDigits);
    out += '.';
    out += n.digits.substr(integerDigits);
    return out;
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

std::string formatSingle(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0.0f ? "-Infinity" : "Infinity";
    }
    if (value == 0.0f) {
        return "0";
    }
    const SevenDigits rounded = roundToSevenDigits(value);
    if (rounded.exponent >= kPlainLowest && rounded.exponent <= kPlainHighest) {
        return plainForm(rounded);
    }
    return exponentForm(value);
}

}  // namespace kestro
