#include "forms/Form2.h"

namespace sheetmass::forms {
namespace {

constexpr Font kHeading = {13.5, true, true};
constexpr Font kLine = {9.75, true, false};
constexpr Font kLink = {9.75, true, true};

// The address is made after "E-mail:", whose rectangle it overlaps, so that
// it lies on top and takes the clicks there. The version is project()'s.
// clang-format off
const std::array<Control, 5> kControls = {{
    {.name = "Метка1", .place = {480, 120, 2415, 735}, .text = "Масса листов из алюминия", .font = kHeading, .textColour = 0xFFFF00, .align = Align::Centre},
    {.name = "Метка3", .place = {480, 1080, 2895, 255}, .text = "© Авторы sheetmass, 2026", .font = kLine, .textColour = 0xC0FFFF, .align = Align::Centre},
    {.name = "Метка2", .place = {480, 1560, 2895, 255}, .text = "Версия " SHEETMASS_VERSION " от 12.10.06 г.", .font = kLine, .textColour = 0xFFFFFF, .align = Align::Centre},
    {.name = "Метка7", .place = {120, 1920, 855, 255}, .text = "E-mail:", .font = kLine, .textColour = 0xFFFFC0},
    {.name = "Метка5", .place = {840, 1920, 2775, 375}, .text = kMailAddress, .font = kLink, .textColour = 0xFFFFC0,
     .hint = "Чтобы написать письмо кликните на адрес"},
}};
// clang-format on

} // namespace

const Window kForm2 = {
    .name = "Форма2",
    .title = "О программе",
    .width = 3525,
    .height = 2640,
    // Seen only if the picture is missing; dark, so that the light label
    // texts stay readable there too.
    .back = 0x1E2630,
    .controls = kControls,
};

} // namespace sheetmass::forms
