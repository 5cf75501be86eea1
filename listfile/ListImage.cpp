#include "listfile/ListImage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace sheetmass {
namespace {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

unsigned readU16(std::string_view image, std::size_t at) {
    return static_cast<unsigned char>(image[at]) | static_cast<unsigned char>(image[at + 1]) << 8;
}

std::string readText(std::string_view image, std::size_t at) {
    if (image.size() < at + kItemHead || readU16(image, at) != kTextTag)
        return {};
    const std::size_t count = readU16(image, at + 2);
    return std::string(image.substr(at + kItemHead, count));
}

double readNumber(std::string_view image, std::size_t at) {
    unsigned char bytes[8] = {};
    if (at < image.size())
        std::memcpy(bytes, image.data() + at, std::min<std::size_t>(8, image.size() - at));
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | bytes[i];
    return std::bit_cast<double>(bits);
}

ListItem textItem(std::size_t at, std::string_view text) {
    text = text.substr(0, kMaxTextBytes);
    const char head[kItemHead] = {static_cast<char>(kTextTag), 0,
                                  static_cast<char>(text.size() & 0xFF),
                                  static_cast<char>(text.size() >> 8)};
    return {at, std::string(head, kItemHead) + std::string(text)};
}

ListItem numberItem(std::size_t at, double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    std::string bytes(8, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
    return {at, bytes};
}

} // namespace

std::string ListValues::*listText(Input input) {
    constexpr std::array<std::string ListValues::*, kInputCount> kTexts = {
        &ListValues::alloy, &ListValues::mode,  &ListValues::thickness,
        &ListValues::upper, &ListValues::lower, &ListValues::length,
        &ListValues::width, &ListValues::count, nullptr};
    return kTexts[static_cast<std::size_t>(input)];
}

ListValues readListImage(std::string_view image) {
    ListValues v;
    for (const auto& [input, at] : kListItems) {
        if (input == Input::Places)
            v.places = readNumber(image, at);
        else
            v.*listText(input) = readText(image, at);
    }
    return v;
}

std::vector<ListItem> listItems(const ListValues& values, std::string_view old) {
    // Without a new number the file keeps the one it had, even where an
    // over-long Текст6 runs across it.
    const std::size_t placesAt = itemAt(Input::Places);
    const double places = values.places ? *values.places : readNumber(old, placesAt);
    std::vector<ListItem> items;
    items.reserve(kListItems.size());
    for (const auto& [input, at] : kListItems)
        items.push_back(input == Input::Places ? numberItem(at, places)
                                               : textItem(at, values.*listText(input)));
    return items;
}

std::string writeListImage(const ListValues& values, std::string_view old) {
    std::string image(old);
    for (const ListItem& item : listItems(values, old)) {
        if (image.size() < item.at + item.bytes.size())
            image.resize(item.at + item.bytes.size(), '\0');
        image.replace(item.at, item.bytes.size(), item.bytes);
    }
    return image;
}

} // namespace sheetmass
