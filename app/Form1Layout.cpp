#include "app/Form1Layout.h"

namespace form1 {

// Room in List.abc: six characters for each size field, 96 for the mode.
constexpr int kSizeRoom = 6;
constexpr int kModeRoom = 96;

// clang-format off
const std::array<ControlSpec, 22> kControls = {{
    {"Метка9",    Kind::Label,     false, 120,  165,  3735, 255,  19, "Считать массу по:", kNoColour, kNoColour, nullptr, 0, "Комбо2"},
    {"Комманда1", Kind::Button,    false, 3360, 60,   495,  360,  21, "?", kNoColour, 0xC0FFC0},
    {"Комбо2",    Kind::ListField, false, 120,  480,  3735, 360,  0,  nullptr, kNoColour, kNoColour, "", kModeRoom},
    {"Рамка1",    Kind::Frame,     false, 120,  960,  3735, 3615, 9,  nullptr},
    {"Метка1",    Kind::Label,     true,  120,  280,  1095, 375,  10, "Сплав . . .", kNoColour, kNoColour, nullptr, 0, "Комбо1"},
    {"Комбо1",    Kind::ListField, true,  1200, 240,  2415, 360,  1,  nullptr, kNoColour, kNoColour, "1234567890,"},
    {"Метка2",    Kind::Label,     true,  120,  840,  2415, 255,  11, "Толщина листа . . . . . ", 0x000080, kNoColour, nullptr, 0, "Текст1"},
    {"Текст1",    Kind::TextField, true,  2520, 720,  1095, 375,  2,  nullptr, 0x0000C0, kNoColour, "01234567890,", kSizeRoom},
    {"Метка3",    Kind::Label,     true,  120,  1240, 2535, 255,  12, "Верхнее отклонение", 0x000080, kNoColour, nullptr, 0, "Текст2"},
    {"Текст2",    Kind::TextField, true,  2520, 1200, 1095, 375,  3,  nullptr, 0x0000C0, kNoColour, "-01234567890,", kSizeRoom},
    {"Метка4",    Kind::Label,     true,  120,  1720, 2295, 255,  13, "Нижнее отклонение", 0x000080, kNoColour, nullptr, 0, "Текст3"},
    {"Текст3",    Kind::TextField, true,  2520, 1680, 1095, 375,  4,  nullptr, 0x0000C0, kNoColour, "-01234567890,", kSizeRoom},
    {"Метка5",    Kind::Label,     true,  120,  2280, 2415, 255,  14, "Длина листа . . . . . . . ", kNoColour, kNoColour, nullptr, 0, "Текст4"},
    {"Текст4",    Kind::TextField, true,  2520, 2160, 1095, 360,  5,  nullptr, kNoColour, kNoColour, "01234567890,", kSizeRoom},
    {"Метка6",    Kind::Label,     true,  120,  2685, 2415, 255,  15, "Ширина листа . . . . . . ", kNoColour, kNoColour, nullptr, 0, "Текст5"},
    {"Текст5",    Kind::TextField, true,  2520, 2640, 1095, 360,  6,  nullptr, kNoColour, kNoColour, "01234567890,", kSizeRoom},
    {"Метка7",    Kind::Label,     true,  120,  3165, 2415, 255,  16, "Количество . . . . . . . . ", kNoColour, kNoColour, nullptr, 0, "Текст6"},
    {"Текст6",    Kind::TextField, true,  2520, 3120, 1095, 360,  7,  nullptr, kNoColour, kNoColour, "1234567890", kSizeRoom},
    {"Метка11",   Kind::Label,     false, 120,  4725, 3015, 255,  20, "Знаков после запятой", 0x000000, kNoColour, nullptr, 0, "Комбо3"},
    {"Комбо3",    Kind::ListField, false, 3000, 4680, 855,  360,  8,  nullptr},
    {"Метка8",    Kind::Label,     false, 360,  5205, 1215, 255,  17, "Масса, кг", kNoColour, kNoColour, nullptr, 0, "Текст7"},
    {"Текст7",    Kind::TextField, false, 1680, 5160, 2175, 375,  18, nullptr, kNoColour, kNoColour, ""},
}};
// clang-format on

} // namespace form1
