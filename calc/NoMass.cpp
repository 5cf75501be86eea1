#include "calc/NoMass.h"

#include "calc/Mass.h"
#include "calc/NumberText.h"

#include <utility>

namespace sheetmass {
namespace {

constexpr std::pair<NoMass, std::string_view> kWords[] = {
    {NoMass::Empty, "пусто"},
    {NoMass::NotNumber, "не число"},
    {NoMass::BelowZero, "меньше нуля"},
    {NoMass::Minus, "минус здесь не вводится"},
    {NoMass::NotWhole, "не целое число"},
    {NoMass::NotGrade, "не марка из списка и не плотность"},
    {NoMass::NotMode, "не «номиналу», не «центру верхнего отклонения» и не «центру нижнего "
                      "отклонения»"},
    {NoMass::OutOfRange, "числа вне пределов"},
    {NoMass::NoMetal, "плотнее любого металла"},
    {NoMass::NoThickness, "толщина в расчёте меньше нуля"},
};

// "плотность 1160 г/см³ больше 22,6, такой нет ни у одного металла: 1160 —
// номер марки «Д16 (1160)»": the number is named as what it most likely is,
// and never taken for it.
std::string noMetal(double density, const std::vector<std::string_view>& grades) {
    const std::string number = formatNumber(density);
    std::string said = "плотность " + number + " г/см³ больше " + formatNumber(kDensest) +
                       ", такой нет ни у одного металла";
    if (grades.empty())
        return said;
    said += ": " + number + (grades.size() == 1 ? " — номер марки " : " — номер марок ");
    for (std::size_t i = 0; i < grades.size(); ++i) {
        if (i > 0)
            said += i + 1 == grades.size() ? " и " : ", ";
        said += "«" + std::string(grades[i]) + "»";
    }
    return said;
}

// Named at the deviation that took the thickness below zero, or at the
// thickness itself by the nominal.
Blocker noThickness(Mode mode, const MassNumbers& n, double worked) {
    const Input deviation = mode == Mode::upper ? Input::Upper : Input::Lower;
    if (mode == Mode::nominal)
        return {Input::Thickness, NoMass::NoThickness,
                formatNumber(n[Input::Thickness]) + " мм, меньше нуля"};
    return {deviation, NoMass::NoThickness,
            formatNumber(n[deviation]) + " мм, с ним толщина в расчёте " + formatNumber(worked) +
                " мм, меньше нуля"};
}

} // namespace

std::string_view noMassWords(NoMass why) {
    for (const auto& [reason, words] : kWords)
        if (reason == why)
            return words;
    return {};
}

std::optional<NoMass> whyNoMass(Input input, std::string_view text, bool read) {
    if (input == Input::Mode)
        read = modeOf(text) != Mode::none;
    if (read)
        return std::nullopt;
    if (text.empty())
        return NoMass::Empty;
    return input == Input::Mode    ? NoMass::NotMode
           : input == Input::Alloy ? NoMass::NotGrade
                                   : NoMass::NotNumber;
}

std::optional<Blocker> firstBlocker(const Inputs& in, double density) {
    // The mode first: the inputs it works from depend on it.
    if (const auto why = whyNoMass(Input::Mode, in.mode, false))
        return Blocker{Input::Mode, *why, {}};
    const Mode mode = modeOf(in.mode);
    for (const InputField& field : kInputFields) {
        const Input input = field.input;
        if (input == Input::Mode || !worksFrom(mode, input))
            continue;
        const std::string& text = in.*field.text;
        // A density of 0 is read when the alloy text is the number 0.
        const bool read = (input == Input::Alloy && density != 0) || parseNumber(text);
        if (const auto why = whyNoMass(input, text, read))
            return Blocker{input, *why, {}};
    }
    return std::nullopt;
}

std::optional<Blocker> whyNoMass(double density, Mode mode, const MassNumbers& numbers, bool worked,
                                 GradesNumbered& gradesOf) {
    if (density > kDensest)
        return Blocker{Input::Alloy, NoMass::NoMetal, noMetal(density, gradesOf(density))};
    if (const auto thickness = workedThickness(mode, numbers); thickness && *thickness < 0)
        return noThickness(mode, numbers, *thickness);
    if (worked)
        return std::nullopt;
    // The places alone can be beyond what the rounding takes.
    MassNumbers whole = numbers;
    whole[Input::Places] = 0;
    if (!massText(density, mode, whole).empty())
        return Blocker{Input::Places, NoMass::OutOfRange, "вне пределов"};
    return Blocker{std::nullopt, NoMass::OutOfRange, {}};
}

std::string blockerText(const Blocker& blocker) {
    std::string text;
    if (blocker.input)
        text = std::string(fieldOf(*blocker.input).name) + " — ";
    return text += blocker.said.empty() ? noMassWords(blocker.why) : blocker.said;
}

} // namespace sheetmass
