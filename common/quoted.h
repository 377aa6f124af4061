#pragma once
// A path as every sentence about a file names it: in single quotes.

#include <filesystem>
#include <string>

namespace kestro {

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

}  // namespace kestro
