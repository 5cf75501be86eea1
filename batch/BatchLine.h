#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sheetmass {

inline constexpr std::size_t kBatchFields = 9;

// A batch line's fields, split at the separator. A field in double quotes,
// as spreadsheets write them, may hold the separator, "" standing for one
// quote; the quotes are not part of the field.
void splitFields(std::string_view line, char separator, std::vector<std::string>& fields);

// The mass of one batch line, worked by the core from the texts the main
// window's fields would hold after each field's text was pasted into it.
// Either the mass, or why the line has none, in Russian, for the user:
// "длина листа — не число; количество — пусто".
struct LineMass {
    std::string mass;
    std::string problem;
};
LineMass lineMass(const std::vector<std::string>& fields);

// Russian plural of a count: 1 поле, 2 поля, 5 полей.
std::string countOf(std::size_t n, const char* one, const char* few, const char* many);

} // namespace sheetmass
