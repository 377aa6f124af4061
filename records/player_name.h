#pragma once
// The names the table keeps, and the name offered for a new entry.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestro::records {

// The longest name kept, in bytes of UTF-8.
inline constexpr std::size_t kNameMaxBytes = 64;
// The name of an entry whose name is empty once cleaned.
inline constexpr std::string_view kNamelessPlayer = "Player";

// Whether name can stand in the table as it is: 1..kNameMaxBytes bytes of valid UTF-8, no
// control character, no blank at either end.
bool isStorableName(std::string_view name);

// The name as the table keeps it: control characters (tabs, line breaks) become blanks, bytes
// that are not UTF-8 become '?', blanks at the ends go, and it is cut to kNameMaxBytes at a
// character boundary; an empty result is kNamelessPlayer. Always storable.
std::string cleanName(std::string_view name);

// The name offered for a new entry, cleaned: the last name used when there is one (not blank),
// else the user's full name (the first comma-separated field of the password entry's comment),
// else the login name, else kNamelessPlayer.
std::string defaultName(const std::optional<std::string>& lastName, std::string_view fullNameField,
                        std::string_view loginName);

// The same with the full name and login name of the user running the game.
std::string defaultName(const std::optional<std::string>& lastName);

}  // namespace kestro::records
