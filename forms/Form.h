#pragma once

#include "calc/Inputs.h"
#include "fields/FieldRule.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace sheetmass::forms {

// The two windows as designed, as plain data that every front end builds its
// widgets from: places and sizes in twips (1440 to the inch, 15 to a pixel at
// 96 dots per inch), colours as 0xRRGGBB, texts in UTF-8. What a toolkit
// makes of them (widgets, palettes, events) is the front end's.

using Rgb = std::uint32_t;
// The system's own colour for the part: nothing is set.
inline constexpr Rgb kSystemColour = 0xFFFFFFFFu;

// The face every text is designed in, and the faces that stand in for it
// where it is not installed, the first installed of them: its own scalable
// successor on Windows, then sans faces with Cyrillic and bold letters
// narrow enough for every caption's room.
inline constexpr std::string_view kDesignFont = "MS Sans Serif";
inline constexpr std::array<std::string_view, 4> kFontStandIns = {
    "Microsoft Sans Serif", "Liberation Sans", "PT Sans", "DejaVu Sans"};

struct Font {
    double points = 0; // 0: the window's font
    bool bold = false;
    bool underline = false;
};

struct Place {
    int left = 0, top = 0, width = 0, height = 0; // twips, from the container's corner
};

enum class Kind { Label, TextField, ListField, Frame, Button };
enum class Align { Left, Centre };

struct Control {
    std::string_view name{}; // the object's name, which tests and tools find it by
    Kind kind = Kind::Label;
    std::string_view container{}; // a frame's name; empty: the window's client area
    Place place{};
    int tabIndex = -1;       // -1: none designed
    std::string_view text{}; // a label's or the button's; inputs get theirs at load
    Font font{};             // points 0: the window's
    Rgb textColour = kSystemColour;
    Rgb back = kSystemColour; // a button's face, a frame's background (set at load)
    Align align = Align::Left;
    // The tooltip: what a field takes, which its accessible description
    // repeats; what a button does, which names it for screen readers.
    std::string_view hint{};
    // What a key press may type and how long the text may grow; nullptr: any.
    const NumberField* admits = nullptr;
    std::string_view captions{};                 // the field whose caption this label is
    bool changeRecalculates = false;             // a change of its text runs the mass
    bool pickRecalculates = false;               // a pick from its list runs the mass
    std::span<const std::string_view> entries{}; // a list's fixed entries, in order
    bool readOnly = false;        // selected and copied, written only by the calculation
    std::optional<Input> shows{}; // the input whose text the field holds
};

struct Window {
    std::string_view name{};
    std::string_view title{};
    int width = 0, height = 0; // client area, twips
    Rgb back = kSystemColour;  // the client area's colour once loaded
    Font font{};               // points 0: the system's
    std::span<const Control> controls{};
};

// The control of that name, nullptr if the window has none.
const Control* findControl(const Window& window, std::string_view name);

// Where the control lies from the window's client corner, in twips: a
// frame's controls are placed from the frame's corner.
Place placeInWindow(const Window& window, const Control& control);

} // namespace sheetmass::forms
