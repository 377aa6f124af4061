#include "records/player_name.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace kestro::records {

namespace {

// The length of the UTF-8 sequence at text[at], or 0 when no valid one starts there (overlong
// forms, surrogates and code points beyond U+10FFFF are not valid).
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool isControl(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

}  // namespace

bool isStorableName(std::string_view name) {
    if (name.empty() || name.size() > kNameMaxBytes || name.front() == ' ' || name.back() == ' ') {
        return false;
    }
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = sequenceLength(name, at);
        if (length == 0 || isControl(name[at])) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string cleanName(std::string_view name) {
    // Each character of the name, already made storable on its own.
    std::vector<std::string_view> characters;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = sequenceLength(name, at);
        if (length == 0) {
            characters.push_back("?");
            ++at;
        } else if (isControl(name[at])) {
            characters.push_back(" ");
            ++at;
        } else {
            characters.push_back(name.substr(at, length));
            at += length;
        }
    }
    std::size_t first = 0;
    while (first < characters.size() && characters[first] == " ") {
        ++first;
    }
    std::string kept;
    for (std::size_t i = first; i < characters.size(); ++i) {
        if (kept.size() + characters[i].size() > kNameMaxBytes) {
            break;
        }
        kept += characters[i];
    }
    while (!kept.empty() && kept.back() == ' ') {
        kept.pop_back();
    }
    return kept.empty() ? std::string(kNamelessPlayer) : kept;
}

std::string defaultName(const std::optional<std::string>& lastName, std::string_view fullNameField,
                        std::string_view loginName) {
    const auto blank = [](std::string_view s) {
        return s.find_first_not_of(" \t") == std::string_view::npos;
    };
    if (lastName && !blank(*lastName)) {
        return cleanName(*lastName);
    }
    const std::string_view fullName = fullNameField.substr(0, fullNameField.find(','));
    if (!blank(fullName)) {
        return cleanName(fullName);
    }
    return cleanName(loginName);
}

std::string defaultName(const std::optional<std::string>& lastName) {
    const passwd* pw = ::getpwuid(::getuid());
    const std::string_view comment = pw != nullptr && pw->pw_gecos != nullptr ? pw->pw_gecos : "";
    const std::string_view login = pw != nullptr && pw->pw_name != nullptr ? pw->pw_name : "";
    return defaultName(lastName, comment, login);
}

}  // namespace kestro::records
