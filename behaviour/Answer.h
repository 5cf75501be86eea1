#pragma once

#include "forms/Form.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetmass::behaviour {

// What a front end tells of a field when an event reaches it: its text
// (UTF-8) and its selection, counted as both toolkits count, in UTF-16
// units. A caret is an empty selection.
struct FieldState {
    std::string text;
    int from = 0;
    int to = 0;
};

// A key as the design sees it. Which of its toolkit's keys is which (and
// which are the paste keys, told as a paste) is the front end's to know.
enum class KeyKind {
    Character,     // types `character`
    KeypadDecimal, // the keypad's decimal key, whatever the layout puts on it
    Backspace,
    Delete,
    Cut,
    Undo,
    Redo,
    Other, // moves, selects, copies, changes the focus: never edits
};
struct Key {
    KeyKind kind = KeyKind::Other;
    char32_t character = 0;
};

// Why the window closes, for whether a failed save can be asked about.
enum class CloseReason {
    User,    // the window system's close: the user is there to read a box
    Session, // the session ends, or asks whether it may
    Quit,    // a signal, the display gone, the program told to quit
};

// Wait this long after the last change, then save.
inline constexpr std::chrono::milliseconds kSaveAfterPause{2000};
// A refusal's tooltip goes after this long, where the toolkit leaves it to us.
inline constexpr std::chrono::milliseconds kRefusalShown{4000};

enum class Save { None, Now, AfterPause };

// The box's button that opens a file given to the window worked out.
inline constexpr std::string_view kOpenResult = "Открыть результат";

// What the window must do in answer to one event. Empty: nothing.
struct Answer {
    // The key goes on to the control, which handles it as its own.
    bool pass = false;
    // Put in place of the selection, as one change the control can undo;
    // at `insertAt` (UTF-16 units, nothing replaced) for a drop.
    std::optional<std::string> insert;
    std::optional<int> insertAt;

    struct Refusal {
        const forms::Control* at;
        std::string tip; // the text; refusalPlace() says where it goes
    };
    // Told with a tooltip and the desktop's beep.
    std::optional<Refusal> refused;
    // Only the beep: a letter that spells no entry of an open list.
    bool beep = false;

    struct Entry {
        const forms::Control* list;
        std::size_t entry;
    };
    // The list opened, the entry current and at its top; nothing picked.
    std::optional<Entry> openAt;
    // The entry picked, as from the list: its text shown, a pick told.
    std::optional<Entry> pick;

    struct Text {
        const forms::Control* control;
        std::string text;
    };
    // Texts the program writes into controls, the result's among them; a
    // list's text shows its entry current when it is one.
    std::vector<Text> shows;
    // An undo or a redo: the field's whole text given back, as an edit of
    // the behaviour's that the control's own undo knows nothing of; the
    // caret at its end.
    std::optional<Text> restored;
    // The result's tooltip and spoken description, after a calculation.
    std::optional<std::string> resultTip;

    // Where the keys go.
    const forms::Control* focus = nullptr;
    bool showAbout = false;
    Save save = Save::None;

    // At a close: why the inputs were not saved, in a box when the user is
    // there to read it, else on standard error: a program told to quit
    // must not wait. The box's OK closes the window, its Cancel keeps it
    // (Form1Behaviour::stayed), so that the inputs can be copied or room
    // made.
    struct Unsaved {
        std::string why;
        bool inBox;
    };
    std::optional<Unsaved> unsaved;

    // A file given to the window, worked out: the box that tells of it,
    // with a button (kOpenResult) that opens the result when there is one.
    struct FileBox {
        std::string text;
        std::string result; // the result's path; empty when none was written
    };
    std::optional<FileBox> fileBox;
};

} // namespace sheetmass::behaviour
