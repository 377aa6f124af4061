#include "records/table.h"

#include <charconv>
#include <cstdint>
#include <system_error>

#include "records/date.h"
#include "records/player_name.h"

namespace kestro::records {

namespace detail {

std::optional<std::int32_t> parseCanonicalInt(std::string_view text) {
    std::int32_t value = 0;
    const char* const last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc() || ptr != last || std::to_string(value) != text) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<std::string_view>> splitFields(std::string_view text, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t blank = text.find(' ');
        if (blank == std::string_view::npos) {
            return std::nullopt;
        }
        fields.push_back(text.substr(0, blank));
        text.remove_prefix(blank + 1);
    }
    fields.push_back(text);
    return fields;
}

std::string formatScore(const RunScore& score) {
    return std::to_string(score.points) + " " + std::to_string(score.level) + " " +
           std::to_string(score.accel) + " " + std::to_string(score.speed) + " " + score.date;
}

Result<RunScore, std::string> parseScore(const std::vector<std::string_view>& fields) {
    using R = Result<RunScore, std::string>;
    static constexpr const char* kNames[] = {"points", "level", "acceleration", "top speed"};
    std::int32_t numbers[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto n = i < fields.size() ? parseCanonicalInt(fields[i]) : std::nullopt;
        if (!n) {
            return R::failure(std::string("the ") + kNames[i] + " is not a whole number");
        }
        numbers[i] = *n;
    }
    if (fields.size() < 5 || !isIsoDate(fields[4])) {
        return R::failure("the date is not YYYY-MM-DDThh:mm:ssZ");
    }
    return R::success(
        RunScore{numbers[0], numbers[1], numbers[2], numbers[3], std::string(fields[4])});
}

Result<std::vector<std::string_view>, std::string> splitLines(std::string_view text) {
    using R = Result<std::vector<std::string_view>, std::string>;
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return R::failure("line " + std::to_string(lines.size() + 1) +
                              ": the file ends inside it");
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return R::success(std::move(lines));
}

}  // namespace detail

bool ranksBefore(const RunScore& a, const RunScore& b) {
    return a.points != b.points ? a.points > b.points : a.date < b.date;
}

std::optional<std::size_t> rankIn(const Table& table, const RunScore& score) {
    std::size_t at = 0;
    while (at < table.size() && !ranksBefore(score, table[at].score)) {
        ++at;
    }
    return at < kTableSize ? std::optional<std::size_t>(at + 1) : std::nullopt;
}

std::optional<std::size_t> insertEntry(Table& table, Entry entry) {
    // The same best of the same run under the same name (a resumed run that ended without a
    // better completion since a close kept it) is kept once.
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == entry) {
            return i + 1;
        }
    }
    const auto rank = rankIn(table, entry.score);
    if (rank) {
        table.insert(table.begin() + static_cast<std::ptrdiff_t>(*rank - 1), std::move(entry));
        if (table.size() > kTableSize) {
            table.resize(kTableSize);
        }
    }
    return rank;
}

std::string formatTable(const Table& table) {
    std::string text(kTableVersionLine);
    text += '\n';
    for (const Entry& e : table) {
        text +=
            detail::formatScore(e.score) + (e.fromSavedGame ? " saved " : " - ") + e.name + '\n';
    }
    return text;
}

Result<Table, std::string> parseTable(std::string_view text) {
    using R = Result<Table, std::string>;
    const auto lines = detail::splitLines(text);
    if (!lines) {
        return R::failure(lines.error());
    }
    if (lines.value().empty() || lines.value().front() != kTableVersionLine) {
        return R::failure("line 1: not '" + std::string(kTableVersionLine) + "'");
    }
    if (lines.value().size() - 1 > kTableSize) {
        return R::failure("more than " + std::to_string(kTableSize) + " entries");
    }
    Table table;
    for (std::size_t i = 1; i < lines.value().size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        const auto fields = detail::splitFields(lines.value()[i], 7);
        if (!fields) {
            return R::failure(where + "fewer than 7 fields");
        }
        auto score = detail::parseScore(*fields);
        if (!score) {
            return R::failure(where + score.error());
        }
        const std::string_view mark = (*fields)[5], name = (*fields)[6];
        if (mark != "saved" && mark != "-") {
            return R::failure(where + "the mark is neither 'saved' nor '-'");
        }
        if (!isStorableName(name)) {
            return R::failure(where + "the name is not 1 to " + std::to_string(kNameMaxBytes) +
                              " bytes of UTF-8 without control characters or blanks at its ends");
        }
        if (!table.empty() && ranksBefore(score.value(), table.back().score)) {
            return R::failure(where + "out of order");
        }
        table.push_back(Entry{std::string(name), std::move(score).value(), mark == "saved"});
    }
    return R::success(std::move(table));
}

}  // namespace kestro::records
