#include "alloys/AlloyTable.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace sheetmass {
namespace {

constexpr std::string_view withoutBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// The grades' names without blanks, each with its row, sorted by the
// compiler for a binary search: a batch asks once a line.
struct Named {
    std::string_view name;
    std::uint8_t row;
};
constexpr auto kByName = [] {
    std::array<Named, kAlloyCount> named{};
    for (std::size_t i = 0; i < named.size(); ++i)
        named[i] = {withoutBlanks(kAlloys[i].grade), static_cast<std::uint8_t>(i)};
    std::sort(named.begin(), named.end(),
              [](const Named& a, const Named& b) { return a.name < b.name; });
    return named;
}();
static_assert(std::adjacent_find(kByName.begin(), kByName.end(),
                                 [](const Named& a, const Named& b) { return a.name == b.name; }) ==
                  kByName.end(),
              "two grades would have one name without their blanks");

} // namespace

const Alloy* gradeNamed(std::string_view name) {
    name = withoutBlanks(name);
    const auto it =
        std::lower_bound(kByName.begin(), kByName.end(), name,
                         [](const Named& a, std::string_view key) { return a.name < key; });
    if (it == kByName.end() || it->name != name)
        return nullptr;
    return &kAlloys[it->row];
}

std::vector<std::string_view> gradesNumbered(double number) {
    std::vector<std::string_view> grades;
    for (const Alloy& alloy : kAlloys) {
        const std::string_view grade = alloy.grade;
        const std::size_t open = grade.find('(');
        const std::size_t close = grade.find(')', open);
        if (open == std::string_view::npos || close == std::string_view::npos)
            continue;
        int bracketed = 0;
        const char* last = grade.data() + close;
        const auto [end, error] = std::from_chars(grade.data() + open + 1, last, bracketed);
        if (error == std::errc() && end == last && bracketed == number)
            grades.push_back(withoutBlanks(grade));
    }
    return grades;
}

} // namespace sheetmass
