#pragma once

#include "behaviour/Answer.h"
#include "behaviour/EditHistory.h"
#include "calc/Inputs.h"
#include "forms/Form.h"

#include <cstddef>
#include <optional>
#include <string>

namespace sheetmass {
class ListPlaces;
struct FileBatchReport;
}

namespace sheetmass::behaviour {

// What the calculator window does, whatever toolkit shows it: each event in
// the design's terms in, what to show and save out. The inputs are its one
// state; a control is known by its row of the design (forms::kForm1).
class Form1Behaviour {
  public:
    // The inputs live in `places`, which must outlive this.
    explicit Form1Behaviour(const ListPlaces& places);

    // The saved inputs restored and the mass worked out, before the window
    // shows: every input's text, the result and its tooltip.
    Answer start();

    // A key typed into a field, before the field takes it.
    Answer key(const forms::Control& field, Key key, const FieldState& state);
    // A text that comes at once: pasted (no text: nothing on the clipboard
    // a field can take), or committed by an input method.
    Answer paste(const forms::Control& field, const std::optional<std::string>& text,
                 const FieldState& state);
    // A text dropped at `at` (UTF-16 units into the field's text).
    Answer drop(const forms::Control& field, const std::string& text, int at,
                const FieldState& state);
    // The field's text changed, however it did; the toolkit's own picks
    // from a list come as pick().
    Answer changed(const forms::Control& field, const std::string& text);
    // A key that reaches a list while its drop-down has the keys.
    Answer listKey(const forms::Control& list, Key key);
    Answer pick(const forms::Control& list, std::size_t entry);
    // A list's drop-down went: spelling starts afresh.
    void listClosed(const forms::Control& list);
    Answer clicked(const forms::Control& button);
    // kSaveAfterPause has passed since the last change.
    Answer pauseEnded();
    Answer close(CloseReason why);
    // A file given to the window (dropped on it or on the program, or named
    // when it starts): worked out as the batch works one out, its result
    // beside it, and told in a box; the inputs stay as they are.
    Answer fileGiven(const std::string& path);
    // The program's status once the window is gone: 1 when the last close
    // left the inputs unsaved, so that whoever started it (a session, a
    // script that sent it a signal) can tell they were lost.
    int exitStatus() const { return m_unsaved ? 1 : 0; }

    // The user went back to the window from a close that could not save:
    // the next close saves again.
    void stayed() { m_closed = false; }

    // Whether Undo or Redo (`which`) has a text to give back in the field.
    bool canUndo(const forms::Control& field, KeyKind which) const;

    const Inputs& inputs() const { return m_inputs; }

  private:
    Answer recalculated(Answer answer) const;
    Answer spell(const forms::Control& list, Key key);
    Answer typed(const forms::Control& field, Key key, const FieldState& state);
    Answer taken(const forms::Control& field, const std::optional<std::string>& text,
                 const std::string& kept, std::optional<int> at);
    Answer takenBack(const forms::Control& field, bool redo);

    const ListPlaces& m_places;
    Inputs m_inputs;
    bool m_closed = false;
    bool m_unsaved = false;
    const forms::Control* m_spelling = nullptr; // the list a letter search is open in
    std::string m_spelled;
    EditHistory m_history;
    const forms::Control* m_typing = nullptr; // the field a key may be changing now
};

// The box's text for a file worked out, the same for every front end.
Answer::FileBox fileBox(const FileBatchReport& report);

// The field the keys go to first: the design's first in the tab order.
const forms::Control& firstFocus(const forms::Window& window);

// Whether the keys can go to the control.
bool takesFocus(const forms::Control& control);

// The longest text a field or a list's edit part keeps; 0 for any length.
int roomOf(const forms::Control& control);

// The face the windows' texts are drawn in: the design's, else the first of
// its stand-ins that is installed, else the design's name, for the system to
// find the nearest.
template <class Installed> std::string_view faceFor(Installed&& installed) {
    if (installed(forms::kDesignFont))
        return forms::kDesignFont;
    for (std::string_view standIn : forms::kFontStandIns)
        if (installed(standIn))
            return standIn;
    return forms::kDesignFont;
}

} // namespace sheetmass::behaviour
