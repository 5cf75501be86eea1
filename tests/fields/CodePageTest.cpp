#include "fields/CodePage.h"

#include <QString>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <string>

using sheetmass::cp1251Code;
using sheetmass::fromCp1251;
using sheetmass::toCp1251;

// The code page as the system's converter knows it, byte for byte: files
// saved by earlier versions, which used it, read back the same.
TEST(CodePage, EveryByteIsTheConvertersCharacterAndComesBack) {
    QStringDecoder system("windows-1251");
    ASSERT_TRUE(system.isValid());
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const std::string byte(1, static_cast<char>(code));
        const QString expected = system.decode(QByteArrayView(byte.data(), 1));
        EXPECT_EQ(QString::fromStdString(fromCp1251(byte)), expected);
        EXPECT_EQ(cp1251Code(expected.at(0).unicode()), code);
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
