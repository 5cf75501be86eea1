#include "listfile/ListImage.h"
#include "listfile/ListFile.h"
#include "tests/support/TypicalSave.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using sheetmass::ListValues;
using sheetmass::readListImage;
using sheetmass::writeListImage;
using namespace std::string_literals;

namespace {

// Windows-1251 bytes.
const std::string kNominal = "\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3"; // номиналу
const std::string kD16 = "\xC4"
                         "16 (1160)"; // Д16 (1160)
const std::string kAD1 = "\xC0\xC4"
                         "1 "; // АД1 and a blank

std::string littleEndian(std::uint64_t value, int size) {
    std::string s;
    for (int i = 0; i < size; ++i, value >>= 8)
        s += static_cast<char>(value & 0xFF);
    return s;
}

std::string numberBytes(double d) {
    return littleEndian(std::bit_cast<std::uint64_t>(d), 8);
}

// All nine values, the number as its bytes, so one comparison shows every difference.
std::vector<std::string> fields(const ListValues& v) {
    return {v.mode,   v.thickness, v.upper, v.lower,
            v.length, v.width,     v.count, v.places ? numberBytes(*v.places) : "no number",
            v.alloy};
}

const ListValues kTypical{kNominal, "2", "0,2", "-0,2", "2000", "1000", "1", 2.0, kD16};
const ListValues kNothing{"", "", "", "", "", "", "", 0.0, ""};

} // namespace

TEST(ListImage, TypicalAndFirstStartSavesBothWays) {
    std::string firstStart(204, '\0'); // closed at once: eight empty items
    for (std::size_t at : {0, 100, 110, 120, 130, 140, 150, 200})
        firstStart[at] = 8;
    const std::pair<ListValues, std::string> cases[] = {{kTypical, TypicalSaveImage()},
                                                        {kNothing, firstStart}};
    for (const auto& [values, image] : cases) {
        EXPECT_EQ(writeListImage(values, ""), image);
        EXPECT_EQ(fields(readListImage(image)), fields(values));
    }
}

TEST(ListImage, ShortImagesReadWhatIsThere) {
    const std::string full = TypicalSaveImage();
    const ListValues modeOnly{kNominal, "", "", "", "", "", "", 0.0, ""};
    const ListValues noAlloy{kNominal, "2", "0,2", "-0,2", "2000", "1000", "1", 2.0, ""};
    const ListValues noNumber{kNominal, "2", "0,2", "-0,2", "2000", "1000", "1", 0.0, ""};
    // At 167 the number lacks its last byte, which reads as zero.
    const std::pair<std::size_t, ListValues> cases[] = {
        {0, kNothing},   {3, kNothing},  {12, modeOnly}, {100, modeOnly}, {160, noNumber},
        {167, noNumber}, {168, noAlloy}, {203, noAlloy}, {204, noAlloy}};
    for (const auto& [size, want] : cases) {
        SCOPED_TRACE(size);
        EXPECT_EQ(fields(readListImage(full.substr(0, size))), fields(want));
    }

    // Counts past the end give the bytes there are, through later items too.
    std::string img = full;
    img[202] = 100;
    EXPECT_EQ(readListImage(img).alloy, kTypical.alloy);
    img[202] = img[203] = '\xFF';
    EXPECT_EQ(readListImage(img.substr(0, 204)).alloy, "");
    img = full;
    img[152] = img[153] = '\xFF';
    EXPECT_EQ(readListImage(img).count, full.substr(154));
}

TEST(ListImage, BytesNoItemCoversAreIgnoredAndKept) {
    std::string junk = TypicalSaveImage();
    const std::size_t stretches[][2] = {{12, 100},  {105, 110}, {117, 120}, {128, 130},
                                        {138, 140}, {148, 150}, {155, 160}, {168, 200}};
    for (const auto& [from, to] : stretches)
        for (std::size_t i = from; i < to; ++i)
            junk[i] = static_cast<char>(0xA5 ^ i);
    junk += "tail of an older alloy text";
    EXPECT_EQ(fields(readListImage(junk)), fields(kTypical));
    EXPECT_EQ(writeListImage(kTypical, junk), junk);

    // A shorter alloy text leaves the stale tail and the length as they were.
    ListValues v = kTypical;
    v.alloy = kAD1;
    const std::string shorter = writeListImage(v, junk);
    EXPECT_EQ(shorter, junk.substr(0, 200) + "\x08\x00\x04\x00"s + kAD1 + junk.substr(208));
    EXPECT_EQ(readListImage(shorter).alloy, kAD1);
}

TEST(ListImage, ForeignTagsReadEmpty) {
    std::string ListValues::*const texts[] = {
        &ListValues::mode,   &ListValues::thickness, &ListValues::upper, &ListValues::lower,
        &ListValues::length, &ListValues::width,     &ListValues::count, &ListValues::alloy};
    const std::size_t offsets[] = {0, 100, 110, 120, 130, 140, 150, 200};
    for (std::size_t n = 0; n < std::size(texts); ++n) {
        for (unsigned tag : {0, 1, 7, 9, 0x108, 0x800, 0xFFFF}) {
            SCOPED_TRACE(testing::Message() << "item at " << offsets[n] << ", tag " << tag);
            std::string img = TypicalSaveImage();
            img.replace(offsets[n], 2, littleEndian(tag, 2));
            ListValues want = kTypical;
            want.*texts[n] = "";
            EXPECT_EQ(fields(readListImage(img)), fields(want));
        }
    }
}

TEST(ListImage, TextsThatFitTheirRoomComeBackExactly) {
    const std::pair<std::string ListValues::*, std::string> cases[] = {
        {&ListValues::thickness, "100000"},
        {&ListValues::upper, "999999"},
        {&ListValues::lower, "-0,125"},
        {&ListValues::length, "25,125"},
        {&ListValues::width, "-0,001"},
        {&ListValues::count, std::string(6, '\0')},
        {&ListValues::mode, std::string(96, '\xFF')},
        {&ListValues::alloy, std::string(300, '\xE0')}};
    const auto check = [](const ListValues& v) {
        for (const std::string& old : {std::string(), std::string(400, 'Z')})
            EXPECT_EQ(fields(readListImage(writeListImage(v, old))), fields(v));
    };
    ListValues all = kTypical;
    for (const auto& [field, text] : cases) {
        SCOPED_TRACE(text);
        ListValues v = kTypical;
        v.*field = text;
        check(v);
        all.*field = text;
    }
    check(all); // every room full at once
}

// An over-long text runs into later items; the one written later wins.
TEST(ListImage, OverLongTextsOverlapAsWrittenInPlace) {
    ListValues v = kTypical;
    v.count = "12345678901234567890"; // across the number at 160
    ListValues back = readListImage(writeListImage(v, ""));
    EXPECT_EQ(back.count, "123456\0\0\0\0\0\0\0\x40" // the double 2
                          "567890"s);
    EXPECT_EQ(*back.places, 2.0);
    EXPECT_EQ(back.alloy, kTypical.alloy);

    v = kTypical;
    v.thickness = "1234567"; // the last byte lost to Текст2's tag
    EXPECT_EQ(readListImage(writeListImage(v, "")).thickness, "123456\x08");

    v = kTypical;
    v.mode = std::string(100, 'a'); // the mode goes last, over Текст1's head
    back = readListImage(writeListImage(v, ""));
    EXPECT_EQ(back.mode, v.mode);
    EXPECT_EQ(back.thickness, "");
    EXPECT_EQ(back.upper, "0,2");

    v.mode = std::string(300, 'a'); // and over Комбо1's item, written before it
    back = readListImage(writeListImage(v, ""));
    EXPECT_EQ(back.mode, v.mode);
    EXPECT_EQ(back.alloy, "");
}

TEST(ListImage, NoNumberKeepsTheStoredBytes) {
    std::string old = TypicalSaveImage();
    const std::string stored = "\x01\x02\x03\x04\x05\x06\x07\x7F";
    old.replace(160, 8, stored);
    ListValues v = kTypical;
    v.places.reset();
    v.thickness = "3";
    const std::string img = writeListImage(v, old);
    EXPECT_EQ(img.substr(160, 8), stored);
    EXPECT_EQ(readListImage(img).thickness, "3");

    v.count = "12345678901234567890"; // even when Текст6 runs across them
    EXPECT_EQ(writeListImage(v, old).substr(160, 8), stored);

    v.count = "1"; // none, or part of one, stored: the rest is zeros
    EXPECT_EQ(writeListImage(v, "").substr(160, 8), std::string(8, '\0'));
    EXPECT_EQ(writeListImage(v, old.substr(0, 163)).substr(160, 8),
              stored.substr(0, 3) + std::string(5, '\0'));
}

TEST(ListImage, TextsBeyond65535BytesAreCut) {
    ListValues v = kTypical;
    v.alloy = std::string(70000, 'z');
    const std::string img = writeListImage(v, "");
    EXPECT_EQ(img.size(), 200u + 4 + 65535);
    EXPECT_EQ(img.substr(200, 4), "\x08\x00\xFF\xFF"s);
    EXPECT_EQ(readListImage(img).alloy, std::string(65535, 'z'));
}

namespace {

namespace fs = std::filesystem;

// A path from UTF-8, whatever the system's code page.
fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// Every name in the folder with what it holds: a link's text, a file's bytes,
// the kind of anything else (which is never opened).
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> held;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto status = entry.symlink_status();
        std::string& what = held[utf8(entry.path().filename())];
        if (fs::is_symlink(status)) {
            what = "link to " + utf8(fs::read_symlink(entry.path()));
        } else if (fs::is_regular_file(status)) {
            std::ifstream in(entry.path(), std::ios::binary);
            what.assign(std::istreambuf_iterator<char>(in), {});
        } else {
            what = "kind " + std::to_string(int(status.type()));
        }
    }
    return held;
}

bool file(const std::string& path) {
    return bool(std::ofstream(pathOf(path)) << "x");
}

#ifdef _WIN32
// Wine makes links of its own kind, on which Windows' rules cannot be
// tried: those rows need real Windows.
const bool kLinksAreReal = !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");

bool link(const char* to, const std::string& path) {
    std::error_code failed;
    fs::create_symlink(pathOf(to), pathOf(path), failed);
    return !failed;
}
int processId() {
    return static_cast<int>(GetCurrentProcessId());
}
#else
constexpr uid_t kOtherUser = 4102;

bool link(const char* to, const std::string& path) {
    return ::symlink(to, path.c_str()) == 0;
}
int processId() {
    return ::getpid();
}
#endif

} // namespace

// What List.abc may be. A name the rule refuses is neither read nor
// written, nor is the target of a link made; the folder is left as it was.
TEST(ListFile, OnlyAFileOfTheUsersOwnIsUsed) {
    using Make = bool (*)(const std::string& list, const std::string& target);
    const struct {
        const char* what;
        Make make;
        bool usable;
        bool canMake; // as root on POSIX; links on real Windows
    } cases[] = {
        {"a file", [](auto& l, auto&) { return file(l); }, true, true},
#ifdef _WIN32
        {"a folder", [](auto& l, auto&) { return fs::create_directory(pathOf(l)); }, false, true},
        {"a link to a file", [](auto& l, auto& t) { return file(t) && link("target", l); }, true,
         kLinksAreReal},
        {"a dangling link", [](auto& l, auto&) { return link("target", l); }, false, kLinksAreReal},
        {"a link to a link",
         [](auto& l, auto& t) {
             return file(l + ".real") && link("List.abc.real", t) && link("target", l);
         },
         false, kLinksAreReal},
    };
#else
        {"a link to a file", [](auto& l, auto& t) { return file(t) && link("target", l); }, true,
         true},
        {"a FIFO", [](auto& l, auto&) { return ::mkfifo(l.c_str(), 0666) == 0; }, false, true},
        {"a link to a device", [](auto& l, auto&) { return link("/dev/zero", l); }, false, true},
        {"a folder", [](auto& l, auto&) { return ::mkdir(l.c_str(), 0777) == 0; }, false, true},
        {"a dangling link", [](auto& l, auto&) { return link("target", l); }, false, true},
        {"a link to a link",
         [](auto& l, auto& t) {
             return file(l + ".real") && link("List.abc.real", t) && link("target", l);
         },
         false, true},
        {"another user's link",
         [](auto& l, auto& t) {
             return file(t) && link("target", l) &&
                    ::lchown(l.c_str(), kOtherUser, kOtherUser) == 0;
         },
         false, ::geteuid() == 0},
        {"another user's file",
         [](auto& l, auto&) {
             return file(l) && ::chown(l.c_str(), kOtherUser, kOtherUser) == 0 &&
                    ::chmod(l.c_str(), 0666) == 0;
         },
         false, ::geteuid() == 0},
        {"a link to another user's file",
         [](auto& l, auto& t) {
             return file(t) && ::chown(t.c_str(), kOtherUser, kOtherUser) == 0 && link("target", l);
         },
         false, ::geteuid() == 0},
    };
#endif
    const fs::path folder =
        fs::temp_directory_path() / ("list-file-" + std::to_string(processId()));
    const std::string list = utf8(folder / "List.abc"), target = utf8(folder / "target");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.canMake) {
            std::cout << "needs real Windows or root: " << c.what << "\n";
            continue;
        }
        fs::remove_all(folder);
        fs::create_directory(folder);
        ASSERT_TRUE(c.make(list, target));
        const auto before = snapshot(folder);

        EXPECT_EQ(sheetmass::listFileState(list),
                  c.usable ? sheetmass::ListFileState::Usable : sheetmass::ListFileState::Refused);
        EXPECT_EQ(sheetmass::readListFile(list, sheetmass::kListReach).has_value(), c.usable);
        EXPECT_EQ(sheetmass::createEmptyListFile(list), c.usable);
        EXPECT_EQ(sheetmass::saveListFile(list, kTypical), c.usable);
        if (c.usable) {
            const auto saved = sheetmass::readListFile(list, sheetmass::kListReach);
            ASSERT_TRUE(saved);
            EXPECT_EQ(fields(readListImage(saved->bytes)), fields(kTypical));
            // A link stays, its target saved.
            EXPECT_EQ(fs::is_symlink(fs::symlink_status(list)),
                      before.at("List.abc").starts_with("link to "));
        } else {
            EXPECT_EQ(snapshot(folder), before);
        }
    }
    fs::remove_all(folder);
}
