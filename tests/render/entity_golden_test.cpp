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

using test::GoldenHash;

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
        GoldenHash (*run)();
        std::uint64_t golden;
        const char* sample;
    };
    const Case cases[] = {
        {"every 4099th bit pattern",
         [] {
             GoldenHash h;
             for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 4099) {
                 const float v = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
                 h.add(formatSingle(v));
                 h.endItem();
             }
             return h;
         },
         9608258966088151970u,
         "0\n"
         "5.744E-42\n"
         "1.1488E-41\n"
         "1.7232E-41\n"
         "2.2976E-41\n"
         "2.872E-41\n"},
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
                     h.endItem();
                     h.add(formatSingle(a + size));
                     h.endItem();
                 }
             }
             return h;
         },
         7620559159199848326u,
         "0\n"
         "4.43017\n"
         "4.43017\n"
         "8.860339\n"
         "8.860339\n"
         "13.29051\n"},
        {"whole numbers, halves and hundredths up to 20000, both signs",
         [] {
             GoldenHash h;
             for (int i = -2'000'000; i <= 2'000'000; i += 7) {
                 h.add(formatSingle(static_cast<float>(i) / 100.0f));
                 h.endItem();
             }
             return h;
         },
         8623421769358489040u,
         "-20000\n"
         "-19999.93\n"
         "-19999.86\n"
         "-19999.79\n"
         "-19999.72\n"
         "-19999.65\n"},
    };
    for (const auto& c : cases) {
        const GoldenHash h = c.run();
        EXPECT_EQ(h.value(), c.golden) << c.what;
        EXPECT_EQ(h.sample(), c.sample) << c.what;
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
        for (GoldenHash* h : {&number, &single, &numeric, &strict}) {
            h->note("\"" + t + "\" -> ");
        }
        addOutcome(
            number, [&] { return readNumber(t); }, [&](double v) { number.addValue(v); });
        addOutcome(
            single, [&] { return readSingle(t); }, [&](float v) { single.addValue(v); });
        numeric.addValue(isNumeric(t));
        addOutcome(
            strict, [&] { return toLongStrict(t); }, [&](std::int32_t v) { strict.addValue(v); });
        for (GoldenHash* h : {&number, &single, &numeric, &strict}) {
            h->nextLine();
        }
    }
    EXPECT_EQ(number.value(), 9026826215243098161u) << "readNumber";
    EXPECT_EQ(single.value(), 14357120168686435629u) << "readSingle";
    EXPECT_EQ(numeric.value(), 107835760456445266u) << "isNumeric";
    EXPECT_EQ(strict.value(), 9674234645733070891u) << "toLongStrict";
    EXPECT_EQ(number.sample(),
              "\"+640581459278042693989774141946\" -> 6.405814592780427e+29 \n"
              "\"59009d+20 \" -> 5.9009e+24 \n"
              "\"&DH\\nad\\n9\" -> 0 \n"
              "\"\\t1807 .420\" -> 1807.42 \n"
              "\"532404\" -> 532404 \n"
              "\"dab D\\t&df4\" -> 0 \n");
    EXPECT_EQ(single.sample(),
              "\"+640581459278042693989774141946\" -> 6.4058146e+29 \n"
              "\"59009d+20 \" -> 5.9009e+24 \n"
              "\"&DH\\nad\\n9\" -> 0 \n"
              "\"\\t1807 .420\" -> 1807.42 \n"
              "\"532404\" -> 532404 \n"
              "\"dab D\\t&df4\" -> 0 \n");
    EXPECT_EQ(numeric.sample(),
              "\"+640581459278042693989774141946\" -> true \n"
              "\"59009d+20 \" -> true \n"
              "\"&DH\\nad\\n9\" -> false \n"
              "\"\\t1807 .420\" -> false \n"
              "\"532404\" -> true \n"
              "\"dab D\\t&df4\" -> false \n");
    EXPECT_EQ(strict.sample(),
              "\"+640581459278042693989774141946\" -> error6 \n"
              "\"59009d+20 \" -> error6 \n"
              "\"&DH\\nad\\n9\" -> error13 \n"
              "\"\\t1807 .420\" -> error13 \n"
              "\"532404\" -> 532404 \n"
              "\"dab D\\t&df4\" -> error13 \n");
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
        written.endItem();
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
        read.note("\"" + t + "\" -> ");
        addOutcome(
            read, [&] { return textToEntity(t); },
            [&](const renderEntity& e) {
                read.addValue(e.x1);
                read.addValue(e.x2);
                read.addValue(e.y1);
                read.addValue(e.y2);
                read.addValue(e.flags);
                read.add(e.text);
                read.add("|", 1);
            });
        read.nextLine();
    }
    EXPECT_EQ(written.value(), 11270961499663602557u) << "entityToText";
    EXPECT_EQ(read.value(), 11602701232394326223u) << "textToEntity";
    EXPECT_EQ(
        written.sample(),
        "315.661\\r\\n217.0169\\r\\n1.718533E+36\\r\\n-913.2857\\r\\n20\\r\\nc0\n"
        "-14.09091\\r\\n-206.64\\r\\n-154.44\\r\\n483.3559\\r\\n62\\r\\nKestro 4\n"
        "522.8135\\r\\n-5413742\\r\\n1.1286768E+31\\r\\n12.35294\\r\\n28\\r\\nc255\n"
        "1800\\r\\n236.7458\\r\\n562.2712\\r\\n115.381\\r\\n28\\r\\nc255\n"
        "503.0847\\r\\n226.8813\\r\\n187.4237\\r\\n-218.5\\r\\n-1\\r\\nKestro 4\n"
        "4.76199E-29\\r\\n5.3391656E+28\\r\\n4.0485932E-20\\r\\n12.85185\\r\\n20\\r\\nc255\n");
    EXPECT_EQ(
        read.sample(),
        "\"04\\r\\n-O\\r\\n9\\noo\\nf7  O8 "
        "1\\n8\\r\\n&H00\\r\\n-5947591.4\\t04\\r\\n5671212\\r077287547.1\\t92999D11454x\" -> "
        "error13 \n"
        "\"\\t9634.944007\\r\\n5805131.9464700\\r\\n79133125359482148864801402.\\r\\n "
        "9428e\\r\\n9813743\" -> 0 0 0 0 0 \n"
        "\"55\\r\\n35.230e\\r\\nba\\t9.2b6a2\\r\\n1D+3O\\t\\r\\nxcO2oh++"
        "D\\n9oH3\\r\\n\\t20o\\to68\\n\\r330\" -> error13 \n"
        "\"O922\\n5-O\\r\\n8H\\r\\n+367878.833470d-09\" -> 0 0 0 0 0 \n"
        "\"od50a9\\r5daf0E\\r\\nb 7\\r\\n2\\r\\neo8ac96-d57\" -> 0 0 0 0 0 \n"
        "\"419637720918736005964e-4\\t\\r\\n\\r\\n749H\\rx-8-cab\\r\\n+31xc\" -> 0 0 0 0 0 \n");
}

}  // namespace
}  // namespace kestro
