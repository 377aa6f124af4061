// The high-score table's text and the run record's text. Besides crashes it checks:
// - a text that parses is the canonical text of what it holds: formatting it gives the same
//   bytes, and the table holds at most ten entries in table order, each name storable;
// - putting an entry made from the input into a parsed table keeps it a table that parses;
// - cleaning any name gives a storable one, and a storable name is kept as it is.
//
// Input: the whole input is the text; the same bytes are also a name to clean.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/player_name.h"
#include "records/run.h"
#include "records/table.h"

namespace {

namespace rec = kestro::records;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (auto table = rec::parseTable(text); table.ok()) {
        rec::Table t = std::move(table).value();
        require(rec::formatTable(t) == text);
        require(t.size() <= rec::kTableSize);
        for (std::size_t i = 0; i < t.size(); ++i) {
            require(rec::isStorableName(t[i].name));
            require(i == 0 || !rec::ranksBefore(t[i].score, t[i - 1].score));
        }
        const std::int32_t points = size > 0 ? static_cast<std::int32_t>(data[0]) - 100 : 0;
        rec::insertEntry(
            t, rec::Entry{rec::cleanName(text),
                          rec::RunScore{points, 1, 5, 300, "2024-05-01T10:00:00Z"}, size % 2 == 0});
        const auto again = rec::parseTable(rec::formatTable(t));
        require(again.ok() && again.value() == t);
    }

    if (const auto record = rec::parseRunRecord(text); record.ok()) {
        require(rec::formatRunRecord(record.value()) == text);
    }

    const std::string cleaned = rec::cleanName(text);
    require(rec::isStorableName(cleaned));
    if (rec::isStorableName(text)) {
        require(cleaned == text);
    }
    return 0;
}
