#include "win/FieldInput.h"

#include "behaviour/Form1Behaviour.h"
#include "win/Design.h"
#include "win/TextDrop.h"

#include <commctrl.h>

#include <optional>
#include <utility>

namespace sheetmass::win {
namespace {

using behaviour::Answer;
using behaviour::Key;
using behaviour::KeyKind;

// The field's state on its edit, for what is set up after it (its drops).
constexpr const wchar_t* kFieldProp = L"sheetmass.field";

struct Field {
    HWND shown; // the edit, or its list
    HWND edit;  // where the keys arrive
    const forms::Control* design;
    const FieldOwner* owner;
    bool keypadDecimal = false; // the key typing now is the keypad's decimal key
};

std::optional<std::string> clipboardText(HWND edit) {
    std::optional<std::string> text;
    if (!::OpenClipboard(edit))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = utf8(chars);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

behaviour::FieldState stateOf(HWND edit) {
    DWORD from = 0, to = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {textOf(edit), int(from), int(to)};
}

behaviour::Form1Behaviour& behaviourOf(const Field& f) {
    return *f.owner->behaviour;
}

bool dropped(const Field& f) {
    return f.shown != f.edit && ::SendMessageW(f.shown, CB_GETDROPPEDSTATE, 0, 0);
}

// Whether the message is taken: shown, and not for the edit.
bool answered(const Field& f, const Answer& a) {
    f.owner->show(a, f.edit);
    return !a.pass;
}

void paste(Field& f) {
    answered(f, behaviourOf(f).paste(*f.design, clipboardText(f.edit), stateOf(f.edit)));
}

// Which of the design's keys a typed character is.
Key keyOf(WPARAM c, bool keypad) {
    if (keypad)
        return {KeyKind::KeypadDecimal};
    switch (c) {
    case 8:
        return {KeyKind::Backspace};
    case 0x18: // Ctrl+X
        return {KeyKind::Cut};
    case 0x1A: // Ctrl+Z
        return {KeyKind::Undo};
    case 0x19: // Ctrl+Y
        return {KeyKind::Redo};
    default:
        if (c < 0x20 || c == 0x7F)
            return {KeyKind::Other};
        return {KeyKind::Character, char32_t(c)};
    }
}

LRESULT onChar(Field& f, HWND edit, WPARAM c, LPARAM bits) {
    const bool keypad = std::exchange(f.keypadDecimal, false);
    if (c == 0x16) {
        paste(f);
        return 0;
    }
    const Key key = keyOf(c, keypad);
    Answer a = dropped(f) ? behaviourOf(f).listKey(*f.design, key)
                          : behaviourOf(f).key(*f.design, key, stateOf(edit));
    // A key that types another character types it as its own key would.
    if (a.insert && a.insert->size() == 1) {
        const wchar_t typed = wchar_t((*a.insert)[0]);
        a.insert.reset();
        f.owner->show(a, edit);
        return ::DefSubclassProc(edit, WM_CHAR, typed, bits);
    }
    if (answered(f, a))
        return 0;
    return ::DefSubclassProc(edit, WM_CHAR, c, bits);
}

// Messages that edit without a typed character: taken when the answer says.
std::optional<KeyKind> editingMessage(UINT message, WPARAM w) {
    switch (message) {
    case WM_KEYDOWN:
        if (w == VK_DELETE)
            return KeyKind::Delete;
        return std::nullopt;
    case WM_CUT:
        return KeyKind::Cut;
    case WM_CLEAR:
        return KeyKind::Delete;
    case EM_UNDO:
    case WM_UNDO:
        return KeyKind::Undo;
    default:
        return std::nullopt;
    }
}

LRESULT CALLBACK fieldProc(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
    Field& f = *reinterpret_cast<Field*>(data);
    if (message == WM_KEYDOWN) {
        f.keypadDecimal = w == VK_DECIMAL;
        if (w == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0) {
            paste(f);
            return 0;
        }
    }
    if (const auto kind = editingMessage(message, w); kind && !dropped(f))
        if (answered(f, behaviourOf(f).key(*f.design, {*kind}, stateOf(edit))))
            return 0;
    switch (message) {
    case WM_CHAR:
        return onChar(f, edit, w, l);
    case WM_PASTE:
        paste(f);
        return 0;
    case WM_NCDESTROY:
        ::RevokeDragDrop(edit);
        ::RemovePropW(edit, kFieldProp);
        ::RemoveWindowSubclass(edit, fieldProc, 0);
        delete &f;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(edit, message, w, l);
}

HWND editOf(HWND field) {
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (::GetComboBoxInfo(field, &parts) && parts.hwndItem != nullptr)
        return parts.hwndItem;
    return field;
}

} // namespace

void filterInput(HWND field, const forms::Control& design, const FieldOwner& owner) {
    HWND edit = design.kind == forms::Kind::ListField ? editOf(field) : field;
    auto* f = new Field{field, edit, &design, &owner, false};
    ::SetWindowSubclass(edit, fieldProc, 0, reinterpret_cast<DWORD_PTR>(f));
    ::SetPropW(edit, kFieldProp, f);
}

void acceptDrops(HWND field) {
    HWND edit = editOf(field);
    auto* f = static_cast<Field*>(::GetPropW(edit, kFieldProp));
    if (f == nullptr)
        return;
    acceptTextDrops(edit, [f](const std::wstring& text, POINT at) {
        ::ScreenToClient(f->edit, &at);
        const auto where = ::SendMessageW(f->edit, EM_CHARFROMPOS, 0, MAKELPARAM(at.x, at.y));
        answered(
            *f, behaviourOf(*f).drop(*f->design, utf8(text), int(LOWORD(where)), stateOf(f->edit)));
    });
}

} // namespace sheetmass::win
