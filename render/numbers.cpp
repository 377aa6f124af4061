#include "render/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

#include "common/rounding.h"
#include "common/runtime_error.h"

namespace kestro {

namespace {

constexpr int kEnd = -1;

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
bool isOctalDigit(int c) {
    return c >= '0' && c <= '7';
}
bool isHexDigit(int c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}
int lowerAscii(int c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

// Blanks the lenient reader skips wherever they stand.
bool isSkippedInside(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
// Blanks the numeric test allows around a number.
bool isBlankAround(char c) {
    return c == ' ' || c == '\t';
}

// Steps through a text; in lenient mode blanks, tabs and line feeds are invisible.
class Cursor {
  public:
    Cursor(std::string_view text, bool lenient) : text_(text), lenient_(lenient) {}

    int peek() {
        skip();
        return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : kEnd;
    }
    void advance() {
        skip();
        ++pos_;
    }
    std::size_t position() const { return pos_; }
    void rewind(std::size_t pos) { pos_ = pos; }

  private:
    void skip() {
        if (lenient_) {
            while (pos_ < text_.size() && isSkippedInside(text_[pos_])) {
                ++pos_;
            }
        }
    }

    std::string_view text_;
    bool lenient_;
    std::size_t pos_ = 0;
};

enum class Radix { none, decimal, hex, octal };

// The number at the start of a text, taken apart. A decimal number's value is
// digits x 10^exponent; a hexadecimal or octal one's is its digits in that base.
struct ScannedNumber {
    Radix radix = Radix::none;
    bool negative = false;
    std::string digits;  // without leading zeros (decimal: without trailing zeros either)
    std::int64_t exponent = 0;
    std::size_t end = 0;  // position just after the last character of the number
};

// Exponents beyond this magnitude are held at it: the value is then far outside any range.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

void appendDigit(std::string& digits, char c) {
    if (!(digits.empty() && c == '0')) {
        digits.push_back(c);
    }
}

ScannedNumber scanRadix(Cursor& cur, Radix radix) {
    ScannedNumber n;
    bool any = false;
    for (int c = cur.peek(); radix == Radix::hex ? isHexDigit(c) : isOctalDigit(c);
         c = cur.peek()) {
        appendDigit(n.digits, static_cast<char>(c));
        any = true;
        cur.advance();
    }
    if (any) {
        n.radix = radix;
        n.end = cur.position();
    }
    return n;
}

ScannedNumber scanDecimal(Cursor& cur) {
    ScannedNumber n;
    if (cur.peek() == '+' || cur.peek() == '-') {
        n.negative = cur.peek() == '-';
        cur.advance();
    }
    bool any = false;
    for (; isDigit(cur.peek()); cur.advance()) {
        appendDigit(n.digits, static_cast<char>(cur.peek()));
        any = true;
    }
    if (cur.peek() == '.') {
        cur.advance();
        for (; isDigit(cur.peek()); cur.advance()) {
            appendDigit(n.digits, static_cast<char>(cur.peek()));
            --n.exponent;
            any = true;
        }
    }
    if (!any) {
        return {};
    }
    n.radix = Radix::decimal;
    n.end = cur.position();

    // The exponent counts only when at least one digit follows the letter (and its sign).
    const int letter = lowerAscii(cur.peek());
    if (letter == 'e' || letter == 'd') {
        cur.advance();
        bool negativeExponent = false;
        if (cur.peek() == '+' || cur.peek() == '-') {
            negativeExponent = cur.peek() == '-';
            cur.advance();
        }
        std::int64_t e = 0;
        bool anyExponentDigit = false;
        for (; isDigit(cur.peek()); cur.advance()) {
            e = std::min(kExponentCap, e * 10 + (cur.peek() - '0'));
            anyExponentDigit = true;
        }
        if (anyExponentDigit) {
            n.exponent += negativeExponent ? -e : e;
            n.end = cur.position();
        }
    }

    const auto lastNonZero = n.digits.find_last_not_of('0');
    if (lastNonZero == std::string::npos) {
        n.digits.clear();
        n.exponent = 0;
    } else {
        n.exponent += static_cast<std::int64_t>(n.digits.size() - lastNonZero - 1);
        n.digits.resize(lastNonZero + 1);
    }
    return n;
}

// The number a text begins with (after blanks, in lenient mode).
ScannedNumber scan(std::string_view text, bool lenient) {
    Cursor cur(text, lenient);
    if (cur.peek() == '&') {
        cur.advance();
        const int prefix = lowerAscii(cur.peek());
        if (prefix == 'h' || prefix == 'o') {
            cur.advance();
            return scanRadix(cur, prefix == 'h' ? Radix::hex : Radix::octal);
        }
        return {};
    }
    return scanDecimal(cur);
}

// mantissa x 10^exponent when both factors are exact doubles (a mantissa below 10^15, a power
// of ten up to 10^22): then one multiplication or division rounds the exact value to the
// nearest double, just as reading the whole decimal would. Nothing otherwise.
std::optional<double> exactProduct(std::uint64_t mantissa, std::int64_t exponent) {
    constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::int64_t kLargest = 22;
    if (mantissa >= 1'000'000'000'000'000 || exponent > kLargest || exponent < -kLargest) {
        return std::nullopt;
    }
    const double m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * kPowers[exponent] : m / kPowers[-exponent];
}

// The value of a text that is nothing but a plain decimal, [+-]digits[.digits] with at least
// one digit, at most 15 significant digits and at most 22 after the point: what scanning it
// gives (the decimal rounded once to the nearest double; zero of either sign as 0), without
// taking it apart. Nothing for any other text.
std::optional<double> plainDecimal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        ++i;
    }
    std::uint64_t mantissa = 0;
    int significant = 0;
    std::int64_t fraction = 0;
    bool point = false;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(c)) {
            return std::nullopt;
        }
        any = true;
        fraction += point ? 1 : 0;
        if ((significant > 0 || c != '0') && ++significant > 15) {
            return std::nullopt;
        }
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (!any) {
        return std::nullopt;
    }
    if (mantissa == 0) {
        return 0.0;
    }
    const auto value = exactProduct(mantissa, -fraction);
    if (!value) {
        return std::nullopt;
    }
    return negative ? -*value : *value;
}

double decimalValue(const ScannedNumber& n) {
    if (n.digits.empty()) {
        return 0.0;
    }
    // The value lies in [10^(top-1), 10^top).
    const std::int64_t top = n.exponent + static_cast<std::int64_t>(n.digits.size());
    if (top > 309) {
        throw overflowError();
    }
    if (top < -324) {
        return 0.0;
    }
    if (n.digits.size() <= 15) {
        std::uint64_t mantissa = 0;
        for (const char c : n.digits) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (const auto exact = exactProduct(mantissa, n.exponent)) {
            return n.negative ? -*exact : *exact;
        }
    }
    // "digits" "e" "exponent", in place unless the digits are many.
    std::array<char, 96> inPlace;
    std::string onHeap;
    const std::string_view digits = n.digits;
    char* first = inPlace.data();
    char* last = inPlace.data() + inPlace.size();
    if (digits.size() + 24 > inPlace.size()) {
        onHeap.resize(digits.size() + 24);
        first = onHeap.data();
        last = onHeap.data() + onHeap.size();
    }
    char* p = std::copy(digits.begin(), digits.end(), first);
    *p++ = 'e';
    p = std::to_chars(p, last, n.exponent).ptr;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, p, value);
    if (ec == std::errc::result_out_of_range) {
        if (top > 0) {
            throw overflowError();
        }
        value = 0.0;
    }
    return n.negative ? -value : value;
}

// Hexadecimal and octal digits: the first ones that fill 64 bits give the value, the rest scale
// it; a lost non-zero digit sets the lowest bit so that the rounding to double stays exact.
double radixValue(const ScannedNumber& n) {
    const int bitsPerDigit = n.radix == Radix::hex ? 4 : 3;
    const std::size_t held = n.radix == Radix::hex ? 16 : 21;
    std::uint64_t mantissa = 0;
    std::size_t i = 0;
    for (; i < n.digits.size() && i < held; ++i) {
        mantissa = (mantissa << bitsPerDigit) | static_cast<std::uint64_t>(hexValue(n.digits[i]));
    }
    const std::size_t extra = n.digits.size() - i;
    if (n.digits.find_first_not_of('0', i) != std::string::npos) {
        mantissa |= 1;
    }
    if (extra * static_cast<std::size_t>(bitsPerDigit) > 1100) {
        throw overflowError();
    }
    const double value =
        std::ldexp(static_cast<double>(mantissa), static_cast<int>(extra) * bitsPerDigit);
    if (std::isinf(value)) {
        throw overflowError();
    }
    return value;
}

double valueOf(const ScannedNumber& n) {
    switch (n.radix) {
        case Radix::decimal:
            return decimalValue(n);
        case Radix::hex:
        case Radix::octal:
            return radixValue(n);
        case Radix::none:
            break;
    }
    return 0.0;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlankAround(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankAround(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

double readNumber(std::string_view text) {
    if (const auto plain = plainDecimal(text)) {
        return *plain;
    }
    return valueOf(scan(text, true));
}

float readSingle(std::string_view text) {
    const double value = readNumber(text);
    // Halfway between the largest single and 2^128 already rounds to infinity.
    constexpr double kFirstBeyond = 0x1.ffffffp127;
    if (std::fabs(value) >= kFirstBeyond) {
        throw overflowError();
    }
    return static_cast<float>(value);
}

bool isNumeric(std::string_view text) {
    const std::string_view core = trimBlanks(text);
    const ScannedNumber n = scan(core, false);
    return n.radix != Radix::none && n.end == core.size();
}

std::int32_t toLongStrict(std::string_view text) {
    const std::string_view core = trimBlanks(text);
    if (const auto plain = plainDecimal(core)) {
        return nearest<std::int32_t>(*plain);
    }
    const ScannedNumber n = scan(core, false);
    if (n.radix == Radix::none || n.end != core.size()) {
        throw typeMismatch();
    }
    return nearest<std::int32_t>(valueOf(n));
}

}  // namespace kestro
