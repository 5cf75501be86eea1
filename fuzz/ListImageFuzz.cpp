// libFuzzer target for the List.abc reader and writer: any bytes must read
// without touching memory outside them, and writing the values read back over
// the same bytes must give an image that reads back the same, item by item,
// wherever no later-written item overlaps. Any bytes are text of the code
// page that comes back unchanged.
#include "fields/CodePage.h"
#include "listfile/ListImage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace sheetmass;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

std::uint64_t bitsOf(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

struct Span {
    std::size_t from, to;
    bool overlaps(const Span& o) const { return from < o.to && o.from < to; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    check(toCp1251(fromCp1251(input)) == input);

    const ListValues v = readListImage(input);
    check(v.places.has_value());

    const std::string out = writeListImage(v, input);
    check(out.size() >= input.size());
    check(out.size() >= itemAt(Input::Alloy) + kItemHead + v.alloy.size());

    // The items in the order they are written.
    std::string ListValues::*const texts[] = {&ListValues::thickness, &ListValues::upper,
                                              &ListValues::lower,     &ListValues::length,
                                              &ListValues::width,     &ListValues::count};
    const std::size_t textAt[] = {itemAt(Input::Thickness), itemAt(Input::Upper),
                                  itemAt(Input::Lower),     itemAt(Input::Length),
                                  itemAt(Input::Width),     itemAt(Input::Count)};
    Span spans[9];
    for (int i = 0; i < 6; ++i)
        spans[i] = {textAt[i], textAt[i] + kItemHead + (v.*texts[i]).size()};
    spans[6] = {itemAt(Input::Places), itemAt(Input::Places) + 8};
    spans[7] = {itemAt(Input::Alloy), itemAt(Input::Alloy) + kItemHead + v.alloy.size()};
    spans[8] = {itemAt(Input::Mode), itemAt(Input::Mode) + kItemHead + v.mode.size()};
    auto intact = [&spans](int item) {
        for (int later = item + 1; later < 9; ++later)
            if (spans[item].overlaps(spans[later]))
                return false;
        return true;
    };

    const ListValues back = readListImage(out);
    for (int i = 0; i < 6; ++i) {
        // Without a later item over it, a text was within its room.
        if (intact(i))
            check(back.*texts[i] == v.*texts[i]);
        if ((v.*texts[i]).size() <= kFieldRoom && v.mode.size() <= kModeRoom)
            check(intact(i));
    }
    if (intact(6))
        check(bitsOf(*back.places) == bitsOf(*v.places));
    if (intact(7))
        check(back.alloy == v.alloy);
    check(back.mode == v.mode);

    // Bytes no item covers are left as they were, or zero past the old end.
    for (std::size_t at = 0; at < out.size(); ++at) {
        bool covered = false;
        for (const Span& s : spans)
            covered = covered || (at >= s.from && at < s.to);
        if (!covered)
            check(out[at] == (at < input.size() ? input[at] : '\0'));
    }
    return 0;
}
