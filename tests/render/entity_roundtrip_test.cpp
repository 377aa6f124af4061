// Round trips through the text form: random decimals, a sweep over all magnitudes of singles,
// and texts longer than 16-bit positions.

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "render/entity.h"
#include "render/numbers.h"

namespace kestro {
namespace {

// mantissa x 10^exponent with a mantissa of at most six digits.
struct Decimal {
    bool negative = false;
    std::uint32_t mantissa = 0;
    int exponent = 0;
};

Decimal randomDecimal(std::mt19937_64& rng) {
    Decimal d;
    d.negative = rng() % 2 == 0;
    if (rng() % 50 != 0) {
        const int digits = 1 + static_cast<int>(rng() % 6);
        std::uint32_t low = 1;
        for (int i = 1; i < digits; ++i) {
            low *= 10;
        }
        d.mantissa = low + static_cast<std::uint32_t>(rng() % (9 * low));
    }
    d.exponent = -14 + static_cast<int>(rng() % 26);
    return d;
}

std::string scientific(const Decimal& d) {
    return (d.negative ? "-" : "") + std::to_string(d.mantissa) + "e" + std::to_string(d.exponent);
}

// The decimal without an exponent, as the game writes its coordinates ("0.00125", "-270.5").
std::string plain(Decimal d) {
    if (d.mantissa == 0) {
        return "0";
    }
    while (d.mantissa % 10 == 0) {
        d.mantissa /= 10;
        ++d.exponent;
    }
    std::string digits = std::to_string(d.mantissa);
    if (d.exponent >= 0) {
        digits.append(static_cast<std::size_t>(d.exponent), '0');
    } else if (static_cast<std::size_t>(-d.exponent) < digits.size()) {
        digits.insert(digits.size() - static_cast<std::size_t>(-d.exponent), ".");
    } else {
        digits =
            "0." + std::string(static_cast<std::size_t>(-d.exponent) - digits.size(), '0') + digits;
    }
    return (d.negative ? "-" : "") + digits;
}

// Magnitudes where the decimal itself is written. Between 2^-10 and 0.001 singles lie further
// apart than a unit of the seventh digit, so seven rounded digits of the nearest single can
// differ from the decimal there (0.00099752 is written 0.0009975201); it still reads back.
bool writtenAsItself(const Decimal& d) {
    const double magnitude = std::fabs(std::stod(scientific(d)));
    return magnitude >= 1e-4 && magnitude < 1e7 && !(magnitude >= 0x1p-10 && magnitude < 1e-3);
}

float nearestSingle(const Decimal& d) {
    const std::string text = scientific(d);
    float value = 0.0f;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

TEST(EntityRoundTrip, SinglesNearestToShortDecimalsSurvive) {
    std::mt19937_64 rng(20240611);
    for (int i = 0; i < 100000; ++i) {
        Decimal d[4];
        for (auto& one : d) {
            one = randomDecimal(rng);
        }
        const renderEntity entity{nearestSingle(d[0]),
                                  nearestSingle(d[1]),
                                  nearestSingle(d[2]),
                                  nearestSingle(d[3]),
                                  static_cast<std::int32_t>(rng()),
                                  "c" + std::to_string(rng() % 16777216)};
        const std::string text = entityToText(entity);
        const renderEntity back = textToEntity(text);
        ASSERT_EQ(back, entity) << scientific(d[0]) << " " << scientific(d[1]) << " "
                                << scientific(d[2]) << " " << scientific(d[3]) << " -> " << text;
        for (const auto& one : d) {
            if (writtenAsItself(one)) {
                ASSERT_EQ(formatSingle(nearestSingle(one)), plain(one)) << scientific(one);
            }
        }
    }
}

// Where a written single is plain, its seven-digit rounding stays within half a unit of the
// seventh digit; where it carries an exponent, it reads back exactly. Either way, reading it
// back and writing again gives the same text.
void checkWrittenForm(float value) {
    const std::string text = formatSingle(value);
    const double magnitude = std::fabs(static_cast<double>(value));
    const bool exponent = text.find('E') != std::string::npos;
    const bool plainRange = magnitude == 0.0 || (magnitude >= 0.99999995e-4 && magnitude < 1e7);
    ASSERT_EQ(exponent, !plainRange) << value << " -> " << text;
    const float back = readSingle(text);
    if (exponent) {
        ASSERT_EQ(back, value) << text;
    } else {
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text;
        int significant = 0;
        bool started = false;
        for (const char c : text) {
            started = started || (c >= '1' && c <= '9');
            significant += started && c >= '0' && c <= '9';
        }
        ASSERT_LE(significant, 7) << text;
        const double written = readNumber(text);
        ASSERT_LE(std::fabs(written - static_cast<double>(value)), 5e-7 * std::fabs(written))
            << value << " -> " << text;
    }
    ASSERT_EQ(formatSingle(back), text) << value;
}

TEST(EntityRoundTrip, WrittenFormsOverTheWholeSingleRange) {
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 42953) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (std::isfinite(value)) {
            checkWrittenForm(value);
        }
    }
}

TEST(EntityRoundTrip, WrittenFormsAtTheEndsOfThePlainRange) {
    const float ends[] = {1e-4f, 1e7f, 1.0f, 1e6f, 8388608.0f, 0x1p-10f};
    for (const float end : ends) {
        for (const float sign : {1.0f, -1.0f}) {
            float value = sign * end;
            for (int i = 0; i < 3000; ++i) {
                value = std::nextafter(value, 0.0f);
            }
            for (int i = 0; i < 6000; ++i) {
                checkWrittenForm(value);
                value = std::nextafter(value, sign * INFINITY);
            }
        }
    }
}

TEST(EntityLongText, ConvertsPastSixteenBitPositions) {
    std::string text(100000, 'x');
    for (const std::size_t at : {10u, 32765u, 32766u, 32767u, 40000u, 99998u}) {
        text.replace(at, 2, "\r\n");
    }
    const renderEntity entity{30.0f, 40.0f, 20.0f, 30.0f, 32, text};
    EXPECT_EQ(textToEntity(entityToText(entity)), entity);

    // The delimiters themselves stand far beyond position 32,766.
    const std::string padded = std::string(40000, ' ') + "30\r\n" + std::string(20000, ' ') +
                               "40\r\n20\r\n30\r\n" + std::string(30000, ' ') + "24\r\nc0";
    EXPECT_EQ(textToEntity(padded), (renderEntity{30.0f, 40.0f, 20.0f, 30.0f, 24, "c0"}));
}

}  // namespace
}  // namespace kestro
