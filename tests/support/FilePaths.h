#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace sheetmass::tests {

// Paths as the program names files, in UTF-8 on every system.
inline std::filesystem::path u8path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace sheetmass::tests
