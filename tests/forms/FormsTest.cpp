#include "forms/Form1.h"
#include "forms/Form2.h"
#include "forms/Texts.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string_view>

namespace {

using namespace sheetmass::forms;

TEST(Forms, WindowsHaveTheirNamesTitlesAndClientSizes) {
    const struct {
        const Window& window;
        std::string_view name, title;
        int width, height;
    } rows[] = {
        {kForm1, "Форма1", "Масса AL листов", 3990, 5655},
        {kForm2, "Форма2", "О программе", 3525, 2640},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.window.name, r.name);
        EXPECT_EQ(r.window.title, r.title) << r.name;
        EXPECT_EQ(r.window.width, r.width) << r.name;
        EXPECT_EQ(r.window.height, r.height) << r.name;
    }
}

// A few controls as the design draws them: each kind once, and the result.
TEST(Forms, MainWindowControlsAsDrawn) {
    constexpr Rgb none = kSystemColour;
    const struct {
        std::string_view name;
        Kind kind;
        std::string_view container;
        int left, top, width, height, tab;
        std::string_view text;
        Rgb colour;
    } rows[] = {
        // clang-format off
        {"Комбо2",    Kind::ListField, "",       120,  480,  3735, 360,  0,  "",                         none},
        {"Комманда1", Kind::Button,    "",       3360, 60,   495,  360,  21, "?",                        none},
        {"Рамка1",    Kind::Frame,     "",       120,  960,  3735, 3615, 9,  "",                         none},
        {"Метка2",    Kind::Label,     "Рамка1", 120,  840,  2415, 255,  11, "Толщина листа . . . . . ", 0x000080},
        {"Текст1",    Kind::TextField, "Рамка1", 2520, 720,  1095, 375,  2,  "",                         0x0000C0},
        {"Текст7",    Kind::TextField, "",       1680, 5160, 2175, 375,  18, "",                         none},
        // clang-format on
    };
    for (const auto& r : rows) {
        const Control* c = findControl(kForm1, r.name);
        ASSERT_NE(c, nullptr) << r.name;
        EXPECT_EQ(c->kind, r.kind) << r.name;
        EXPECT_EQ(c->container, r.container) << r.name;
        EXPECT_EQ(c->place.left, r.left) << r.name;
        EXPECT_EQ(c->place.top, r.top) << r.name;
        EXPECT_EQ(c->place.width, r.width) << r.name;
        EXPECT_EQ(c->place.height, r.height) << r.name;
        EXPECT_EQ(c->tabIndex, r.tab) << r.name;
        EXPECT_EQ(c->text, r.text) << r.name;
        EXPECT_EQ(c->textColour, r.colour) << r.name;
    }
}

// What holds the main window together whatever its design: one control to a
// name and to a tab place, a container that is a frame of the window, a
// caption over a field of the window.
TEST(Forms, MainWindowNamesItsOwnControls) {
    const auto kindOf = [](std::string_view name) {
        const Control* c = findControl(kForm1, name);
        return c == nullptr ? std::optional<Kind>() : c->kind;
    };
    std::set<std::string_view> names;
    std::set<int> tabs;
    for (const Control& c : kForm1.controls) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name << " twice";
        EXPECT_TRUE(c.tabIndex < 0 || tabs.insert(c.tabIndex).second)
            << c.name << " in a taken tab place";
        EXPECT_TRUE(c.container.empty() || kindOf(c.container) == Kind::Frame) << c.name;
        EXPECT_TRUE(c.captions.empty() || kindOf(c.captions).value_or(Kind::Label) != Kind::Label)
            << c.name;
    }
}

// The About window's labels in the order they are made: the address after
// "E-mail:", which it overlaps.
TEST(Forms, AboutLabelsAsDrawnInCreationOrder) {
    const struct {
        std::string_view name;
        int left, top, width, height;
        Rgb colour;
        double points;
        bool underline;
        Align align;
    } rows[] = {
        // clang-format off
        {"Метка1", 480, 120,  2415, 735, 0xFFFF00, 13.5, true,  Align::Centre},
        {"Метка3", 480, 1080, 2895, 255, 0xC0FFFF, 9.75, false, Align::Centre},
        {"Метка2", 480, 1560, 2895, 255, 0xFFFFFF, 9.75, false, Align::Centre},
        {"Метка7", 120, 1920, 855,  255, 0xFFFFC0, 9.75, false, Align::Left},
        {"Метка5", 840, 1920, 2775, 375, 0xFFFFC0, 9.75, true,  Align::Left},
        // clang-format on
    };
    ASSERT_EQ(kForm2.controls.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        const Control& c = kForm2.controls[i];
        EXPECT_EQ(c.name, r.name);
        EXPECT_EQ(c.place.left, r.left) << r.name;
        EXPECT_EQ(c.place.top, r.top) << r.name;
        EXPECT_EQ(c.place.width, r.width) << r.name;
        EXPECT_EQ(c.place.height, r.height) << r.name;
        EXPECT_EQ(c.textColour, r.colour) << r.name;
        EXPECT_EQ(c.font.points, r.points) << r.name;
        EXPECT_TRUE(c.font.bold) << r.name;
        EXPECT_EQ(c.font.underline, r.underline) << r.name;
        EXPECT_EQ(c.align, r.align) << r.name;
    }
    EXPECT_EQ(findControl(kForm2, "Метка7")->text, "E-mail:");
}

// Twips to pixels at the monitor's DPI, to the nearest: the design's 15
// twips a pixel at 96, 10 at 144.
TEST(Forms, TwipsToThePixelsOfEachDpi) {
    const struct {
        int twips, dpi, pixels;
    } cases[] = {
        {3990, 96, 266},  {5655, 96, 377},  {7, 96, 0},     {8, 96, 1},       {165, 96, 11},
        {3990, 144, 399}, {5655, 144, 566}, {165, 120, 14}, {3990, 192, 532}, {0, 144, 0},
    };
    for (const auto& [twips, dpi, pixels] : cases)
        EXPECT_EQ(twipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
}

// The texts every front end shows, from the patterns.
TEST(Forms, TextsFromThePatterns) {
    const struct {
        std::string got, expected;
    } cases[] = {
        {filled("%1\n%2", {"а", "б"}), "а\nб"},
        {filled("%2 и %1, 100%", {"x", "y"}), "y и x, 100%"},
        {filled("%3", {"x"}), "%3"},
        {refusedTip(sheetmass::Refusal::Separator, true, "Толщина листа в мм, например 2,5"),
         "Вторая запятая не вводится: в числе она одна.\nТолщина листа в мм, например 2,5"},
        {refusedTip(sheetmass::Refusal::Separator, false, "h"),
         "Не вставлено: в числе одна запятая.\nh"},
        {refusedTip(sheetmass::Refusal::NoText, true, "h"),
         "Не вставлено: в буфере обмена нет текста.\nh"},
        {mailUrl(), "mailto:sheetmass@example.org?Subject=Листы алюминиевые  "},
        {std::string(spokenCaption("Толщина листа . . . . . ")), "Толщина листа"},
        {std::string(spokenCaption("Масса, кг")), "Масса, кг"},
        {std::string(spokenCaption(". . .")), ""},
    };
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(got, expected);
}

} // namespace
