// Golden fingerprints of the number rules and the entity text form: the written form of about a
// million singles, the readers' answers (or errors) for hundreds of thousands of generated
// texts, and entities written and read back. The fingerprints were taken from the first
// implementation; a faster one must give every byte and every value the same.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "common/runtime_error.h"
#include "golden_hash.h"
#include "render/entity.h"
#include "render/numbers.h"

namespace kestro {
namespace {

using testing::GoldenHash;

// Runs f, adding its result with add, or the error number when it throws.
template <typename F, typename Add>
void addOutcome(GoldenHash& h, F&& f, Add&& add) {
    try {
        add(f());
    } catch (const RuntimeError& e) {
        h.add("error");
        h.addValue(e.number());
    }
}

TEST(EntityGolden, WrittenSingles) {
    struct Case {
        const char* what;
        std::uint64_t (*run)();
        std::uint64_t golden;
    };
    const Case cases[] = {
        {"every 4099th bit pattern",
         [] {
             GoldenHash h;
             for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 4099) {
                 const float v = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
                 h.add(formatSingle(v));
                 h.add("|");
             }
             return h.value();
         },
         9608258966088151970u},
        {"cell coordinates: column or row times a cell size, and plus one more",
         [] {
             GoldenHash h;
             std::mt19937_64 rng(11);
             for (int i = 0; i < 4000; ++i) {
                 const float size = std::bit_cast<float>(
                     static_cast<std::uint32_t>(0x3c000000u + rng() % 0x7000000u));
                 for (int k = 0; k < 59; ++k) {
                     const float a = static_cast<float>(k) * size;
                     h.add(formatSingle(a));
                     h.add("|");
                     h.add(formatSingle(a + size));
                     h.add("|");
                 }
             }
             return h.value();
         },
         7620559159199848326u},
        {"whole numbers, halves and hundredths up to 20000, both signs",
         [] {
             GoldenHash h;
             for (int i = -2'000'000; i <= 2'000'000; i += 7) {
                 h.add(formatSingle(static_cast<float>(i) / 100.0f));
                 h.add("|");
             }
             return h.value();
         },
         8623421769358489040u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.run(), c.golden) << c.what;
    }
}

// Texts that look like numbers, with the pieces the readers treat specially: signs, points,
// exponents with E or D, &H and &O, blanks, tabs and line feeds, long digit strings and stray
// characters.
std::string numberLikeText(std::mt19937_64& rng) {
    static constexpr char kAlphabet[] = " \t\n+-.0123456789eEdD&HhOoabcfx\r";
    std::string t;
    if (rng() % 3 == 0) {
        for (auto n = rng() % 16; n > 0; --n) {
            t += kAlphabet[rng() % (sizeof kAlphabet - 1)];
        }
        return t;
    }
    const auto digits = [&](std::uint64_t most) {
        for (auto n = rng() % (most + 1); n > 0; --n) {
            t += static_cast<char>('0' + rng() % 10);
            if (rng() % 20 == 0) {
                t += " \t\n"[rng() % 3];
            }
        }
    };
    if (rng() % 4 == 0) {
        t += " \t"[rng() % 2];
    }
    if (rng() % 8 == 0) {
        t += rng() % 2 ? "&H" : "&o";
        for (auto n = rng() % 20; n > 0; --n) {
            t += "0123456789abcdefABCDEF"[rng() % 22];
        }
    } else {
        if (rng() % 3 == 0) {
            t += "+-"[rng() % 2];
        }
        digits(rng() % 5 == 0 ? 30 : 8);
        if (rng() % 2 == 0) {
            t += '.';
            digits(rng() % 5 == 0 ? 30 : 8);
        }
        if (rng() % 3 == 0) {
            t += "eEdD"[rng() % 4];
            if (rng() % 2 == 0) {
                t += "+-"[rng() % 2];
            }
            digits(rng() % 6 == 0 ? 5 : 2);
        }
    }
    if (rng() % 4 == 0) {
        t += " \tx,e"[rng() % 5];
    }
    return t;
}

TEST(EntityGolden, ReadersOfGeneratedTexts) {
    std::mt19937_64 rng(2718);
    GoldenHash number, single, numeric, strict;
    for (int i = 0; i < 300000; ++i) {
        const std::string t = numberLikeText(rng);
        addOutcome(
            number, [&] { return readNumber(t); }, [&](double v) { number.addValue(v); });
        addOutcome(
            single, [&] { return readSingle(t); }, [&](float v) { single.addValue(v); });
        numeric.addValue(isNumeric(t));
        addOutcome(
            strict, [&] { return toLongStrict(t); }, [&](std::int32_t v) { strict.addValue(v); });
    }
    EXPECT_EQ(number.value(), 9026826215243098161u) << "readNumber";
    EXPECT_EQ(single.value(), 14357120168686435629u) << "readSingle";
    EXPECT_EQ(numeric.value(), 107835760456445266u) << "isNumeric";
    EXPECT_EQ(strict.value(), 9674234645733070891u) << "toLongStrict";
}

TEST(EntityGolden, EntitiesWrittenAndRead) {
    std::mt19937_64 rng(314);
    GoldenHash written, read;
    const auto randomFloat = [&]() -> float {
        switch (rng() % 4) {
            case 0:
                return std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
            case 1:
                return static_cast<float>(static_cast<std::int64_t>(rng() % 20001) - 10000) /
                       static_cast<float>(1 + rng() % 64);
            default:
                return static_cast<float>(rng() % 59) * 9.864407f;
        }
    };
    const std::int32_t flagsPool[] = {0,
                                      8,
                                      16,
                                      20,
                                      24,
                                      28,
                                      62,
                                      -1,
                                      123456789,
                                      std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max()};
    const char* textPool[] = {"", "c0", "c255", "c16711680", "x\r\ny", "\r\n\r\n", "Kestro 4"};
    for (int i = 0; i < 100000; ++i) {
        const renderEntity e{randomFloat(),
                             randomFloat(),
                             randomFloat(),
                             randomFloat(),
                             flagsPool[rng() % std::size(flagsPool)],
                             textPool[rng() % std::size(textPool)]};
        written.add(entityToText(e));
        written.add("|");
    }
    // Texts of six fields drawn from number-like texts, or fewer, or with CR LF inside.
    for (int i = 0; i < 150000; ++i) {
        std::string t;
        const auto fields = 3 + rng() % 5;
        for (std::uint64_t f = 0; f < fields; ++f) {
            if (f > 0) {
                t += rng() % 30 == 0 ? "\r" : "\r\n";
            }
            t += f == 4 && rng() % 2 == 0 ? std::to_string(static_cast<std::int32_t>(rng()))
                                          : numberLikeText(rng);
        }
        addOutcome(
            read, [&] { return textToEntity(t); },
            [&](const renderEntity& e) {
                read.addValue(e.x1);
                read.addValue(e.x2);
                read.addValue(e.y1);
                read.addValue(e.y2);
                read.addValue(e.flags);
                read.add(e.text);
                read.add("|");
            });
    }
    EXPECT_EQ(written.value(), 11270961499663602557u) << "entityToText";
    EXPECT_EQ(read.value(), 11602701232394326223u) << "textToEntity";
}

}  // namespace
}  // namespace kestro
