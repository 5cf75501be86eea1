#include "calc/NoMass.h"

#include "calc/NumberText.h"

#include <utility>

namespace sheetmass {
namespace {

constexpr std::pair<NoMass, std::string_view> kWords[] = {
    {NoMass::Empty, "пусто"},
    {NoMass::NotNumber, "не число"},
    {NoMass::BelowZero, "меньше нуля"},
    {NoMass::NotWhole, "не целое число"},
    {NoMass::NotGrade, "не марка из списка и не плотность"},
    {NoMass::NotMode, "не «номиналу», не «центру верхнего отклонения» и не «центру нижнего "
                      "отклонения»"},
    {NoMass::OutOfRange, "числа вне пределов"},
};

std::optional<NoMass> numberFault(const std::string& text) {
    if (text.empty())
        return NoMass::Empty;
    if (!parseNumber(text))
        return NoMass::NotNumber;
    return std::nullopt;
}

} // namespace

std::string_view noMassWords(NoMass why) {
    for (const auto& [reason, words] : kWords)
        if (reason == why)
            return words;
    return {};
}

std::optional<Blocker> firstBlocker(const Inputs& in, double density) {
    const bool upper = in.mode == kModeUpper;
    const bool lower = in.mode == kModeLower;
    if (in.mode != kModeNominal && !upper && !lower)
        return Blocker{Input::Mode, in.mode.empty() ? NoMass::Empty : NoMass::NotMode};
    if (density == 0 && !parseNumber(in.alloy))
        return Blocker{Input::Alloy, in.alloy.empty() ? NoMass::Empty : NoMass::NotGrade};
    const std::pair<Input, const std::string*> numbers[] = {
        {Input::Thickness, &in.thickness},
        {Input::Upper, upper ? &in.upper : nullptr},
        {Input::Lower, lower ? &in.lower : nullptr},
        {Input::Length, &in.length},
        {Input::Width, &in.width},
        {Input::Count, &in.count},
        {Input::Places, &in.places},
    };
    for (const auto& [input, text] : numbers)
        if (text != nullptr)
            if (const auto fault = numberFault(*text))
                return Blocker{input, *fault};
    return std::nullopt;
}

std::string blockerText(const Blocker& blocker) {
    std::string text;
    if (blocker.input)
        text = std::string(fieldOf(*blocker.input).name) + " — ";
    return text += noMassWords(blocker.why);
}

} // namespace sheetmass
