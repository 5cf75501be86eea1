#include "app/ListImage.h"
#include "tests/support/TypicalSave.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using sheetmass::ListValues;
using sheetmass::ReadListImage;
using sheetmass::WriteListImage;

namespace {

// Windows-1251 bytes of the texts used below.
const std::string kNominal = "\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3"; // номиналу
const std::string kD16 = "\xC4"                                  // Д
                         "16 (1160)";                            //
const std::string kAD1 = "\xC0\xC4"                              // АД
                         "1 ";                                   //
const std::string kUpperMode =
    "\xF6\xE5\xED\xF2\xF0\xF3 \xE2\xE5\xF0\xF5\xED\xE5\xE3\xEE "
    "\xEE\xF2\xEA\xEB\xEE\xED\xE5\xED\xE8\xFF"; // центру верхнего отклонения
const std::string kLowerMode =
    "\xF6\xE5\xED\xF2\xF0\xF3 \xED\xE8\xE6\xED\xE5\xE3\xEE "
    "\xEE\xF2\xEA\xEB\xEE\xED\xE5\xED\xE8\xFF"; // центру нижнего отклонения

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

// An image of `size` zero bytes with the given runs placed in it.
std::string image(std::size_t size,
                  std::initializer_list<std::pair<std::size_t, std::string>> runs) {
    std::string s(size, '\0');
    for (const auto& [at, run] : runs)
        s.replace(at, run.size(), run);
    return s;
}

std::string item(const std::string& text) {
    return bytes({8, 0, int(text.size() & 0xFF), int(text.size() >> 8)}) + text;
}

std::string doubleBytes(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    std::string s;
    for (int i = 0; i < 8; ++i, bits >>= 8)
        s += static_cast<char>(bits & 0xFF);
    return s;
}

ListValues typicalValues() {
    ListValues v;
    v.mode = kNominal;
    v.thickness = "2";
    v.upper = "0,2";
    v.lower = "-0,2";
    v.length = "2000";
    v.width = "1000";
    v.count = "1";
    v.places = 2.0;
    v.alloy = kD16;
    return v;
}

std::string typicalImage() {
    return TypicalSaveImage();
}

std::string emptySaveImage() {
    const std::string empty = bytes({8, 0, 0, 0});
    return image(204, {{0, empty},
                       {100, empty},
                       {110, empty},
                       {120, empty},
                       {130, empty},
                       {140, empty},
                       {150, empty},
                       {200, empty}});
}

void expectSame(const ListValues& got, const ListValues& want) {
    EXPECT_EQ(got.mode, want.mode);
    EXPECT_EQ(got.thickness, want.thickness);
    EXPECT_EQ(got.upper, want.upper);
    EXPECT_EQ(got.lower, want.lower);
    EXPECT_EQ(got.length, want.length);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.count, want.count);
    ASSERT_TRUE(got.places.has_value());
    EXPECT_EQ(doubleBytes(*got.places), doubleBytes(want.places.value_or(0.0)));
    EXPECT_EQ(got.alloy, want.alloy);
}

std::string ListValues::*const kTexts[] = {
    &ListValues::mode,   &ListValues::thickness, &ListValues::upper, &ListValues::lower,
    &ListValues::length, &ListValues::width,     &ListValues::count, &ListValues::alloy};
const std::size_t kTextOffsets[] = {0, 100, 110, 120, 130, 140, 150, 200};

} // namespace

TEST(ListImage, TypicalInputsGiveTheirBytes) {
    const std::string got = WriteListImage(typicalValues(), "");
    ASSERT_EQ(got.size(), 214u);
    EXPECT_EQ(got, typicalImage());
}

TEST(ListImage, TypicalFileReadsBack) {
    const ListValues v = ReadListImage(typicalImage());
    expectSame(v, typicalValues());
    EXPECT_EQ(*v.places, 2.0);
}

TEST(ListImage, EmptyInputsGive204Bytes) {
    ListValues v;
    v.places = 0.0;
    EXPECT_EQ(WriteListImage(v, ""), emptySaveImage());
    expectSame(ReadListImage(emptySaveImage()), v);
}

TEST(ListImage, ItemsPastTheEndReadEmpty) {
    const std::string full = typicalImage();
    struct Case {
        std::size_t size;
        ListValues want;
    };
    ListValues none;
    ListValues modeOnly = none;
    modeOnly.mode = kNominal;
    ListValues upToT6 = typicalValues();
    upToT6.places.reset();
    upToT6.alloy.clear();
    ListValues upToNumber = typicalValues();
    upToNumber.alloy.clear();
    for (const Case& c :
         {Case{0, none}, Case{3, none}, Case{12, modeOnly}, Case{100, modeOnly}, Case{160, upToT6},
          Case{168, upToNumber}, Case{203, upToNumber}, Case{204, upToNumber}}) {
        SCOPED_TRACE(c.size);
        expectSame(ReadListImage(full.substr(0, c.size)), c.want);
    }
    // A number cut short by the end: its missing bytes read as zero.
    EXPECT_EQ(*ReadListImage(full.substr(0, 167)).places, 0.0);
    EXPECT_EQ(*ReadListImage(full.substr(0, 168)).places, 2.0);
}

TEST(ListImage, UnwrittenStretchesAreIgnoredAndKept) {
    std::string junk = typicalImage();
    const std::pair<std::size_t, std::size_t> stretches[] = {{12, 100},  {105, 110}, {117, 120},
                                                             {128, 130}, {138, 140}, {148, 150},
                                                             {155, 160}, {168, 200}};
    for (auto [from, to] : stretches)
        for (std::size_t i = from; i < to; ++i)
            junk[i] = static_cast<char>(0xA5 ^ i);
    junk += "tail of an older alloy text";
    expectSame(ReadListImage(junk), typicalValues());
    // Saving the same inputs again touches none of it.
    EXPECT_EQ(WriteListImage(typicalValues(), junk), junk);
}

TEST(ListImage, ShorterAlloyKeepsTheStaleTail) {
    ListValues v = typicalValues();
    v.alloy = std::string(40, 'x');
    const std::string first = WriteListImage(v, "");
    ASSERT_EQ(first.size(), 244u);
    v.alloy = kAD1;
    const std::string second = WriteListImage(v, first);
    ASSERT_EQ(second.size(), 244u);
    EXPECT_EQ(second.substr(200, 8), item(kAD1));
    EXPECT_EQ(second.substr(208), std::string(36, 'x'));
    EXPECT_EQ(ReadListImage(second).alloy, kAD1);
}

TEST(ListImage, ForeignTagsReadEmpty) {
    for (std::size_t n = 0; n < std::size(kTexts); ++n) {
        for (int tag : {0, 1, 7, 9, 0x800, 0xFFFF}) {
            SCOPED_TRACE(testing::Message() << "item at " << kTextOffsets[n] << ", tag " << tag);
            std::string img = typicalImage();
            img[kTextOffsets[n]] = static_cast<char>(tag & 0xFF);
            img[kTextOffsets[n] + 1] = static_cast<char>(tag >> 8);
            ListValues want = typicalValues();
            want.*kTexts[n] = "";
            expectSame(ReadListImage(img), want);
        }
    }
}

TEST(ListImage, CountsPastTheEndGiveWhatIsThere) {
    // Alloy claims 100 bytes, the file holds 5 of them.
    EXPECT_EQ(ReadListImage(image(209, {{200, bytes({8, 0, 100, 0}) + "abcde"}})).alloy, "abcde");
    // The largest count at the last text item; the head alone at the end.
    EXPECT_EQ(ReadListImage(image(204, {{200, bytes({8, 0, 0xFF, 0xFF})}})).alloy, "");
    // A count running past the end inside the fixed part reads on through the
    // following items, whatever they are.
    const std::string img = image(156, {{150, bytes({8, 0, 0xFF, 0xFF}) + "12"}});
    EXPECT_EQ(ReadListImage(img).count, "12");
    // Head cut off by the end.
    EXPECT_EQ(ReadListImage(image(203, {{200, bytes({8, 0, 1})}})).alloy, "");
}

TEST(ListImage, TextsThatFitTheirRoomComeBackExactly) {
    struct Case {
        std::string ListValues::*field;
        std::string text;
    };
    const Case cases[] = {
        {&ListValues::lower, "-0,125"},
        {&ListValues::upper, "999999"},
        {&ListValues::mode, kNominal},
        {&ListValues::mode, kUpperMode},
        {&ListValues::mode, kLowerMode},
        {&ListValues::mode, std::string(96, '\xFF')},
        {&ListValues::alloy, kAD1},
        {&ListValues::alloy, std::string(300, '\xE0')},
        {&ListValues::alloy, std::string(65535, '7')},
        {&ListValues::count, ""},
        {&ListValues::count, std::string("\0\0\0", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 30));
        ListValues v = typicalValues();
        v.*c.field = c.text;
        // Over a fresh file and over one whose bytes are all junk.
        for (const std::string& old : {std::string(), std::string(400, '\x5A')}) {
            const std::string img = WriteListImage(v, old);
            expectSame(ReadListImage(img), v);
        }
    }
}

TEST(ListImage, AllSixFieldsFullAtOnce) {
    ListValues v = typicalValues();
    v.thickness = "-0,125";
    v.upper = "123456";
    v.lower = "-0,001";
    v.length = "100000";
    v.width = "25,125";
    v.count = "999999";
    v.mode = std::string(96, 'm');
    expectSame(ReadListImage(WriteListImage(v, "")), v);
}

TEST(ListImage, LongerTextsOverlapAsWrittenInPlace) {
    ListValues v = typicalValues();
    v.count = "12345678901234567890";
    const std::string img = WriteListImage(v, "");
    // Text bytes 154…173; the number, written next, takes 160…167.
    EXPECT_EQ(img.substr(154, 6), "123456");
    EXPECT_EQ(img.substr(160, 8), doubleBytes(2.0));
    EXPECT_EQ(img.substr(168, 6), "567890");
    const ListValues back = ReadListImage(img);
    EXPECT_EQ(back.count, "123456" + doubleBytes(2.0) + "567890");
    EXPECT_EQ(*back.places, 2.0);
    EXPECT_EQ(back.alloy, kD16);

    // A thickness of 7 characters loses its last one to the head of Текст2.
    v = typicalValues();
    v.thickness = "1234567";
    EXPECT_EQ(ReadListImage(WriteListImage(v, "")).thickness, "123456" + bytes({8}));

    // The mode is written last: beyond 96 bytes it takes Текст1's head.
    v = typicalValues();
    v.mode = std::string(100, 'a');
    const ListValues afterMode = ReadListImage(WriteListImage(v, ""));
    EXPECT_EQ(afterMode.mode, v.mode);
    EXPECT_EQ(afterMode.thickness, "");
    EXPECT_EQ(afterMode.upper, "0,2");
}

TEST(ListImage, NoNumberKeepsTheStoredBytes) {
    std::string old = typicalImage();
    const std::string stored = bytes({1, 2, 3, 4, 5, 6, 7, 0x7F});
    old.replace(160, 8, stored);
    ListValues v = typicalValues();
    v.places.reset();
    v.thickness = "3";
    std::string img = WriteListImage(v, old);
    EXPECT_EQ(img.substr(160, 8), stored);
    EXPECT_EQ(ReadListImage(img).thickness, "3");

    // Even when an over-long Текст6 runs across them.
    v.count = "12345678901234567890";
    img = WriteListImage(v, old);
    EXPECT_EQ(img.substr(160, 8), stored);

    // A file that had none gets zero bytes there.
    v.count = "1";
    EXPECT_EQ(WriteListImage(v, "").substr(160, 8), std::string(8, '\0'));
    EXPECT_EQ(WriteListImage(v, old.substr(0, 163)).substr(160, 8),
              stored.substr(0, 3) + std::string(5, '\0'));
}

TEST(ListImage, NeverShorterAndLongTextsCut) {
    const std::string big(1000, '\x11');
    EXPECT_EQ(WriteListImage(typicalValues(), big).size(), 1000u);

    ListValues v = typicalValues();
    v.alloy = std::string(70000, 'z');
    const std::string img = WriteListImage(v, "");
    ASSERT_EQ(img.size(), 200u + 4 + 65535);
    EXPECT_EQ(img.substr(200, 4), bytes({8, 0, 0xFF, 0xFF}));
    EXPECT_EQ(ReadListImage(img).alloy, std::string(65535, 'z'));
}

TEST(ListImage, SpecialNumbersKeepTheirBits) {
    for (double d : {-0.0, 15.0, 1e308, 4.9e-324, -2.5}) {
        SCOPED_TRACE(d);
        ListValues v;
        v.places = d;
        EXPECT_EQ(doubleBytes(*ReadListImage(WriteListImage(v, "")).places), doubleBytes(d));
    }
}
