#include "forms/Form2.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

std::string fileText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What follows the first `before` in a text up to the next `end`; empty if
// there is no `before`.
std::string after(std::string_view text, std::string_view before, char end) {
    const std::size_t at = text.find(before);
    if (at == std::string_view::npos)
        return {};
    const std::string_view rest = text.substr(at + before.size());
    return std::string(rest.substr(0, rest.find(end)));
}

// The version a manual page's title line names in its footer.
std::string pageVersion(const char* path) {
    return after(after(fileText(path), "\n.TH ", '\n'), "\"sheetmass ", '"');
}

TEST(Version, EveryPlaceAUserReadsItGivesProjectsVersion) {
    const sheetmass::forms::Control* about = findControl(sheetmass::forms::kForm2, "Метка2");
    ASSERT_NE(about, nullptr);
    const struct {
        const char* where;
        std::string found, expected;
    } rows[] = {
        {"About window", std::string(about->text), "Версия " SHEETMASS_VERSION " от 12.10.06 г."},
        {"manual page", pageVersion(SHEETMASS_PAGE), SHEETMASS_VERSION},
        {"Russian manual page", pageVersion(SHEETMASS_RU_PAGE), SHEETMASS_VERSION},
        // The newest release comes first.
        {"metainfo", after(fileText(SHEETMASS_METAINFO), "<release version=\"", '"'),
         SHEETMASS_VERSION},
    };
    for (const auto& [where, found, expected] : rows)
        EXPECT_EQ(found, expected) << where;
}

} // namespace
