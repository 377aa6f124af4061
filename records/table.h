#pragma once
// The high-score table: the ten best runs, best first, and its text form.
//
// The file is UTF-8 text, one line per entry after a version line, each line ended by '\n':
//
//     kestro-scores 1
//     <points> <level> <accel> <speed> <date> <mark> <name>
//
// points, level, accel and speed are decimal 32-bit integers as the game writes them (an
// optional '-', no leading zeros, no '+'); date is UTC as "YYYY-MM-DDThh:mm:ssZ"; mark is
// "saved" for a run that began from a loaded file and "-" otherwise; name is the rest of the
// line (1..64 bytes, no control characters, no blank at either end, and it may hold blanks).
// Fields are separated by one blank. The entries stand in table order (more points first; equal
// points: the earlier date first), at most ten of them. Anything else is a damaged table:
// formatTable(parseTable(t)) gives t back for every t that parses.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "records/entry.h"

namespace kestro::records {

inline constexpr std::size_t kTableSize = 10;
inline constexpr std::string_view kTableVersionLine = "kestro-scores 1";

using Table = std::vector<Entry>;  // best first, at most kTableSize

// Whether a comes before b in the table: more points, or equal points and an earlier date.
bool ranksBefore(const RunScore& a, const RunScore& b);

// The place (1..kTableSize) entry would take in table, after every entry that is not behind it
// (equal points and date: the entry already there stays first), or nothing when it stays out.
std::optional<std::size_t> rankIn(const Table& table, const RunScore& score);

// Puts entry into table at its rank and drops what falls beyond the ten; the rank, or nothing
// when it stays out (the table is then unchanged). An entry equal to one already there (name,
// points, level, sliders, date to the second, mark) is that run's best kept before, at a close
// the run was resumed from: the table is unchanged and that entry's rank is returned.
std::optional<std::size_t> insertEntry(Table& table, Entry entry);

std::string formatTable(const Table& table);

// The table a text holds, or the reason it is damaged ("line N: ...").
Result<Table, std::string> parseTable(std::string_view text);

// Parts of the line format the run record shares.
namespace detail {
// The whole of text as a 32-bit integer written the way std::to_string writes it, or nothing.
std::optional<std::int32_t> parseCanonicalInt(std::string_view text);
// Splits text at single blanks into count fields, the last taking the rest; nothing when there
// are fewer.
std::optional<std::vector<std::string_view>> splitFields(std::string_view text, std::size_t count);
// "<points> <level> <accel> <speed> <date>", and back (a reason when it is not one).
std::string formatScore(const RunScore& score);
Result<RunScore, std::string> parseScore(const std::vector<std::string_view>& fields);
// Splits text into lines each ended by '\n'; a reason when the last one is not.
Result<std::vector<std::string_view>, std::string> splitLines(std::string_view text);
}  // namespace detail

}  // namespace kestro::records
