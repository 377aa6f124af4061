#pragma once
// Whole files read and written as bytes, for tests.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kestro::test {

// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replaces the file's contents with text.
inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace kestro::test
