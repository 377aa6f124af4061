// The number rules on their own: the lenient reader, the single reader, the strict integer
// conversion, the numeric test and the written form of a single. Besides crashes it checks:
// - the readers fail only with an overflow (6), the strict conversion also with a type
//   mismatch (13), which it gives exactly for the texts the numeric test calls not numeric;
// - a text the strict conversion takes reads as the same number leniently;
// - every single is written in a form that reads back without error: exactly the same single
//   when it carries an exponent, within half a unit of the seventh significant digit when it is
//   plain; writing the single read back gives the same text again. NaN and the infinities are
//   written "NaN", "Infinity" and "-Infinity" and read back as 0.
//
// Input: the whole input is one text; each whole 4 bytes of it (up to 16) are also a single.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/rounding.h"
#include "common/runtime_error.h"
#include "render/numbers.h"

namespace {

namespace errnum = kestro::errnum;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkText(std::string_view text) {
    double lenient = 0.0;
    bool lenientOk = true;
    try {
        lenient = kestro::readNumber(text);
        require(!std::isnan(lenient) && !std::isinf(lenient));
    } catch (const kestro::RuntimeError& e) {
        require(e.number() == errnum::kOverflow);
        lenientOk = false;
    }
    try {
        (void)kestro::readSingle(text);
    } catch (const kestro::RuntimeError& e) {
        require(e.number() == errnum::kOverflow);
    }
    const bool numeric = kestro::isNumeric(text);
    try {
        const std::int32_t strict = kestro::toLongStrict(text);
        require(numeric);
        require(lenientOk && kestro::nearest<std::int32_t>(lenient) == strict);
    } catch (const kestro::RuntimeError& e) {
        require(e.number() == (numeric ? errnum::kOverflow : errnum::kTypeMismatch));
    }
}

int significantDigits(const std::string& text) {
    int n = 0;
    bool started = false;
    for (const char c : text) {
        started = started || (c >= '1' && c <= '9');
        n += started && c >= '0' && c <= '9';
    }
    return n;
}

void checkWritten(float value) {
    const std::string text = kestro::formatSingle(value);
    const float back = kestro::readSingle(text);  // never an error for a written single
    if (std::isnan(value)) {
        require(text == "NaN" && back == 0.0f);
        return;
    }
    if (std::isinf(value)) {
        require(text == (value < 0.0f ? "-Infinity" : "Infinity") && back == 0.0f);
        return;
    }
    require(kestro::isNumeric(text));
    if (value == 0.0f) {
        require(text == "0");
    } else if (text.find('E') != std::string::npos) {
        require(std::bit_cast<std::uint32_t>(back) == std::bit_cast<std::uint32_t>(value));
    } else {
        require(text.find_first_not_of("-0123456789.") == std::string::npos);
        require(significantDigits(text) <= 7);
        const double written = kestro::readNumber(text);
        require(std::fabs(written - static_cast<double>(value)) <= 5e-7 * std::fabs(written));
    }
    require(kestro::formatSingle(back) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::size_t at = 0; at + 4 <= size && at < 64; at += 4) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, data + at, 4);
        checkWritten(std::bit_cast<float>(bits));
    }
    return 0;
}
