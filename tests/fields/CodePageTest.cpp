#include "fields/CodePage.h"
#include "fields/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <QString>
#include <QStringDecoder>
#endif

#include <gtest/gtest.h>

#include <string>

using sheetmass::cp1251Code;
using sheetmass::fromCp1251;
using sheetmass::toCp1251;

namespace {

// The system's own converter: Windows', or Qt's elsewhere. One byte's
// character as UTF-8 and as its UTF-16 unit.
struct Converted {
    std::string utf8;
    char16_t unit;
};

Converted systemCp1251(char byte) {
#ifdef _WIN32
    wchar_t unit = 0;
    EXPECT_EQ(MultiByteToWideChar(1251, 0, &byte, 1, &unit, 1), 1);
    char utf8[4];
    const int n = WideCharToMultiByte(CP_UTF8, 0, &unit, 1, utf8, sizeof utf8, nullptr, nullptr);
    return {std::string(utf8, static_cast<std::size_t>(n)), static_cast<char16_t>(unit)};
#else
    QStringDecoder system("windows-1251");
    EXPECT_TRUE(system.isValid());
    const QString text = system.decode(QByteArrayView(&byte, 1));
    return {text.toStdString(), text.at(0).unicode()};
#endif
}

} // namespace

// The code page as the system's converter knows it, byte for byte: files
// saved by earlier versions, which used it, read back the same.
TEST(CodePage, EveryByteIsTheConvertersCharacterAndComesBack) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const std::string byte(1, static_cast<char>(code));
        const Converted expected = systemCp1251(byte[0]);
        EXPECT_EQ(fromCp1251(byte), expected.utf8);
        EXPECT_EQ(cp1251Code(expected.unit), code);
        EXPECT_EQ(toCp1251(fromCp1251(byte)), byte);
    }
}

TEST(CodePage, WhatItLacksIsOneMarkACharacter) {
    const struct {
        std::string utf8, bytes;
    } cases[] = {
        {"Д16 (1160)", "\xC4"
                       "16 (1160)"},
        {"ёЁ№€", "\xB8\xA8\xB9\x88"},
        {"漢😀", "??"},           // three and four bytes, one character each
        {"\xff\xfe", "??"},      // not UTF-8 at all
        {"\xd0", "?"},           // cut short
        {"\xc0\xaf", "??"},      // an overlong slash
        {"\xed\xa0\x80", "???"}, // a surrogate
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(toCp1251(c.utf8), c.bytes);
    }
    EXPECT_EQ(cp1251Code(U'漢'), -1);
}

TEST(Utf8, WellFormedAndCutShort) {
    const struct {
        std::string bytes;
        bool wellFormed;
        std::size_t complete; // without a character cut at the end
    } cases[] = {
        // clang-format off
        {"", true, 0}, {"2,5", true, 3}, {"Д16", true, 4}, {"\xE2\x80\xAF", true, 3},
        {"\xF0\x9F\x98\x80", true, 4}, {"\xF4\x8F\xBF\xBF", true, 4},
        {"\xD0", false, 0}, {"a\xD0", false, 1}, {"a\xE2\x80", false, 1},
        {"a\xF0\x9F\x98", false, 1}, {"\xC3\xA9\xF0\x9F", false, 2},
        {"\xC0\xAF", false, 2}, {"\xC1\xBF", false, 2}, {"\xE0\x80\xAF", false, 3},
        {"\xE0\x9F\xBF", false, 3}, {"\xF0\x8F\xBF\xBF", false, 4},
        {"\xED\xA0\x80", false, 3}, {"\xED\xBF\xBF", false, 3}, {"\xF4\x90\x80\x80", false, 4},
        {"\xF5\x80\x80\x80", false, 4}, {"\xFF", false, 1}, {"\x80", false, 1},
        {"\xC4\x31", false, 2}, {"\xE2\x28\xA1", false, 3},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        EXPECT_EQ(sheetmass::isUtf8(c.bytes), c.wellFormed);
        EXPECT_EQ(sheetmass::completeLength(c.bytes), c.complete);
    }
}
