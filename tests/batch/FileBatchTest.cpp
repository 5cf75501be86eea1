#include "batch/FileBatch.h"
#include "cli/CommandLine.h"
#include "platform/Files.h"
#include "tests/support/FilePaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using sheetmass::FileBatchReport;

using sheetmass::tests::bytesOf;
using sheetmass::tests::u8path;
using sheetmass::tests::utf8;

// What `sheetmass --batch FILE` writes for the file.
std::string batchOutput(const std::string& path) {
    sheetmass::platform::File out, err;
    EXPECT_TRUE(sheetmass::platform::scratchFile(out).ok());
    EXPECT_TRUE(sheetmass::platform::scratchFile(err).ok());
    const char* argv[] = {"sheetmass", "--batch", path.c_str(), nullptr};
    sheetmass::runWithoutWindow(3, argv, sheetmass::platform::standardInput(),
                                sheetmass::platform::Stream(out), sheetmass::platform::Stream(err));
    std::string text(1 << 16, '\0');
    std::size_t got = 0;
    EXPECT_TRUE(sheetmass::platform::readAt(out, 0, text.data(), text.size(), got).ok());
    text.resize(got);
    return text;
}

const std::string D16 = "Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2\n";
const std::string kBad = "Д17;номиналу;2;;;2000;1000;10;2\n";

TEST(resultName, MarksTheStemAndCountsTakenNames) {
    const std::vector<std::tuple<std::string, int, std::string>> rows = {
        {"заказ.csv", 1, "заказ (масса).csv"},           {"заказ.csv", 2, "заказ (масса 2).csv"},
        {"заказ.csv", 12, "заказ (масса 12).csv"},       {"заказ", 1, "заказ (масса)"},
        {"заказ.2026.tsv", 1, "заказ.2026 (масса).tsv"}, {".csv", 1, ".csv (масса)"},
    };
    for (const auto& [name, n, expected] : rows)
        EXPECT_EQ(sheetmass::resultName(name, n), expected) << name << " " << n;
}

struct Row {
    const char* what;
    std::vector<std::pair<std::string, std::string>> before; // files there first
    std::string given;
    std::string resultName; // empty: no result
    std::string failure;    // how the failure starts; empty: none
    long long lines;
    long long withoutMass;
    std::string total;
    std::vector<std::string> said;
    bool saidMore;
    std::string resultBytes; // empty: only as --batch writes them
};

TEST(batchFile, WritesWhatTheBatchWritesBesideTheFileUnderAFreeName) {
    const fs::path folder = fs::temp_directory_path() / u8path("сброс файла");
    const std::string seven = D16 + kBad + kBad + kBad + kBad + kBad + kBad + kBad;
    const std::string cp1251 = "\xC4"
                               "16 (1160),\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3,2,,,2000,1000,10,2\r\n";
    const std::string reason = "сплав «Д17» — не марка из списка и не плотность, ближе всего: "
                               "«ВД17», «Д1 (1110)», «Д12 (1521)»";
    std::vector<std::string> five;
    for (int line = 3; line <= 7; ++line)
        five.push_back("строка " + std::to_string(line) + ": " + reason);
    // clang-format off
    const std::vector<Row> rows = {
        {"a good file", {{"заказ.csv", D16}}, "заказ.csv", "заказ (масса).csv", "", 1, 0, "110,8", {}, false,
         "Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2;110,8\nИтого;;;;;;;;;110,8\n"},
        {"the name taken, and the next",
         {{"заказ.csv", D16}, {"заказ (масса).csv", "чужой"}, {"заказ (масса 2).csv", "чужой"}},
         "заказ.csv", "заказ (масса 3).csv", "", 1, 0, "110,8", {}, false, ""},
        {"the first reasons with their lines, the rest counted", {{"заказ.csv", "# заказ\n" + seven}},
         "заказ.csv", "заказ (масса).csv", "", 8, 7, "110,8", five, true, ""},
        {"an English Windows-1251 file with its separator and mark", {{"order.csv", cp1251}},
         "order.csv", "order (масса).csv", "", 1, 0, "110.8", {}, false, ""},
        {"a German one", {{"заказ.csv", "Д16 (1160);номиналу;2;0,2;-0,2;2.000;1.000;10;2\n"}},
         "заказ.csv", "заказ (масса).csv", "", 1, 0, "110,8", {}, false, ""},
        {"no such file", {}, "нет.csv", "", "не открывается: нет такого файла", 0, 0, "", {}, false, ""},
#ifdef _WIN32
        // Windows opens no folder as a file; Wine says it is not there.
        {"a folder", {}, "папка", "", "не открывается: ", 0, 0, "", {}, false, ""},
#else
        {"a folder", {}, "папка", "", "не читается: ", 0, 0, "", {}, false, ""},
        {"a folder that takes no file", {{"закрыто/заказ.csv", D16}}, "закрыто/заказ.csv", "",
         "результат не записывается: ", 0, 0, "", {}, false, ""},
#endif
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(folder);
        fs::create_directories(folder / "папка");
        fs::create_directories(folder / u8path("закрыто"));
        for (const auto& [name, bytes] : row.before)
            std::ofstream(folder / u8path(name), std::ios::binary) << bytes;
#ifndef _WIN32
        // Root writes where the mode forbids it, but the rule trusts no
        // folder of another user's.
        fs::permissions(folder / u8path("закрыто"), fs::perms(0555));
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(utf8(folder / u8path("закрыто")).c_str(), 65534, 65534), 0);
        }
#endif
        const std::string given = utf8(folder / u8path(row.given));
        const FileBatchReport report = sheetmass::batchFile(given);

        EXPECT_EQ(report.input, given);
        EXPECT_TRUE(report.failure.starts_with(row.failure) &&
                    report.failure.empty() == row.failure.empty())
            << report.failure;
        EXPECT_EQ(report.summary.lines, row.lines);
        EXPECT_EQ(report.summary.withoutMass, row.withoutMass);
        EXPECT_EQ(report.summary.total, row.total);
        EXPECT_EQ(report.said, row.said);
        EXPECT_EQ(report.saidMore, row.saidMore);
        const fs::path result = folder / u8path(row.resultName);
        EXPECT_EQ(report.result, row.resultName.empty() ? "" : utf8(result));
        std::size_t files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            files += entry.is_regular_file();
        EXPECT_EQ(files, row.before.size() + (row.resultName.empty() ? 0 : 1));
        for (const auto& [name, bytes] : row.before)
            EXPECT_EQ(bytesOf(folder / u8path(name)), bytes) << name;
        if (row.resultName.empty())
            continue;
        EXPECT_EQ(bytesOf(result), batchOutput(given));
        if (!row.resultBytes.empty()) {
            EXPECT_EQ(bytesOf(result), row.resultBytes);
        }
    }
#ifndef _WIN32
    fs::permissions(folder / u8path("закрыто"), fs::perms(0755));
#endif
    fs::remove_all(folder);
}

} // namespace
