#include "behaviour/Text.h"

#include "fields/Utf8.h"

namespace sheetmass::behaviour {
namespace {

// UTF-16 units of a character, as the toolkits count a selection.
int unitsOf(std::int32_t c) {
    return c >= 0x10000 ? 2 : 1;
}

} // namespace

std::string keptText(const FieldState& state) {
    std::string kept;
    std::string_view rest = state.text;
    for (int at = 0; !rest.empty();) {
        const Decoded d = decodeUtf8(rest);
        const int units = d.character < 0 ? 1 : unitsOf(d.character);
        if (at < state.from || at >= state.to)
            kept += rest.substr(0, d.length);
        at += units;
        rest.remove_prefix(d.length);
    }
    return kept;
}

std::string utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

bool isLetter(char32_t c) {
    const bool latin = (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
                       (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
    const bool greek = c >= 0x386 && c <= 0x3FF && c != 0x387;
    const bool cyrillic = c >= 0x400 && c <= 0x52F && !(c >= 0x482 && c <= 0x489);
    return latin || greek || cyrillic;
}

std::string withoutLastCharacter(std::string_view utf8) {
    std::size_t last = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        last = at;
        at += decodeUtf8(utf8.substr(at)).length;
    }
    return std::string(utf8.substr(0, last));
}

} // namespace sheetmass::behaviour
