#pragma once

#include "calc/Mass.h"
#include "fields/FieldRule.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace sheetmass::forms {

// The texts the windows make of the design's patterns, the same for every
// front end.

// The pattern with %1, %2… replaced by the arguments, in order.
std::string filled(std::string_view pattern, std::initializer_list<std::string_view> args);

// The result's tooltip: its hint, then what the mass was worked from, so
// that a slip (a deviation without its sign, metres for millimetres) shows
// at once; without a mass, what keeps it from being worked out.
std::string resultTip(std::string_view hint, const MassResult& result);

// The tooltip at a field that refused what came into it: the rule's words
// for a key (`typed`) or for a text at once, then the field's hint.
std::string refusedTip(Refusal why, bool typed, std::string_view hint);

// A caption as a screen reader should say it, the name of the field it
// captions: without its dot leaders.
std::string_view spokenCaption(std::string_view caption);

// The mail link's URL, its parts run together unescaped.
std::string mailUrl();

// A place or size in twips as pixels at the given dots per inch, to the
// nearest pixel: 15 twips a pixel at 96.
constexpr int twipsToPixels(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

} // namespace sheetmass::forms
