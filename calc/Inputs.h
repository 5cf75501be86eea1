#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace sheetmass {

// The nine inputs of the main window, as the texts its controls hold (UTF-8).
struct Inputs {
    std::string alloy;     // Комбо1: a grade of the table or a density
    std::string mode;      // Комбо2: one of the three thickness modes
    std::string thickness; // Текст1
    std::string upper;     // Текст2: upper deviation
    std::string lower;     // Текст3: lower deviation, normally negative
    std::string length;    // Текст4
    std::string width;     // Текст5
    std::string count;     // Текст6
    std::string places;    // Комбо3: decimal places of the result
};

// The nine inputs, from the top of the window down and in the order of a
// batch line: every list of them is made from this one.
enum class Input { Alloy, Mode, Thickness, Upper, Lower, Length, Width, Count, Places };
inline constexpr std::size_t kInputCount = 9;

struct InputField {
    Input input;
    std::string Inputs::*text;
    std::string_view name; // as the window's captions name it
};
inline constexpr std::array<InputField, kInputCount> kInputFields = {{
    {Input::Alloy, &Inputs::alloy, "сплав"},
    {Input::Mode, &Inputs::mode, "считать массу по"},
    {Input::Thickness, &Inputs::thickness, "толщина листа"},
    {Input::Upper, &Inputs::upper, "верхнее отклонение"},
    {Input::Lower, &Inputs::lower, "нижнее отклонение"},
    {Input::Length, &Inputs::length, "длина листа"},
    {Input::Width, &Inputs::width, "ширина листа"},
    {Input::Count, &Inputs::count, "количество"},
    {Input::Places, &Inputs::places, "знаков после запятой"},
}};

constexpr const InputField& fieldOf(Input input) {
    return kInputFields[static_cast<std::size_t>(input)];
}
inline std::string& textOf(Inputs& in, Input input) {
    return in.*fieldOf(input).text;
}
inline const std::string& textOf(const Inputs& in, Input input) {
    return in.*fieldOf(input).text;
}

inline constexpr const char* kModeNominal = "номиналу";
inline constexpr const char* kModeUpper = "центру верхнего отклонения";
inline constexpr const char* kModeLower = "центру нижнего отклонения";

// Which thickness the mass is worked from: the nominal one, or the centre
// of the upper or the lower deviation; none for any other text.
enum class Mode { nominal, upper, lower, none };

// The mode a text of the mode field names, compared byte for byte: a reader
// that trims (a paste, a batch line) trims before asking.
constexpr Mode modeOf(std::string_view text) {
    constexpr std::array<std::pair<std::string_view, Mode>, 3> kModes = {
        {{kModeNominal, Mode::nominal}, {kModeUpper, Mode::upper}, {kModeLower, Mode::lower}}};
    for (const auto& [name, mode] : kModes)
        if (name == text)
            return mode;
    return Mode::none;
}

// The inputs whose texts are numbers: all but the alloy and the mode.
constexpr bool isNumber(Input input) {
    return input != Input::Alloy && input != Input::Mode;
}

// Whether the mass is worked from an input under a mode: the deviation the
// mode does not use is never read; the others always are.
constexpr bool worksFrom(Mode mode, Input input) {
    return input == Input::Upper   ? mode == Mode::upper
           : input == Input::Lower ? mode == Mode::lower
                                   : true;
}

// The fields' numbers, by input, for a reader that reads each field once
// (the alloy's and the mode's stay unused).
struct MassNumbers {
    std::array<double, kInputCount> values{};

    double& operator[](Input input) { return values[static_cast<std::size_t>(input)]; }
    double operator[](Input input) const { return values[static_cast<std::size_t>(input)]; }
};

// The thickness the mass is worked from, in mm: the nominal one, or half
// the deviation the mode uses added to it; none without a mode.
constexpr std::optional<double> workedThickness(Mode mode, const MassNumbers& n) {
    if (mode == Mode::none)
        return std::nullopt;
    const double deviationHalf = mode == Mode::upper   ? n[Input::Upper] / 2
                                 : mode == Mode::lower ? n[Input::Lower] / 2
                                                       : 0;
    return deviationHalf + n[Input::Thickness];
}

} // namespace sheetmass
