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
        return Blocker{Input::Mode, *why};
    const Mode mode = modeOf(in.mode);
    for (const InputField& field : kInputFields) {
        const Input input = field.input;
        if (input == Input::Mode || !worksFrom(mode, input))
            continue;
        const std::string& text = in.*field.text;
        // A density of 0 is read when the alloy text is the number 0.
        const bool read = (input == Input::Alloy && density != 0) || parseNumber(text);
        if (const auto why = whyNoMass(input, text, read))
            return Blocker{input, *why};
    }
    return std::nullopt;
}

std::string blockerText(const Blocker& blocker) {
    std::string text;
    if (blocker.input)
        text = std::string(fieldOf(*blocker.input).name) + " — ";
    return text += noMassWords(blocker.why);
}

} // namespace sheetmass
