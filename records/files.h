#pragma once
// The records on disk: the high-score table and the run record beside a saved game.
//
// The table is read with a bound and written whole or not at all. Recording a run holds an
// advisory lock (flock on "<table>.lock" beside it) from reading the table to writing it, so
// that copies of the game ending runs at the same moment all keep their entries. A table that
// does not parse (or is larger than any table) is moved aside to "<table>.damaged-YYYY-MM-DD"
// and a new one begins: nothing is dropped without a word.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"
#include "records/entry.h"
#include "records/run.h"
#include "records/table.h"

namespace kestro::records {

// The most bytes a table file is read to: far beyond ten entries.
inline constexpr std::uintmax_t kMostTableBytes = 64 * 1024;
inline constexpr std::uintmax_t kMostRunRecordBytes = 4096;

// The table in the file; an empty one when there is no file yet; the reason when it cannot be
// read or is damaged (it is left as it is).
Result<Table, std::string> readTable(const std::filesystem::path& path);

struct Recorded {
    std::optional<std::size_t> rank;    // the new entry's place (1..10), nothing when it stayed out
    Table table;                        // the table as it now stands
    std::optional<std::string> notice;  // a damaged table moved aside: the sentence to tell
};

// Puts the entry (its name made storable first) into the table in the file, creating the file
// and its folders as needed. The reason when the run could not be kept: the folder or the file
// cannot be written, the lock is held by another copy for more than a few seconds, the file is
// a folder, a FIFO or a device.
Result<Recorded, std::string> recordRun(const std::filesystem::path& path, Entry entry);

// Creates folder and its missing parents, private to the user as the user's data folders are.
Result<void> makeFolders(const std::filesystem::path& folder);

// What the player reads when recordRun failed.
std::string notKeptText(const std::string& reason);

// The run record beside a saved game, written whole or not at all; read with a bound.
Result<void> saveRunRecord(const std::filesystem::path& path, const RunRecord& record);
Result<RunRecord, std::string> loadRunRecord(const std::filesystem::path& path);

}  // namespace kestro::records
