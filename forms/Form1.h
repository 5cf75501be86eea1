#pragma once

#include "forms/Form.h"

#include <string_view>

namespace sheetmass::forms {

// The calculator window: its controls from top to bottom.
extern const Window kForm1;

// What the result's tooltip adds to its hint while there is a result; %1 is
// the number.
inline constexpr std::string_view kResultThickness = "Толщина в расчёте: %1 мм";
inline constexpr std::string_view kResultSheetMass = "Масса одного листа: %1 кг";
// The density the mass used (%1), and where it came from: a grade (%2), or
// typed into the alloy field.
inline constexpr std::string_view kResultDensityOfGrade =
    "Плотность в расчёте: %1 г/см³, марки «%2»";
inline constexpr std::string_view kResultDensityTyped =
    "Плотность в расчёте: %1 г/см³, как введена";

// What the result's tooltip says while there is no result: that no mode is
// chosen, or the first field that keeps the mass from being worked out and
// why, in the batch's words (%1).
inline constexpr std::string_view kResultNoMode = "Выберите, как считать массу";
inline constexpr std::string_view kResultNone = "Масса не считается: %1";

// The tooltip at a field that refused what a key or a paste brought: the
// rule that refused it, then the field's hint.
struct RefusalText {
    Refusal refusal;
    std::string_view typed;  // a key
    std::string_view pasted; // a text at once: pasted, dropped, committed
};
inline constexpr RefusalText kRefusalTexts[] = {
    {Refusal::Character, "Этот знак здесь не вводится.",
     "Не вставлено: здесь такие знаки не вводятся."},
    {Refusal::Separator, "Вторая запятая не вводится: в числе она одна.",
     "Не вставлено: в числе одна запятая."},
    {Refusal::Room, "Больше знаков поле не вмещает.", "Не вставлено: длиннее, чем вмещает поле."},
    {Refusal::NoText, "", "Не вставлено: в буфере обмена нет текста."},
    {Refusal::ReadOnly, "Массу пишет расчёт; её можно выделить и скопировать.",
     "Массу пишет расчёт; её можно выделить и скопировать."},
};
// %1 is the rule's text, %2 the field's hint.
inline constexpr std::string_view kRefused = "%1\n%2";

} // namespace sheetmass::forms
