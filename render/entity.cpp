#include "render/entity.h"

#include <array>

#include "render/numbers.h"
#include "render/routines.h"

namespace kestro {

namespace {

constexpr std::string_view kDelimiter = "\r\n";
constexpr std::int64_t kDelimitersNeeded = 5;

}  // namespace

std::string entityToText(const renderEntity& entity) {
    std::string out;
    out.reserve(64 + entity.text.size());
    for (const float coordinate : {entity.x1, entity.x2, entity.y1, entity.y2}) {
        out += formatSingle(coordinate);
        out += kDelimiter;
    }
    out += std::to_string(entity.flags);
    out += kDelimiter;
    out += entity.text;
    return out;
}

renderEntity textToEntity(std::string_view text) {
    if (countOccurrences(text, kDelimiter) < kDelimitersNeeded) {
        return {};
    }
    // Fields 1 to 5 end at the next delimiter; field 6 is the rest, delimiters included.
    std::array<std::string_view, 5> fields;
    std::size_t start = 0;
    for (auto& field : fields) {
        const std::size_t end = text.find(kDelimiter, start);
        field = text.substr(start, end - start);
        start = end + kDelimiter.size();
    }
    renderEntity entity;
    entity.x1 = readSingle(fields[0]);
    entity.x2 = readSingle(fields[1]);
    entity.y1 = readSingle(fields[2]);
    entity.y2 = readSingle(fields[3]);
    entity.flags = toLongStrict(fields[4]);
    entity.text = std::string(text.substr(start));
    return entity;
}

}  // namespace kestro
