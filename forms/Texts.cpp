#include "forms/Texts.h"

#include "forms/Form1.h"
#include "forms/Form2.h"

#include <algorithm>
#include <iterator>

namespace sheetmass::forms {

std::string filled(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string text;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const std::size_t n = at + 1 < pattern.size() ? std::size_t(pattern[at + 1] - '1') : 9;
        if (pattern[at] == '%' && n < args.size()) {
            text += *(args.begin() + n);
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

std::string resultTip(std::string_view hint, const MassResult& result) {
    std::string tip(hint);
    if (result.none && result.none->input == Input::Mode)
        tip += "\n" + std::string(kResultNoMode);
    else if (result.none)
        tip += "\n" + filled(kResultNone, {blockerText(*result.none)});
    if (!result.thickness.empty())
        tip += "\n" + filled(kResultThickness, {result.thickness});
    if (!result.sheetMass.empty())
        tip += "\n" + filled(kResultSheetMass, {result.sheetMass});
    if (!result.density.empty())
        tip += "\n" + (result.grade.empty()
                           ? filled(kResultDensityTyped, {result.density})
                           : filled(kResultDensityOfGrade, {result.density, result.grade}));
    return tip;
}

std::string refusedTip(Refusal why, bool typed, std::string_view hint) {
    const auto* found = std::find_if(std::begin(kRefusalTexts), std::end(kRefusalTexts),
                                     [why](const RefusalText& t) { return t.refusal == why; });
    std::string_view words;
    if (found != std::end(kRefusalTexts))
        words = typed && !found->typed.empty() ? found->typed : found->pasted;
    return filled(kRefused, {words, hint});
}

std::string_view spokenCaption(std::string_view caption) {
    while (caption.ends_with(' ') || caption.ends_with('.'))
        caption.remove_suffix(1);
    return caption;
}

std::string mailUrl() {
    std::string url;
    for (std::string_view part :
         {kMailLink.scheme, kMailLink.address, kMailLink.query, kMailLink.subject, kMailLink.tail})
        url += part;
    return url;
}

} // namespace sheetmass::forms
