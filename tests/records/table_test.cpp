// The table's order, ties and capacity, its text both ways, and the names it keeps.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "records/date.h"
#include "records/player_name.h"
#include "records/table.h"

namespace kestro::records {
namespace {

Entry entry(const std::string& name, std::int32_t points,
            const std::string& date = "2024-05-01T10:00:00Z", bool saved = false) {
    return Entry{name, RunScore{points, 3, 5, 300, date}, saved};
}

std::vector<std::string> namesOf(const Table& t) {
    std::vector<std::string> names;
    for (const Entry& e : t) {
        names.push_back(e.name);
    }
    return names;
}

TEST(Table, MorePointsFirstAndEqualPointsByTheEarlierRun) {
    Table t;
    EXPECT_EQ(insertEntry(t, entry("b", 200, "2024-05-02T00:00:00Z")), 1u);
    EXPECT_EQ(insertEntry(t, entry("a", 300)), 1u);
    EXPECT_EQ(insertEntry(t, entry("d", 100)), 3u);
    // Equal points: an earlier date goes first even when recorded later (a resumed run) ...
    EXPECT_EQ(insertEntry(t, entry("c0", 200, "2024-05-01T23:59:59Z")), 2u);
    // ... and with the same date too, the entry already there stays first.
    EXPECT_EQ(insertEntry(t, entry("c2", 200, "2024-05-02T00:00:00Z")), 4u);
    EXPECT_EQ(namesOf(t), (std::vector<std::string>{"a", "c0", "b", "c2", "d"}));
}

TEST(Table, KeepsTenAndAnEleventhGoesInOnlyAheadOfTheLast) {
    Table full;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(insertEntry(full, entry("n" + std::to_string(i), 1000 - i * 10)),
                  static_cast<std::size_t>(i + 1));
    }
    struct Case {
        const char* what;
        Entry eleventh;
        std::optional<std::size_t> rank;
    };
    const Case cases[] = {
        {"worse than the last", entry("x", 5), std::nullopt},
        {"equal to the last, same date", entry("x", 910), std::nullopt},
        {"equal to the last, later", entry("x", 910, "2025-01-01T00:00:00Z"), std::nullopt},
        {"equal to the last, earlier", entry("x", 910, "2023-01-01T00:00:00Z"), 10u},
        {"best of all", entry("x", 5000), 1u},
        {"in the middle", entry("x", 955), 6u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table t = full;
        EXPECT_EQ(rankIn(t, c.eleventh.score), c.rank);
        EXPECT_EQ(insertEntry(t, c.eleventh), c.rank);
        ASSERT_EQ(t.size(), kTableSize);
        if (c.rank) {
            EXPECT_EQ(t[*c.rank - 1], c.eleventh);
            EXPECT_EQ(t.back().name, *c.rank == kTableSize ? "x" : "n8");  // n9 fell off
        } else {
            EXPECT_EQ(t, full);
        }
    }
}

TEST(Table, TheSameRunsBestUnderTheSameNameIsKeptOnce) {
    // A run kept at a close and resumed ends again without a better completion: the same entry.
    Table t;
    const Entry kept = entry("ann", 300, "2024-05-02T00:00:00Z");
    ASSERT_EQ(insertEntry(t, entry("bob", 400)), 1u);
    ASSERT_EQ(insertEntry(t, kept), 2u);
    const Table before = t;
    EXPECT_EQ(insertEntry(t, kept), 2u) << "the place of the entry already there";
    EXPECT_EQ(t, before);
    // Anything different is another entry: the mark, the name, the date.
    Entry fromFile = kept;
    fromFile.fromSavedGame = true;
    Entry otherName = kept;
    otherName.name = "cy";
    for (const Entry& other : {fromFile, otherName, entry("ann", 300, "2024-05-02T00:00:01Z")}) {
        Table u = before;
        ASSERT_TRUE(insertEntry(u, other).has_value());
        EXPECT_EQ(u.size(), before.size() + 1);
    }
}

TEST(TableText, IsDocumentedLinesAndRoundTrips) {
    Table t;
    insertEntry(t,
                Entry{"Ann Ö. Smith", RunScore{1402, 80, 20, 500, "2024-05-01T10:00:00Z"}, true});
    insertEntry(t, Entry{"x", RunScore{-7, 0, 1, -1, "1999-12-31T23:59:59Z"}, false});
    const std::string text = formatTable(t);
    EXPECT_EQ(text,
              "kestro-scores 1\n"
              "1402 80 20 500 2024-05-01T10:00:00Z saved Ann Ö. Smith\n"
              "-7 0 1 -1 1999-12-31T23:59:59Z - x\n");
    const auto back = parseTable(text);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(back.value(), t);
    const auto empty = parseTable("kestro-scores 1\n");
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty.value().empty());
}

TEST(TableText, RefusesADamagedTableSayingWhere) {
    const std::string head = "kestro-scores 1\n";
    const std::string good = "10 1 5 300 2024-05-01T10:00:00Z - Ann\n";
    std::string eleven = head;
    for (int i = 0; i < 11; ++i) {
        eleven += good;
    }
    struct Case {
        std::string text;
        std::string reason;
    };
    const Case cases[] = {
        {"", "line 1: not 'kestro-scores 1'"},
        {"kestro-scores 2\n", "line 1: not 'kestro-scores 1'"},
        {"kestro-scores 1", "line 1: the file ends inside it"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z - Ann", "line 2: the file ends inside it"},
        {head + "\n", "line 2: fewer than 7 fields"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z -\n", "line 2: fewer than 7 fields"},
        {head + "+10 1 5 300 2024-05-01T10:00:00Z - Ann\n",
         "line 2: the points is not a whole number"},
        {head + "010 1 5 300 2024-05-01T10:00:00Z - Ann\n",
         "line 2: the points is not a whole number"},
        {head + "10 -0 5 300 2024-05-01T10:00:00Z - Ann\n",
         "line 2: the level is not a whole number"},
        {head + "10 1 2147483648 300 2024-05-01T10:00:00Z - Ann\n",
         "line 2: the acceleration is not a whole number"},
        {head + "10 1 5 3e2 2024-05-01T10:00:00Z - Ann\n",
         "line 2: the top speed is not a whole number"},
        {head + "10  1 5 300 2024-05-01T10:00:00Z - Ann\n",
         "line 2: the level is not a whole number"},
        {head + "10 1 5 300 2024-13-01T10:00:00Z - Ann\n",
         "line 2: the date is not YYYY-MM-DDThh:mm:ssZ"},
        {head + "10 1 5 300 2024-05-01 - Ann\n", "line 2: the date is not YYYY-MM-DDThh:mm:ssZ"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z loaded Ann\n",
         "line 2: the mark is neither 'saved' nor '-'"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z - Ann \n",
         "line 2: the name is not 1 to 64 bytes of UTF-8 without control characters or blanks at "
         "its ends"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z - A\tnn\n",
         "line 2: the name is not 1 to 64 bytes of UTF-8 without control characters or blanks at "
         "its ends"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z - \xC3(\n",
         "line 2: the name is not 1 to 64 bytes of UTF-8 without control characters or blanks at "
         "its ends"},
        {head + "10 1 5 300 2024-05-01T10:00:00Z - " + std::string(65, 'a') + "\n",
         "line 2: the name is not 1 to 64 bytes of UTF-8 without control characters or blanks at "
         "its ends"},
        {head + good + "11 1 5 300 2024-05-01T10:00:00Z - Bob\n", "line 3: out of order"},
        {head + good + "10 1 5 300 2024-04-01T10:00:00Z - Bob\n", "line 3: out of order"},
        {eleven, "more than 10 entries"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = parseTable(c.text);
        ASSERT_FALSE(parsed.ok());
        EXPECT_EQ(parsed.error(), c.reason);
    }
    EXPECT_TRUE(parseTable(head + good + "10 1 5 300 2024-05-01T10:00:00Z saved Bob\n").ok());
}

TEST(Dates, AreUtcIsoTextsInTimeOrder) {
    EXPECT_EQ(isoDate(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(isoDate(1'709'251'199), "2024-02-29T23:59:59Z");
    EXPECT_TRUE(isIsoDate(dateNow()));
    EXPECT_LT(isoDate(999'999'999), isoDate(1'000'000'000));
    for (const char* bad : {"2024-05-01T24:00:00Z", "2024-05-00T10:00:00Z", "2024-05-01T10:00:00",
                            "2024-05-01t10:00:00Z", "20240501T100000Z", "2024-05-01T10:60:00Z"}) {
        EXPECT_FALSE(isIsoDate(bad)) << bad;
    }
}

TEST(Names, AreCleanedIntoWhatTheTableKeeps) {
    struct Case {
        std::string given;
        std::string kept;
    };
    const Case cases[] = {
        {"Ann", "Ann"},
        {"  Ann  Smith \t", "Ann  Smith"},
        {"line\nbreak", "line break"},
        {"", "Player"},
        {" \n\t ", "Player"},
        {"bad \xFF byte", "bad ? byte"},
        {"\xED\xA0\x80", "???"},  // a surrogate is not UTF-8
        {std::string(70, 'a'), std::string(64, 'a')},
        // Cut at a character boundary: 63 bytes and a two-byte letter would be 65.
        {std::string(63, 'a') + "é", std::string(63, 'a')},
        {std::string(62, 'a') + "é", std::string(62, 'a') + "é"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(cleanName(c.given), c.kept);
        EXPECT_TRUE(isStorableName(cleanName(c.given)));
    }
}

TEST(Names, TheDefaultIsTheLastNameElseTheFullNameElseTheLogin) {
    EXPECT_EQ(defaultName(std::string("Zed"), "Ann Smith,Room 1,,", "ann"), "Zed");
    EXPECT_EQ(defaultName(std::string("  "), "Ann Smith,Room 1,,", "ann"), "Ann Smith");
    EXPECT_EQ(defaultName(std::nullopt, "Ann Smith,Room 1,,", "ann"), "Ann Smith");
    EXPECT_EQ(defaultName(std::nullopt, ",Room 1", "ann"), "ann");
    EXPECT_EQ(defaultName(std::nullopt, "", "ann"), "ann");
    EXPECT_EQ(defaultName(std::nullopt, "", ""), "Player");
    EXPECT_TRUE(isStorableName(defaultName(std::nullopt)));
}

}  // namespace
}  // namespace kestro::records
