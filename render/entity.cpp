#include "render/entity.h"

#include <array>
#include <charconv>

#include "render/numbers.h"

namespace kestro {

namespace {

constexpr std::string_view kDelimiter = "\r\n";

}  // namespace

void appendCoordinateField(std::string& out, float coordinate) {
    appendSingle(out, coordinate);
    out += kDelimiter;
}

void appendTail(std::string& out, std::int32_t flags, std::string_view text) {
    std::array<char, 16> digits;
    out.append(digits.data(),
               std::to_chars(digits.data(), digits.data() + digits.size(), flags).ptr);
    out += kDelimiter;
    out += text;
}

std::string entityToText(const renderEntity& entity) {
    std::string out;
    out.reserve(64 + entity.text.size());
    for (const float coordinate : {entity.x1, entity.x2, entity.y1, entity.y2}) {
        appendCoordinateField(out, coordinate);
    }
    appendTail(out, entity.flags, entity.text);
    return out;
}

renderEntity textToEntity(std::string_view text) {
    // Fields 1 to 5 end at the next delimiter; field 6 is the rest, delimiters included. A text
    // with fewer than five delimiters (they cannot overlap) gives the empty record.
    std::array<std::string_view, 5> fields;
    std::size_t start = 0;
    for (auto& field : fields) {
        const std::size_t end = text.find(kDelimiter, start);
        if (end == std::string_view::npos) {
            return {};
        }
        field = text.substr(start, end - start);
        start = end + kDelimiter.size();
    }
    renderEntity entity;
    entity.x1 = readSingle(fields[0]);
    entity.x2 = readSingle(fields[1]);
    entity.y1 = readSingle(fields[2]);
    entity.y2 = readSingle(fields[3]);
    entity.flags = toLongStrict(fields[4]);
    entity.text.assign(text.substr(start));
    return entity;
}

}  // namespace kestro
