#include "forms/Form1.h"

#include "alloys/AlloyTable.h"
#include "calc/Inputs.h"

namespace sheetmass::forms {
namespace {

constexpr std::array<std::string_view, 3> kModes = {kModeNominal, kModeUpper, kModeLower};

constexpr std::array<std::string_view, 16> kPlaces = {"0", "1", "2",  "3",  "4",  "5",  "6",  "7",
                                                      "8", "9", "10", "11", "12", "13", "14", "15"};

constexpr Rgb kDeepBlue = 0x0000C0;
constexpr Rgb kNavy = 0x000080;

// clang-format off
const std::array<Control, 22> kControls = {{
    {.name = "Метка9", .kind = Kind::Label, .place = {120, 165, 3735, 255}, .tabIndex = 19, .text = "Считать массу по:", .captions = "Комбо2"},
    {.name = "Комманда1", .kind = Kind::Button, .place = {3360, 60, 495, 360}, .tabIndex = 21, .text = "?", .font = {12, true}, .back = 0xC0FFC0,
     .hint = "О программе"},
    {.name = "Комбо2", .kind = Kind::ListField, .place = {120, 480, 3735, 360}, .tabIndex = 0,
     .hint = "Как считать толщину: выберите из списка", .admits = &kModeField, .pickRecalculates = true, .entries = kModes, .shows = Input::Mode},
    {.name = "Рамка1", .kind = Kind::Frame, .place = {120, 960, 3735, 3615}, .tabIndex = 9, .font = {8.25, false}, .back = 0xFFFFF5},
    {.name = "Метка1", .kind = Kind::Label, .container = "Рамка1", .place = {120, 280, 1095, 375}, .tabIndex = 10, .text = "Сплав . . .", .captions = "Комбо1"},
    {.name = "Комбо1", .kind = Kind::ListField, .container = "Рамка1", .place = {1200, 240, 2415, 360}, .tabIndex = 1,
     .hint = "Марка сплава из списка или плотность в г/см³, например 2,7", .admits = &kAlloyField,
     .changeRecalculates = true, .pickRecalculates = true, .entries = kGradeTexts, .shows = Input::Alloy},
    {.name = "Метка2", .kind = Kind::Label, .container = "Рамка1", .place = {120, 840, 2415, 255}, .tabIndex = 11, .text = "Толщина листа . . . . . ", .textColour = kNavy, .captions = "Текст1"},
    {.name = "Текст1", .kind = Kind::TextField, .container = "Рамка1", .place = {2520, 720, 1095, 375}, .tabIndex = 2, .textColour = kDeepBlue,
     .hint = "Толщина листа в мм, например 2,5", .admits = &kSizeField, .changeRecalculates = true, .shows = Input::Thickness},
    {.name = "Метка3", .kind = Kind::Label, .container = "Рамка1", .place = {120, 1240, 2535, 255}, .tabIndex = 12, .text = "Верхнее отклонение", .textColour = kNavy, .captions = "Текст2"},
    {.name = "Текст2", .kind = Kind::TextField, .container = "Рамка1", .place = {2520, 1200, 1095, 375}, .tabIndex = 3, .textColour = kDeepBlue,
     .hint = "Верхнее отклонение толщины в мм, например 0,2", .admits = &kDeviationField, .changeRecalculates = true, .shows = Input::Upper},
    {.name = "Метка4", .kind = Kind::Label, .container = "Рамка1", .place = {120, 1720, 2295, 255}, .tabIndex = 13, .text = "Нижнее отклонение", .textColour = kNavy, .captions = "Текст3"},
    {.name = "Текст3", .kind = Kind::TextField, .container = "Рамка1", .place = {2520, 1680, 1095, 375}, .tabIndex = 4, .textColour = kDeepBlue,
     .hint = "Нижнее отклонение толщины в мм, со знаком минус, например -0,2", .admits = &kDeviationField, .changeRecalculates = true, .shows = Input::Lower},
    {.name = "Метка5", .kind = Kind::Label, .container = "Рамка1", .place = {120, 2280, 2415, 255}, .tabIndex = 14, .text = "Длина листа . . . . . . . ", .captions = "Текст4"},
    {.name = "Текст4", .kind = Kind::TextField, .container = "Рамка1", .place = {2520, 2160, 1095, 360}, .tabIndex = 5,
     .hint = "Длина листа в мм, например 2000", .admits = &kSizeField, .changeRecalculates = true, .shows = Input::Length},
    {.name = "Метка6", .kind = Kind::Label, .container = "Рамка1", .place = {120, 2685, 2415, 255}, .tabIndex = 15, .text = "Ширина листа . . . . . . ", .captions = "Текст5"},
    {.name = "Текст5", .kind = Kind::TextField, .container = "Рамка1", .place = {2520, 2640, 1095, 360}, .tabIndex = 6,
     .hint = "Ширина листа в мм, например 1000", .admits = &kSizeField, .changeRecalculates = true, .shows = Input::Width},
    {.name = "Метка7", .kind = Kind::Label, .container = "Рамка1", .place = {120, 3165, 2415, 255}, .tabIndex = 16, .text = "Количество . . . . . . . . ", .captions = "Текст6"},
    {.name = "Текст6", .kind = Kind::TextField, .container = "Рамка1", .place = {2520, 3120, 1095, 360}, .tabIndex = 7,
     .hint = "Количество листов, штук", .admits = &kCountField, .changeRecalculates = true, .shows = Input::Count},
    // Black set on purpose, not the system's text colour.
    {.name = "Метка11", .kind = Kind::Label, .place = {120, 4725, 3015, 255}, .tabIndex = 20, .text = "Знаков после запятой", .textColour = 0x000000, .captions = "Комбо3"},
    // Unfiltered: any text may be typed, and waits for another control's change.
    {.name = "Комбо3", .kind = Kind::ListField, .place = {3000, 4680, 855, 360}, .tabIndex = 8,
     .hint = "Знаков после запятой в массе: от 0 до 15", .pickRecalculates = true, .entries = kPlaces, .shows = Input::Places},
    {.name = "Метка8", .kind = Kind::Label, .place = {360, 5205, 1215, 255}, .tabIndex = 17, .text = "Масса, кг", .captions = "Текст7"},
    // Written by the calculation, so no change of it may start one.
    {.name = "Текст7", .kind = Kind::TextField, .place = {1680, 5160, 2175, 375}, .tabIndex = 18,
     .hint = "Масса всех листов в кг, результат расчёта", .admits = &kResultField, .readOnly = true},
}};
// clang-format on

} // namespace

const Window kForm1 = {
    .name = "Форма1",
    .title = "Масса AL листов",
    .width = 3990,
    .height = 5655,
    .back = 0xF5FFFA,
    .font = {9.75, true},
    .controls = kControls,
};

} // namespace sheetmass::forms
