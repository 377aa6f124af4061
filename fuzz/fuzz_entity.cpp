// Feeds arbitrary bytes to the entity parser and the string routines it uses (the number rules
// on their own are fuzz_numbers'). Besides crashes it checks that the parser fails only with an
// overflow or a type mismatch, and that one pass through the text form reaches a fixed point
// (writing, reading and writing again gives the same text).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/runtime_error.h"
#include "render/entity.h"
#include "render/routines.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkRoutines(std::string_view text) {
    const std::string trimmed = kestro::lowerTrim(text);
    require(trimmed.size() <= text.size());
    require(kestro::countOccurrences(text, "\r\n") <= static_cast<std::int64_t>(text.size() / 2));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkRoutines(text);

    kestro::renderEntity first;
    try {
        first = kestro::textToEntity(text);
    } catch (const kestro::RuntimeError& e) {
        require(e.number() == kestro::errnum::kOverflow ||
                e.number() == kestro::errnum::kTypeMismatch);
        return 0;
    }
    const std::string once = kestro::entityToText(first);
    const kestro::renderEntity second = kestro::textToEntity(once);
    require(second.flags == first.flags && second.text == first.text);
    require(kestro::entityToText(second) == once);
    return 0;
}
