#include "behaviour/Form1Behaviour.h"
#include "batch/FileBatch.h"
#include "behaviour/RefusalPlace.h"
#include "forms/Form1.h"
#include "listfile/ListPlaces.h"
#include "tests/support/FilePaths.h"
#include "tests/support/TypicalSave.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace sheetmass;
using namespace sheetmass::behaviour;
namespace fs = std::filesystem;

namespace {

const forms::Control& at(const char* name) {
    const forms::Control* c = forms::findControl(forms::kForm1, name);
    EXPECT_NE(c, nullptr) << name;
    return *c;
}

// A fresh program folder of the test's own, gone at its end.
struct Folder {
    Folder() {
        path = fs::temp_directory_path() / ("behaviour-" + std::to_string(std::random_device{}()));
        fs::remove_all(path);
        fs::create_directory(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string utf8() const {
        const std::u8string s = path.u8string();
        return std::string(s.begin(), s.end());
    }
    std::string saved() const {
        std::ifstream in(path / "List.abc", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path path;
};

// The window's behaviour over the typical save: Д16, 2 mm ±0,2, 2000 × 1000,
// one sheet, two places, by the nominal: 11,08 kg.
struct Started {
    Started() {
        std::ofstream(folder.path / "List.abc", std::ios::binary) << TypicalSaveImage();
        first = room.start();
    }
    Folder folder;
    ListPlaces places{folder.utf8(), ""};
    Form1Behaviour room{places};
    Answer first;
};

const char* const kHintThickness = "Толщина листа в мм, например 2,5";
const char* const kHintLower = "Нижнее отклонение толщины в мм, со знаком минус, например -0,2";
const char* const kHintLength = "Длина листа в мм, например 2000";
const char* const kHintCount = "Количество листов, штук";
const char* const kHintAlloy = "Марка сплава из списка или плотность в г/см³, например 2,7";
const char* const kHintMode = "Как считать толщину: выберите из списка";
const char* const kHintResult = "Масса всех листов в кг, результат расчёта";
const std::string kWritten = "Массу пишет расчёт; её можно выделить и скопировать.\n";
const std::string kOfD16 = "\nПлотность в расчёте: 2,77 г/см³, марки «Д16 (1160)»";

std::string tipOf(const Answer& a) {
    return a.refused ? a.refused->tip : std::string();
}

// What the result shows after the answer, if it writes it.
std::optional<std::string> resultShown(const Answer& a) {
    std::optional<std::string> shown;
    for (const Answer::Text& t : a.shows)
        if (t.control == &at("Текст7"))
            shown = t.text;
    return shown;
}

// Keys typed into each kind of field: passed on, a character put in their
// place, or refused with the tooltip's text.
TEST(Form1Behaviour, keys) {
    const Key dot{KeyKind::Character, U'.'};
    const struct {
        const char* field;
        Key key;
        FieldState state;
        bool pass;
        const char* insert; // nullptr: none
        std::string tip;
    } rows[] = {
        {"Текст1", {KeyKind::Character, U'2'}, {"", 0, 0}, true, nullptr, ""},
        {"Текст1", dot, {"2", 1, 1}, false, ",", ""},
        {"Текст1", {KeyKind::Character, U'ю'}, {"2", 1, 1}, false, ",", ""},
        {"Текст1", {KeyKind::Character, U'б'}, {"2", 1, 1}, false, ",", ""},
        {"Комбо1", {KeyKind::Character, U'Б'}, {"2", 1, 1}, false, ",", ""},
        {"Текст1",
         {KeyKind::Character, U','},
         {"2,5", 3, 3},
         false,
         nullptr,
         std::string("Вторая запятая не вводится: в числе она одна.\n") + kHintThickness},
        // The comma selected goes with the key.
        {"Текст1", {KeyKind::Character, U','}, {"2,5", 1, 2}, true, nullptr, ""},
        {"Текст1",
         dot,
         {"2,5", 0, 0},
         false,
         nullptr,
         std::string("Вторая запятая не вводится: в числе она одна.\n") + kHintThickness},
        {"Текст4",
         {KeyKind::Character, U'7'},
         {"123456", 6, 6},
         false,
         nullptr,
         std::string("Больше знаков поле не вмещает.\n") + kHintLength},
        {"Текст4", {KeyKind::Character, U'7'}, {"123456", 0, 1}, true, nullptr, ""},
        {"Текст6",
         {KeyKind::Character, U'ю'},
         {"1", 1, 1},
         false,
         nullptr,
         std::string("Этот знак здесь не вводится.\n") + kHintCount},
        {"Текст3", {KeyKind::Character, U'-'}, {"", 0, 0}, true, nullptr, ""},
        {"Текст1", {KeyKind::KeypadDecimal, 0}, {"2", 1, 1}, false, ",", ""},
        // The places take any text, and the keypad's decimal still a comma.
        {"Комбо3", {KeyKind::KeypadDecimal, 0}, {"1", 1, 1}, false, ",", ""},
        {"Комбо3", {KeyKind::Character, U'x'}, {"", 0, 0}, true, nullptr, ""},
        {"Текст1", {KeyKind::Backspace, 0}, {"2", 1, 1}, true, nullptr, ""},
        {"Текст1", {KeyKind::Delete, 0}, {"2", 0, 0}, true, nullptr, ""},
        {"Текст1", {KeyKind::Other, 0}, {"2", 0, 0}, true, nullptr, ""},
        {"Комбо1",
         {KeyKind::Character, U'Ж'},
         {"", 0, 0},
         false,
         nullptr,
         std::string("Этот знак здесь не вводится.\n") + kHintAlloy},
        {"Текст7",
         {KeyKind::Character, U'5'},
         {"11,08", 5, 5},
         false,
         nullptr,
         kWritten + kHintResult},
        {"Текст7",
         {KeyKind::Backspace, 0},
         {"11,08", 5, 5},
         false,
         nullptr,
         kWritten + kHintResult},
        {"Текст7", {KeyKind::Delete, 0}, {"11,08", 0, 0}, false, nullptr, kWritten + kHintResult},
        {"Текст7", {KeyKind::Cut, 0}, {"11,08", 0, 5}, false, nullptr, kWritten + kHintResult},
        {"Текст7", {KeyKind::Undo, 0}, {"11,08", 0, 0}, false, nullptr, kWritten + kHintResult},
        {"Текст7", {KeyKind::Redo, 0}, {"11,08", 0, 0}, false, nullptr, kWritten + kHintResult},
        {"Текст7",
         {KeyKind::KeypadDecimal, 0},
         {"11,08", 0, 0},
         false,
         nullptr,
         kWritten + kHintResult},
        {"Текст7", {KeyKind::Other, 0}, {"11,08", 0, 0}, true, nullptr, ""},
    };
    Folder folder;
    ListPlaces places(folder.utf8(), "");
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.field) + " '" + r.state.text + "'");
        Form1Behaviour room(places);
        const Answer a = room.key(at(r.field), r.key, r.state);
        EXPECT_EQ(a.pass, r.pass);
        EXPECT_EQ(a.insert.value_or("-"), r.insert ? r.insert : "-");
        EXPECT_EQ(tipOf(a), r.tip);
        if (a.refused) {
            EXPECT_EQ(a.refused->at, &at(r.field));
        }
        EXPECT_FALSE(a.openAt);
    }
}

// Texts that come at once, pasted or dropped: taken whole, a list's entry
// picked, or refused with the tooltip's text.
TEST(Form1Behaviour, pastesAndDrops) {
    const int kPasted = -1;
    const struct {
        const char* field;
        std::optional<std::string> text;
        FieldState state;
        int dropAt; // kPasted: a paste
        const char* insert;
        int insertAt; // -1: at the selection
        int pick;     // -1: none
        std::string tip;
    } rows[] = {
        {"Текст4", "1 250,5", {"", 0, 0}, kPasted, "1250,5", -1, -1, ""},
        {"Текст3", "-0.2", {"", 0, 0}, kPasted, "-0,2", -1, -1, ""},
        {"Комбо1", "Д16 (1160)\n", {"", 0, 0}, kPasted, nullptr, -1, 84, ""},
        {"Комбо1", " АМг6 (1560)", {"2,7", 0, 3}, kPasted, nullptr, -1, 64, ""},
        {"Комбо2", "номиналу", {"", 0, 0}, kPasted, nullptr, -1, 0, ""},
        {"Комбо2", "центру нижнего отклонения", {"", 0, 0}, 0, nullptr, -1, 2, ""},
        {"Текст4",
         "1250,55",
         {"", 0, 0},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: длиннее, чем вмещает поле.\n") + kHintLength},
        {"Текст4",
         "567",
         {"1234", 4, 4},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: длиннее, чем вмещает поле.\n") + kHintLength},
        {"Текст4", "567", {"1234", 1, 4}, kPasted, "567", -1, -1, ""},
        // What follows the selection is kept, its comma too.
        {"Текст1",
         "67",
         {"1,2345", 2, 3},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: длиннее, чем вмещает поле.\n") + kHintThickness},
        {"Текст1",
         "1e3",
         {"", 0, 0},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: здесь такие знаки не вводятся.\n") + kHintThickness},
        {"Текст3",
         "1,2.5",
         {"", 0, 0},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: в числе одна запятая.\n") + kHintLower},
        {"Текст1",
         ",5",
         {"2,5", 3, 3},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: в числе одна запятая.\n") + kHintThickness},
        {"Текст1", ",5", {"2,5", 0, 3}, kPasted, ",5", -1, -1, ""},
        {"Текст1",
         std::nullopt,
         {"", 0, 0},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: в буфере обмена нет текста.\n") + kHintThickness},
        {"Комбо2",
         "2",
         {"", 0, 0},
         kPasted,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: здесь такие знаки не вводятся.\n") + kHintMode},
        // A drop replaces no selection: the whole text counts.
        {"Текст4", "5", {"123", 0, 3}, 1, "5", 1, -1, ""},
        {"Текст4",
         "567",
         {"1234", 0, 4},
         2,
         nullptr,
         -1,
         -1,
         std::string("Не вставлено: длиннее, чем вмещает поле.\n") + kHintLength},
        {"Комбо3", "x.5", {"", 0, 0}, kPasted, "x.5", -1, -1, ""},
        {"Комбо3", "x.5", {"2", 0, 1}, 0, "x.5", 0, -1, ""},
        {"Текст7", "5", {"11,08", 0, 0}, kPasted, nullptr, -1, -1, kWritten + kHintResult},
        {"Текст7", "5", {"11,08", 0, 0}, 2, nullptr, -1, -1, kWritten + kHintResult},
    };
    Folder folder;
    ListPlaces places(folder.utf8(), "");
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.field) + " '" + r.text.value_or("(none)") + "'");
        Form1Behaviour room(places);
        const forms::Control& field = at(r.field);
        const Answer a = r.dropAt == kPasted ? room.paste(field, r.text, r.state)
                                             : room.drop(field, *r.text, r.dropAt, r.state);
        EXPECT_FALSE(a.pass);
        EXPECT_EQ(a.insert.value_or("-"), r.insert ? r.insert : "-");
        EXPECT_EQ(a.insertAt.value_or(-1), r.insertAt);
        EXPECT_EQ(a.pick ? int(a.pick->entry) : -1, r.pick);
        if (a.pick) {
            EXPECT_EQ(a.pick->list, &field);
        }
        EXPECT_EQ(tipOf(a), r.tip);
    }
}

// Letters in a list spell their way to an entry: the first typed into the
// field opens the list, the rest reach the open list.
TEST(Form1Behaviour, spelling) {
    enum Step { Typed, Listed, Back, Closed };
    const struct {
        const char* list;
        std::vector<std::pair<Step, char32_t>> steps;
        int openAt; // the last answer's; -1: none
        bool beep;
    } rows[] = {
        {"Комбо1", {{Typed, U'д'}}, 82, false},
        {"Комбо1", {{Typed, U'Д'}}, 82, false},
        {"Комбо1", {{Typed, U'A'}}, 16, false}, // Latin, as its Cyrillic look-alike
        {"Комбо1", {{Typed, U'a'}}, 16, false},
        {"Комбо1", {{Typed, U'B'}}, 70, false},
        {"Комбо1", {{Typed, U'м'}}, 92, false},
        {"Комбо1", {{Typed, U'R'}}, 14, false},
        {"Комбо2", {{Typed, U'ц'}}, 1, false},
        {"Комбо1", {{Typed, U'Д'}, {Listed, U'1'}, {Listed, U'6'}}, 84, false},
        {"Комбо1", {{Typed, U'д'}, {Listed, U'1'}, {Listed, U'6'}, {Listed, U'Ж'}}, -1, true},
        // A letter that spells nothing is not kept.
        {"Комбо1",
         {{Typed, U'д'}, {Listed, U'1'}, {Listed, U'6'}, {Listed, U'Ж'}, {Listed, U'ч'}},
         85,
         false},
        {"Комбо1", {{Typed, U'Д'}, {Listed, U'1'}, {Listed, U'6'}, {Back, 0}}, 82, false},
        {"Комбо1", {{Typed, U'Д'}, {Listed, U'1'}, {Back, 0}}, 82, false},
        {"Комбо1",
         {{Typed, U'Д'}, {Listed, U'1'}, {Listed, U'6'}, {Back, 0}, {Listed, U'2'}},
         83,
         false},
        // Never below the first letter.
        {"Комбо1", {{Typed, U'Д'}, {Back, 0}}, -1, false},
        {"Комбо1", {{Typed, U'Д'}, {Back, 0}, {Listed, U'6'}}, 91, false},
        // A list opened afresh spells from nothing.
        {"Комбо1", {{Typed, U'Д'}, {Listed, U'1'}, {Closed, 0}, {Listed, U'6'}}, -1, true},
        {"Комбо1", {{Typed, U'Д'}, {Closed, 0}, {Listed, U'А'}, {Listed, U'М'}}, 56, false},
        // A Latin letter that starts no grade is the Russian one of its key;
        // one that does, look-alikes folded, is itself.
        {"Комбо1", {{Typed, U'l'}, {Listed, U'1'}, {Listed, U'6'}}, 84, false},
        {"Комбо1", {{Typed, U'f'}, {Listed, U'v'}}, 56, false},
        {"Комбо1", {{Typed, U'F'}, {Listed, U'V'}, {Listed, U'W'}}, 66, false},
        {"Комбо1", {{Typed, U'A'}, {Listed, U'M'}, {Listed, U'г'}, {Listed, U'6'}}, 64, false},
        {"Комбо1", {{Typed, U'R'}, {Listed, U'R'}, {Listed, U'5'}, {Listed, U'3'}}, 15, false},
    };
    Folder folder;
    ListPlaces places(folder.utf8(), "");
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.list) + " row " + std::to_string(&r - rows));
        Form1Behaviour room(places);
        const forms::Control& list = at(r.list);
        Answer a;
        for (const auto& [step, c] : r.steps) {
            if (step == Typed)
                a = room.key(list, {KeyKind::Character, c}, {});
            else if (step == Listed)
                a = room.listKey(list, {KeyKind::Character, c});
            else if (step == Back)
                a = room.listKey(list, {KeyKind::Backspace, 0});
            else
                room.listClosed(list);
        }
        EXPECT_EQ(a.openAt ? int(a.openAt->entry) : -1, r.openAt);
        if (a.openAt) {
            EXPECT_EQ(a.openAt->list, &list);
        }
        EXPECT_EQ(a.beep, r.beep);
        EXPECT_FALSE(a.refused);
    }
}

// The result after changes and picks over the typical save: what it shows,
// or nothing when the event does not recalculate, and its tooltip.
TEST(Form1Behaviour, theResultAndItsReasons) {
    enum Event { Change, Pick };
    const struct {
        std::vector<std::tuple<Event, const char*, std::string>> events;
        std::optional<std::string> shown; // none: the last event writes no result
        std::string tip;
    } rows[] = {
        {{{Change, "Комбо3", "1"}, {Change, "Текст6", "10"}},
         "110,8",
         std::string(kHintResult) + "\nТолщина в расчёте: 2 мм\nМасса одного листа: 11,08 кг" +
             kOfD16},
        // The places wait for another field's change.
        {{{Change, "Комбо3", "1"}}, std::nullopt, ""},
        {{{Change, "Комбо2", kModeLower}}, std::nullopt, ""},
        {{{Change, "Комбо2", kModeUpper}, {Pick, "Комбо2", "1"}},
         "11,63",
         std::string(kHintResult) + "\nТолщина в расчёте: 2,1 мм\nМасса одного листа: 11,634 кг" +
             kOfD16},
        {{{Pick, "Комбо3", "0"}},
         "11",
         std::string(kHintResult) + "\nТолщина в расчёте: 2 мм\nМасса одного листа: 11,08 кг" +
             kOfD16},
        {{{Change, "Комбо1", "2,7"}},
         "10,8",
         std::string(kHintResult) + "\nТолщина в расчёте: 2 мм\nМасса одного листа: 10,8 кг\n"
                                    "Плотность в расчёте: 2,7 г/см³, как введена"},
        {{{Pick, "Комбо1", "64"}},
         "10,56",
         std::string(kHintResult) + "\nТолщина в расчёте: 2 мм\nМасса одного листа: 10,56 кг\n"
                                    "Плотность в расчёте: 2,64 г/см³, марки «АМг6 (1560)»"},
        {{{Change, "Текст1", ""}},
         "",
         std::string(kHintResult) + "\nМасса не считается: толщина листа — пусто"},
        {{{Change, "Текст5", "1,2,"}},
         "",
         std::string(kHintResult) + "\nМасса не считается: ширина листа — не число"},
        // A spoiled save's places, kept as they came: the field is named.
        {{{Change, "Комбо3", "-2,42631949806676E+201"}, {Change, "Текст6", "10"}},
         "",
         std::string(kHintResult) + "\nМасса не считается: знаков после запятой — вне пределов"},
        {{{Change, "Комбо2", ""}, {Change, "Текст6", "3"}},
         "",
         std::string(kHintResult) + "\nВыберите, как считать массу"},
        // A grade's number is no density: none is above osmium's 22,6.
        {{{Change, "Комбо1", "1160"}},
         "",
         std::string(kHintResult) +
             "\nМасса не считается: сплав — плотность 1160 г/см³ больше 22,6, такой нет ни у "
             "одного металла: 1160 — номер марки «Д16 (1160)»"},
        {{{Change, "Комбо1", "1340"}},
         "",
         std::string(kHintResult) +
             "\nМасса не считается: сплав — плотность 1340 г/см³ больше 22,6, такой нет ни у "
             "одного металла: 1340 — номер марок «АВ (1340)» и «АД31 (1340)»"},
        {{{Change, "Комбо1", "22,61"}},
         "",
         std::string(kHintResult) +
             "\nМасса не считается: сплав — плотность 22,61 г/см³ больше 22,6, такой нет ни у "
             "одного металла"},
        {{{Change, "Комбо1", "22,6"}},
         "90,4",
         std::string(kHintResult) + "\nТолщина в расчёте: 2 мм\nМасса одного листа: 90,4 кг\n"
                                    "Плотность в расчёте: 22,6 г/см³, как введена"},
        // A band deeper than the thickness leaves no sheet, one as deep a sheet of no mass.
        {{{Change, "Комбо2", kModeLower}, {Change, "Текст3", "-5"}},
         "",
         std::string(kHintResult) + "\nМасса не считается: нижнее отклонение — -5 мм, с ним "
                                    "толщина в расчёте -0,5 мм, меньше нуля"},
        {{{Change, "Комбо2", kModeUpper}, {Change, "Текст2", "-5"}},
         "",
         std::string(kHintResult) + "\nМасса не считается: верхнее отклонение — -5 мм, с ним "
                                    "толщина в расчёте -0,5 мм, меньше нуля"},
        {{{Change, "Комбо2", kModeLower}, {Change, "Текст1", "0,5"}, {Change, "Текст3", "-1,002"}},
         "",
         std::string(kHintResult) + "\nМасса не считается: нижнее отклонение — -1,002 мм, с ним "
                                    "толщина в расчёте -0,001 мм, меньше нуля"},
        {{{Change, "Комбо2", kModeUpper}, {Change, "Текст1", "0,5"}, {Change, "Текст2", "-1,002"}},
         "",
         std::string(kHintResult) + "\nМасса не считается: верхнее отклонение — -1,002 мм, с ним "
                                    "толщина в расчёте -0,001 мм, меньше нуля"},
        {{{Change, "Комбо2", kModeLower}, {Change, "Текст3", "-4"}},
         "0",
         std::string(kHintResult) + "\nТолщина в расчёте: 0 мм\nМасса одного листа: 0 кг" + kOfD16},
        {{{Change, "Комбо2", kModeUpper}, {Change, "Текст2", "-4"}},
         "0",
         std::string(kHintResult) + "\nТолщина в расчёте: 0 мм\nМасса одного листа: 0 кг" + kOfD16},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE("row " + std::to_string(&r - rows));
        Started s;
        Answer a;
        for (const auto& [event, name, text] : r.events)
            a = event == Change ? s.room.changed(at(name), text)
                                : s.room.pick(at(name), std::stoul(text));
        EXPECT_EQ(resultShown(a), r.shown);
        EXPECT_EQ(a.resultTip.value_or(""), r.tip);
        EXPECT_EQ(a.save, Save::AfterPause);
    }
}

// Undo and redo over the typical save, events as the Win32 window sends
// them (an entry a letter finds is picked at once): what the last undo or
// redo gives back, and the result it shows.
TEST(Form1Behaviour, undoAndRedo) {
    enum Event { Type, Spell, Closed, Pick, Change, Paste, Move, Undo, Redo };
    const struct {
        std::vector<std::tuple<Event, const char*, std::string>> events;
        std::optional<std::string> restored; // none: nothing given back
        std::optional<std::string> shown;
    } rows[] = {
        // «в», Enter, Ctrl+Z in «Сплав . . .»: what stood before.
        {{{Spell, "Комбо1", "в"}, {Pick, "Комбо1", "70"}, {Undo, "Комбо1", ""}},
         "Д16 (1160)",
         "11,08"},
        {{{Spell, "Комбо1", "в"},
          {Pick, "Комбо1", "70"},
          {Undo, "Комбо1", ""},
          {Redo, "Комбо1", ""}},
         "В124 ",
         "10,92"},
        // The letters a list is spelled through, one pick.
        {{{Change, "Комбо1", "2,7"},
          {Spell, "Комбо1", "д"},
          {Spell, "Комбо1", "1"},
          {Spell, "Комбо1", "6"},
          {Undo, "Комбо1", ""}},
         "2,7",
         "10,8"},
        {{{Spell, "Комбо1", "д"},
          {Closed, "Комбо1", ""},
          {Spell, "Комбо1", "в"},
          {Undo, "Комбо1", ""}},
         "Д1 (1110)",
         "11,16"},
        // Keys typed one after another are one edit; a move ends it.
        {{{Type, "Текст1", "2,5"}, {Undo, "Текст1", ""}}, "2", "11,08"},
        {{{Type, "Текст1", "5"}, {Move, "Текст1", ""}, {Type, "Текст1", "0"}, {Undo, "Текст1", ""}},
         "25",
         "138,5"},
        {{{Paste, "Текст6", "3"}, {Undo, "Текст6", ""}, {Redo, "Текст6", ""}}, "13", "144,04"},
        {{{Change, "Текст4", "3000"},
          {Change, "Текст4", "4000"},
          {Undo, "Текст4", ""},
          {Undo, "Текст4", ""}},
         "2000",
         "11,08"},
        {{{Undo, "Текст4", ""}}, std::nullopt, std::nullopt},
        // A new edit leaves nothing to redo.
        {{{Change, "Текст6", "3"},
          {Undo, "Текст6", ""},
          {Change, "Текст6", "4"},
          {Redo, "Текст6", ""}},
         std::nullopt,
         std::nullopt},
        // The places work the mass out when a pick of them is undone.
        {{{Pick, "Комбо3", "0"}, {Undo, "Комбо3", ""}}, "2", "11,08"},
    };
    // A letter of one or two bytes of UTF-8.
    const auto letter = [](const std::string& t) {
        const auto b = static_cast<unsigned char>(t[0]);
        return b < 0x80 ? char32_t(b) : char32_t(((b & 0x1F) << 6) | (t[1] & 0x3F));
    };
    for (const auto& r : rows) {
        SCOPED_TRACE("row " + std::to_string(&r - rows));
        Started s;
        Answer a;
        Event last = Move;
        for (const auto& [event, name, text] : r.events) {
            const forms::Control& field = at(name);
            const std::string held = textOf(s.room.inputs(), *field.shows);
            // The caret at the end of a text of Latin letters and digits.
            const FieldState end{held, int(held.size()), int(held.size())};
            switch (event) {
            case Type:
                for (const char c : text) {
                    const std::string now = textOf(s.room.inputs(), *field.shows);
                    a = s.room.key(field, {KeyKind::Character, char32_t(c)},
                                   {now, int(now.size()), int(now.size())});
                    if (a.pass || a.insert)
                        s.room.changed(field, now + a.insert.value_or(std::string(1, c)));
                }
                break;
            case Spell:
                // The first letter into the field, the rest into its open list.
                a = last == Spell ? s.room.listKey(field, {KeyKind::Character, letter(text)})
                                  : s.room.key(field, {KeyKind::Character, letter(text)}, {});
                if (a.openAt)
                    s.room.pick(field, a.openAt->entry);
                break;
            case Closed:
                s.room.listClosed(field);
                break;
            case Pick:
                a = s.room.pick(field, std::stoul(text));
                break;
            case Change:
                a = s.room.changed(field, text);
                break;
            case Paste:
                a = s.room.paste(field, text, end);
                s.room.changed(field, held + a.insert.value_or(""));
                break;
            case Move:
                a = s.room.key(field, {KeyKind::Other, 0}, end);
                break;
            case Undo:
            case Redo:
                a = s.room.key(field, {event == Undo ? KeyKind::Undo : KeyKind::Redo, 0}, end);
                EXPECT_FALSE(a.pass);
                break;
            }
            last = event;
        }
        EXPECT_EQ(a.restored ? std::optional(a.restored->text) : std::nullopt, r.restored);
        EXPECT_EQ(resultShown(a), r.shown);
    }
}

TEST(Form1Behaviour, startRestoresTheSaveAndFocusesTheMode) {
    Started s;
    const std::pair<const char*, const char*> shown[] = {
        {"Комбо2", "номиналу"}, {"Комбо1", "Д16 (1160)"}, {"Текст1", "2"},    {"Текст2", "0,2"},
        {"Текст3", "-0,2"},     {"Текст4", "2000"},       {"Текст5", "1000"}, {"Текст6", "1"},
        {"Комбо3", "2"},        {"Текст7", "11,08"}};
    for (const auto& [name, text] : shown) {
        bool found = false;
        for (const Answer::Text& t : s.first.shows)
            if (t.control == &at(name)) {
                EXPECT_EQ(t.text, text) << name;
                found = true;
            }
        EXPECT_TRUE(found) << name;
    }
    EXPECT_EQ(s.first.focus, &at("Комбо2"));
    EXPECT_EQ(s.first.resultTip.value_or(""), std::string(kHintResult) +
                                                  "\nТолщина в расчёте: 2 мм\n"
                                                  "Масса одного листа: 11,08 кг" +
                                                  kOfD16);
}

TEST(Form1Behaviour, aPauseSavesTheChange) {
    Started s;
    EXPECT_EQ(s.room.changed(at("Текст6"), "3").save, Save::AfterPause);
    EXPECT_EQ(s.room.changed(at("Текст6"), "3").save, Save::None); // no change
    const std::string before = s.folder.saved();
    s.room.pauseEnded();
    std::string after = TypicalSaveImage();
    after[154] = '3';
    EXPECT_NE(s.folder.saved(), before);
    EXPECT_EQ(s.folder.saved(), after);
}

TEST(Form1Behaviour, closing) {
    const std::optional<CloseReason> back; // the user went back to the window
    const struct {
        std::vector<std::optional<CloseReason>> closes;
        std::vector<int> unsaved; // -1: saved, 0: on standard error, 1: in a box
    } rows[] = {
        {{CloseReason::User}, {1}},
        {{CloseReason::Quit}, {0}},
        {{CloseReason::Session}, {0}},
        {{CloseReason::User, CloseReason::User}, {1, -1}},
        {{CloseReason::Quit, CloseReason::User}, {0, -1}},
        {{CloseReason::Session, CloseReason::User}, {0, 1}},
        {{CloseReason::User, back, CloseReason::User}, {1, -1, 1}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE("row " + std::to_string(&r - rows));
        ListPlaces nowhere("", "");
        Form1Behaviour room(nowhere);
        for (std::size_t i = 0; i < r.closes.size(); ++i) {
            if (!r.closes[i]) {
                room.stayed();
                continue;
            }
            const Answer a = room.close(*r.closes[i]);
            EXPECT_EQ(a.unsaved ? int(a.unsaved->inBox) : -1, r.unsaved[i]) << i;
            if (a.unsaved) {
                EXPECT_NE(a.unsaved->why.find("не удалось записать файл «List.abc»"),
                          std::string::npos);
                EXPECT_EQ(a.unsaved->why.find("Отмена — вернуться") != std::string::npos,
                          a.unsaved->inBox);
            }
        }
    }
}

// Why each place took no save, as the user is told: beside the program a
// folder where the file should be, or a file that may only be read; no data
// folder to be had.
TEST(Form1Behaviour, closingSaysWhyForEachPlace) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "a folder");
        Folder folder;
        const fs::path list = folder.path / "List.abc";
        if (readOnly) {
            std::ofstream(list, std::ios::binary) << TypicalSaveImage();
            fs::permissions(list, fs::perms::owner_read);
        } else {
            fs::create_directory(list);
        }
        // Writable again before the folder goes.
        const struct Writable {
            fs::path file;
            ~Writable() { fs::permissions(file, fs::perms::owner_all); }
        } writable{list};
        if (readOnly && std::ofstream(list, std::ios::app).good())
            GTEST_SKIP() << "this user writes read-only files";
        std::ofstream(folder.path / "plain") << "x";
        ListPlaces places(folder.utf8(), (folder.path / "plain" / "data").string());
        Form1Behaviour room(places);
        room.start();
        const Answer a = room.close(CloseReason::User);
        ASSERT_TRUE(a.unsaved);
        const std::string why = a.unsaved->why;
        EXPECT_NE(why.find(readOnly ? "List.abc» — файл только для чтения; «"
                                    : "List.abc» — это не обычный файл пользователя; «"),
                  std::string::npos)
            << why;
        EXPECT_NE(why.find("List.abc» — не удалось записать."), std::string::npos) << why;
    }
}

TEST(Form1Behaviour, theSessionsEndSavesAndTheCloseSavesAgain) {
    Started s;
    s.room.changed(at("Текст6"), "3");
    EXPECT_FALSE(s.room.close(CloseReason::Session).unsaved);
    EXPECT_EQ(s.folder.saved()[154], '3');
    s.room.changed(at("Текст6"), "4");
    EXPECT_FALSE(s.room.close(CloseReason::User).unsaved);
    EXPECT_EQ(s.folder.saved()[154], '4');
}

TEST(Form1Behaviour, theFace) {
    const struct {
        std::set<std::string> installed;
        const char* face;
    } rows[] = {
        {{"MS Sans Serif", "DejaVu Sans"}, "MS Sans Serif"},
        {{"DejaVu Sans", "PT Sans", "Liberation Sans"}, "Liberation Sans"},
        {{"DejaVu Sans", "PT Sans"}, "PT Sans"},
        {{"DejaVu Sans", "Arial"}, "DejaVu Sans"},
        {{"Arial"}, "MS Sans Serif"},
        {{}, "MS Sans Serif"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(
            faceFor([&](std::string_view f) { return r.installed.count(std::string(f)) > 0; }),
            r.face);
}

// The window at 96 dpi is 266 by 377 pixels; its fields end 9 pixels short
// of its right edge, the frame's at 176 from its left, the result at 112.
TEST(Form1Behaviour, whereARefusalGoes) {
    const struct {
        const char* field;
        int dpi;
        ScreenRect fieldOnScreen;
        ScreenSize tip;
        ScreenRect screen;
        ScreenPoint at;
    } rows[] = {
        // Beside, on the right.
        {"Текст1", 96, {276, 212, 349, 237}, {300, 34}, {0, 0, 1024, 768}, {351, 212}},
        // At the screen's right edge: on the left.
        {"Текст1", 96, {934, 212, 1007, 237}, {300, 34}, {0, 0, 1024, 768}, {632, 212}},
        // Above the screen's top: down onto it.
        {"Комбо2", 96, {108, -8, 357, 16}, {300, 34}, {0, 0, 1024, 768}, {359, 0}},
        // No room beside: below every input; none below either: above them.
        {"Текст1", 96, {296, 112, 369, 137}, {400, 34}, {0, 0, 640, 480}, {240, 371}},
        {"Текст1", 96, {296, 212, 369, 237}, {400, 34}, {0, 0, 640, 480}, {240, 96}},
        // On the left it would cover the result below; at twice the scale
        // the result lies further down.
        {"Комбо3", 96, {958, 412, 1015, 436}, {300, 40}, {0, 0, 1024, 768}, {724, 471}},
        {"Комбо3", 192, {1788, 724, 1902, 772}, {300, 40}, {0, 0, 1920, 1080}, {1486, 724}},
        // Nowhere clear: where it covers least.
        {"Текст4", 96, {176, 208, 257, 232}, {290, 100}, {0, 0, 300, 400}, {10, 300}},
    };
    for (const auto& r : rows) {
        const ScreenPoint p =
            refusalPlace(forms::kForm1, at(r.field), r.fieldOnScreen, r.dpi, r.tip, r.screen);
        EXPECT_EQ(p.x, r.at.x) << r.field << " at " << r.fieldOnScreen.left;
        EXPECT_EQ(p.y, r.at.y) << r.field << " at " << r.fieldOnScreen.left;
    }
}

TEST(Form1Behaviour, roomAndFirstFocus) {
    const std::pair<const char*, int> rows[] = {
        {"Текст1", 6}, {"Текст2", 6},  {"Текст3", 6}, {"Текст4", 6}, {"Текст5", 6},
        {"Текст6", 6}, {"Комбо2", 96}, {"Комбо1", 0}, {"Комбо3", 0}, {"Текст7", 0},
    };
    for (const auto& [name, room] : rows)
        EXPECT_EQ(roomOf(at(name)), room) << name;
    EXPECT_EQ(&firstFocus(forms::kForm1), &at("Комбо2"));
}

} // namespace

TEST(Form1Behaviour, aFileGivenIsToldInABox) {
    struct Row {
        const char* what;
        FileBatchReport report;
        std::string text;
        std::string result;
    };
    const std::string dir = "/заказы/";
    const std::vector<Row> rows = {
        {"every line with a mass",
         {dir + "заказ.csv", "", dir + "заказ (масса).csv", {1, 0, "110,8"}, {}, false},
         "«заказ.csv»: 1 строка, итого 110,8 кг.\n\nРезультат записан рядом: «заказ (масса).csv».",
         dir + "заказ (масса).csv"},
        {"lines without a mass, the first reasons, more",
         {dir + "order.csv",
          "",
          dir + "order (масса 2).csv",
          {22, 12, "1.5"},
          {"строка 3: сплав «Д17» — не марка", "строка 4: количество — пусто"},
          true},
         "«order.csv»: 22 строки, итого 1.5 кг.\nНе в итоге: 12 строк без массы.\n\n"
         "строка 3: сплав «Д17» — не марка\nстрока 4: количество — пусто\n…\n\n"
         "Результат записан рядом: «order (масса 2).csv».",
         dir + "order (масса 2).csv"},
        {"a warning alone",
         {dir + "з.csv", "", dir + "з (масса).csv", {5, 0, "0"}, {"строка 2: внимание: x"}, false},
         "«з.csv»: 5 строк, итого 0 кг.\n\nстрока 2: внимание: x\n\n"
         "Результат записан рядом: «з (масса).csv».",
         dir + "з (масса).csv"},
        {"no result",
         {dir + "нет.csv", "не открывается: нет такого файла", "", {}, {}, false},
         "«нет.csv» не посчитан: не открывается: нет такого файла.",
         ""},
    };
    for (const Row& row : rows) {
        const Answer::FileBox box = fileBox(row.report);
        EXPECT_EQ(box.text, row.text) << row.what;
        EXPECT_EQ(box.result, row.result) << row.what;
    }
}

TEST(Form1Behaviour, aFileGivenLeavesTheInputsAsTheyAre) {
    Started s;
    const fs::path order = s.folder.path / tests::u8path("заказ.csv");
    std::ofstream(order, std::ios::binary) << "Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2\n";
    const Inputs before = s.room.inputs();
    const Answer a = s.room.fileGiven(tests::utf8(order));
    ASSERT_TRUE(a.fileBox);
    EXPECT_EQ(a.fileBox->text, "«заказ.csv»: 1 строка, итого 110,8 кг.\n\n"
                               "Результат записан рядом: «заказ (масса).csv».");
    EXPECT_EQ(a.fileBox->result, tests::utf8(s.folder.path / tests::u8path("заказ (масса).csv")));
    EXPECT_TRUE(a.shows.empty());
    EXPECT_EQ(a.save, Save::None);
    for (const InputField& f : kInputFields)
        EXPECT_EQ(s.room.inputs().*f.text, before.*f.text) << f.name;
}
