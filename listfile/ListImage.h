#pragma once

#include "calc/Inputs.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetmass {

// The nine values List.abc holds. Texts are Windows-1251 bytes.
struct ListValues {
    std::string mode;      // Комбо2, text item at 0
    std::string thickness; // Текст1, at 100
    std::string upper;     // Текст2, at 110
    std::string lower;     // Текст3, at 120
    std::string length;    // Текст4, at 130
    std::string width;     // Текст5, at 140
    std::string count;     // Текст6, at 150
    // Комбо3, double at 160. Always set by readListImage; when empty on
    // writing, the eight bytes at 160 stay as the image held them.
    std::optional<double> places;
    std::string alloy; // Комбо1, text item at 200

    bool operator==(const ListValues&) const = default;
};

// Where each input's item lies, in the order a save writes them: Текст1 …
// Текст6, the number, Комбо1, Комбо2, so that where an over-long text runs
// into a later item the later one wins.
struct ListItemPlace {
    Input input;
    std::size_t at;
};
inline constexpr std::array<ListItemPlace, kInputCount> kListItems = {{
    {Input::Thickness, 100},
    {Input::Upper, 110},
    {Input::Lower, 120},
    {Input::Length, 130},
    {Input::Width, 140},
    {Input::Count, 150},
    {Input::Places, 160},
    {Input::Alloy, 200},
    {Input::Mode, 0},
}};

constexpr std::size_t itemAt(Input input) {
    for (const ListItemPlace& place : kListItems)
        if (place.input == input)
            return place.at;
    return 0;
}

// The text List.abc keeps of an input; the places are a number, not a text.
std::string ListValues::*listText(Input input);

inline constexpr std::size_t kItemHead = 4;          // 16-bit tag and 16-bit count
inline constexpr std::size_t kModeRoom = 96;         // bytes of text before Текст1's item
inline constexpr std::size_t kFieldRoom = 6;         // bytes of text of Текст1 … Текст6
inline constexpr std::size_t kMaxTextBytes = 0xFFFF; // what the 16-bit count can say
inline constexpr unsigned kTextTag = 8;

// The values an image holds. Never reads outside the image: an item that
// starts at or past its end is the empty text (the number 0), a count that
// runs past the end gives the bytes that are there, a tag other than 8 gives
// the empty text. Missing bytes of a number cut off by the end read as zero.
ListValues readListImage(std::string_view image);

// One write of a save: bytes at a fixed offset.
struct ListItem {
    std::size_t at;
    std::string bytes;
};

// The writes that save the values over `old`, in kListItems' order. Texts
// beyond 65,535 bytes are cut. A save in place makes exactly these writes and nothing else.
std::vector<ListItem> listItems(const ListValues& values, std::string_view old);

// `old` with the items of listItems written over it: never shorter than
// `old`; bytes no item covers keep their old value, or zero where `old` had
// none.
std::string writeListImage(const ListValues& values, std::string_view old);

} // namespace sheetmass
