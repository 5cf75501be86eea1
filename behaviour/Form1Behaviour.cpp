#include "behaviour/Form1Behaviour.h"

#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "batch/FileBatch.h"
#include "behaviour/Text.h"
#include "calc/Mass.h"
#include "fields/EntrySearch.h"
#include "forms/Form1.h"
#include "forms/Texts.h"
#include "listfile/ListPlaces.h"

#include <algorithm>
#include <utility>

namespace sheetmass::behaviour {
namespace {

bool isList(const forms::Control& c) {
    return c.kind == forms::Kind::ListField;
}

// The control the calculation writes.
const forms::Control& resultOf(const forms::Window& window) {
    return *std::find_if(window.controls.begin(), window.controls.end(),
                         [](const forms::Control& c) { return c.readOnly; });
}

Answer refusal(const forms::Control& at, Refusal why, bool typed) {
    Answer a;
    a.refused = Answer::Refusal{&at, forms::refusedTip(why, typed, at.hint)};
    return a;
}

Answer passed() {
    Answer a;
    a.pass = true;
    return a;
}

Answer inserted(std::string text, std::optional<int> at = std::nullopt) {
    Answer a;
    a.insert = std::move(text);
    a.insertAt = at;
    return a;
}

// Keys that would change a text only the calculation writes; moving,
// selecting and copying are a reader's.
bool edits(Key key) {
    return key.kind != KeyKind::Other;
}

} // namespace

Form1Behaviour::Form1Behaviour(const ListPlaces& places) : m_places(places) {}

Answer Form1Behaviour::start() {
    m_inputs = m_places.restore();
    Answer a;
    for (const forms::Control& c : forms::kForm1.controls)
        if (c.shows)
            a.shows.push_back({&c, textOf(m_inputs, *c.shows)});
    a.focus = &firstFocus(forms::kForm1);
    return recalculated(std::move(a));
}

Answer Form1Behaviour::recalculated(Answer a) const {
    const MassResult result = massResult(m_inputs, Модуль1::AlloyDensity, gradesNumbered);
    const forms::Control& shown = resultOf(forms::kForm1);
    a.shows.push_back({&shown, result.mass});
    a.resultTip = forms::resultTip(shown.hint, result);
    return a;
}

Answer Form1Behaviour::key(const forms::Control& field, Key key, const FieldState& state) {
    if (field.readOnly)
        return edits(key) ? refusal(field, Refusal::ReadOnly, true) : passed();
    if (key.kind == KeyKind::Undo || key.kind == KeyKind::Redo)
        return takenBack(field, key.kind == KeyKind::Redo);
    // What keys type or delete is one edit until another comes between;
    // moving the caret ends it, a cut is one of its own.
    m_typing = key.kind == KeyKind::Other || key.kind == KeyKind::Cut ? nullptr : &field;
    if (key.kind == KeyKind::Other)
        m_history.endStep();
    if (key.kind != KeyKind::Character && key.kind != KeyKind::KeypadDecimal)
        return passed();
    const bool keypad = key.kind == KeyKind::KeypadDecimal;
    const char32_t c = keypad ? U',' : key.character;
    // Any text is fine here; the keypad still gives the comma the number
    // wants, whatever the layout puts on the key.
    if (field.admits == nullptr)
        return keypad ? inserted(",") : passed();
    const TypedKey typed = typedInto(*field.admits, c, keptText(state));
    if (typed.refusal == Refusal::None)
        return typed.character == c && !keypad ? passed() : inserted(utf8Of(typed.character));
    // A letter where none is typed looks the list's entries up.
    if (typed.refusal == Refusal::Character && isLetter(c) && isList(field) &&
        !field.entries.empty()) {
        m_spelling = &field;
        m_spelled.clear();
        if (Answer a = spell(field, key); a.openAt)
            return a;
        m_spelling = nullptr;
    }
    return refusal(field, typed.refusal, true);
}

Answer Form1Behaviour::listKey(const forms::Control& list, Key key) {
    // A list opened by the mouse or the arrow keys spells from nothing.
    if (m_spelling != &list) {
        m_spelling = &list;
        m_spelled.clear();
    }
    if (key.kind == KeyKind::Backspace) {
        Answer a;
        const std::string shorter = withoutLastCharacter(m_spelled);
        if (!shorter.empty())
            if (const auto entry = firstEntryBeginningWith(list.entries, shorter)) {
                m_spelled = shorter;
                a.openAt = Answer::Entry{&list, *entry};
            }
        return a;
    }
    if (key.kind != KeyKind::Character && key.kind != KeyKind::KeypadDecimal)
        return passed();
    Answer a = spell(list, key);
    a.beep = !a.openAt;
    return a;
}

Answer Form1Behaviour::spell(const forms::Control& list, Key key) {
    // A letter that looks an entry up types nothing.
    m_typing = nullptr;
    const char32_t c = key.kind == KeyKind::KeypadDecimal ? U',' : key.character;
    // A Latin letter that spells nothing as typed (look-alikes folded) was
    // typed with the wrong layout on: the Russian letter of its key.
    const std::optional<char32_t> russian = russianOnSameKey(c);
    Answer a;
    for (const char32_t typed : {c, russian.value_or(c)}) {
        const std::string wanted = m_spelled + utf8Of(typed);
        if (const auto entry = firstEntryBeginningWith(list.entries, wanted)) {
            m_spelled = wanted;
            a.openAt = Answer::Entry{&list, *entry};
            break;
        }
    }
    return a;
}

void Form1Behaviour::listClosed(const forms::Control& list) {
    if (m_spelling == &list)
        m_spelling = nullptr;
    // The next spelling is a pick of its own.
    m_history.endStep();
}

Answer Form1Behaviour::paste(const forms::Control& field, const std::optional<std::string>& text,
                             const FieldState& state) {
    return taken(field, text, keptText(state), std::nullopt);
}

Answer Form1Behaviour::drop(const forms::Control& field, const std::string& text, int at,
                            const FieldState& state) {
    // Dropped text replaces nothing.
    return taken(field, text, state.text, at);
}

// Any text that comes at once, pasted or dropped, whole or not at all.
Answer Form1Behaviour::taken(const forms::Control& field, const std::optional<std::string>& text,
                             const std::string& kept, std::optional<int> at) {
    m_typing = nullptr;
    if (isList(field) && text)
        if (const auto entry = entryNamed(field.entries, *text)) {
            Answer a;
            a.pick = Answer::Entry{&field, *entry};
            return a;
        }
    if (field.readOnly)
        return refusal(field, Refusal::ReadOnly, false);
    if (field.admits == nullptr)
        return text ? inserted(*text, at) : Answer{};
    const Taken taken = takenInto(*field.admits, text.value_or(std::string()), kept);
    if (taken.refusal != Refusal::None)
        return refusal(field, taken.refusal, false);
    return inserted(taken.text, at);
}

Answer Form1Behaviour::changed(const forms::Control& field, const std::string& text) {
    if (!field.shows)
        return {};
    std::string& held = textOf(m_inputs, *field.shows);
    if (held == text)
        return {};
    m_history.record(field, held, text,
                     std::exchange(m_typing, nullptr) == &field ? EditHistory::How::Typed
                                                                : EditHistory::How::Changed);
    held = text;
    // Kept for a save at the end, and saved once typing pauses: a crash or
    // a power cut loses only the last moments.
    m_places.remember(m_inputs);
    Answer a;
    a.save = Save::AfterPause;
    return field.changeRecalculates ? recalculated(std::move(a)) : a;
}

Answer Form1Behaviour::pick(const forms::Control& list, std::size_t entry) {
    if (!list.shows || entry >= list.entries.size())
        return {};
    std::string& held = textOf(m_inputs, *list.shows);
    m_typing = nullptr;
    // Each letter that spells on finds an entry: one pick.
    if (held != list.entries[entry])
        m_history.record(list, held, std::string(list.entries[entry]),
                         m_spelling == &list ? EditHistory::How::Spelled
                                             : EditHistory::How::Picked);
    held = list.entries[entry];
    m_places.remember(m_inputs);
    Answer a;
    a.save = Save::AfterPause;
    return list.pickRecalculates ? recalculated(std::move(a)) : a;
}

// An undo or a redo is an edit as any other: it is saved, and where a change
// or a pick works the mass out, so does it.
Answer Form1Behaviour::takenBack(const forms::Control& field, bool redo) {
    m_typing = nullptr;
    const std::optional<std::string> text = redo ? m_history.redo(field) : m_history.undo(field);
    if (!text || !field.shows)
        return {};
    textOf(m_inputs, *field.shows) = *text;
    m_places.remember(m_inputs);
    Answer a;
    a.restored = Answer::Text{&field, *text};
    a.save = Save::AfterPause;
    return field.changeRecalculates || field.pickRecalculates ? recalculated(std::move(a)) : a;
}

bool Form1Behaviour::canUndo(const forms::Control& field, KeyKind which) const {
    return m_history.has(field, which == KeyKind::Redo);
}

Answer Form1Behaviour::clicked(const forms::Control& button) {
    Answer a;
    a.showAbout = button.kind == forms::Kind::Button;
    return a;
}

Answer Form1Behaviour::pauseEnded() {
    // A failure waits for the close to be told.
    std::string whyNot;
    m_places.saveRemembered(whyNot);
    return {};
}

Answer Form1Behaviour::close(CloseReason why) {
    // The session may yet stay: it saves, and the final close saves again.
    if (m_closed)
        return {};
    m_closed = why != CloseReason::Session;
    Answer a;
    const bool inBox = why == CloseReason::User;
    if (std::string whyNot; !m_places.save(m_inputs, &whyNot))
        a.unsaved = Answer::Unsaved{
            inBox ? whyNot + "\n\nOK — закрыть окно, Отмена — вернуться к нему." : whyNot, inBox};
    m_unsaved = a.unsaved.has_value();
    return a;
}

Answer Form1Behaviour::fileGiven(const std::string& path) {
    Answer a;
    a.fileBox = fileBox(batchFile(path));
    return a;
}

const forms::Control& firstFocus(const forms::Window& window) {
    const forms::Control* first = nullptr;
    for (const forms::Control& c : window.controls)
        if (takesFocus(c) && c.tabIndex >= 0 && (first == nullptr || c.tabIndex < first->tabIndex))
            first = &c;
    return *first;
}

bool takesFocus(const forms::Control& c) {
    return c.kind == forms::Kind::TextField || c.kind == forms::Kind::ListField ||
           c.kind == forms::Kind::Button;
}

int roomOf(const forms::Control& c) {
    return c.admits != nullptr ? c.admits->room : 0;
}

} // namespace sheetmass::behaviour
