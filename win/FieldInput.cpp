#include "win/FieldInput.h"

#include "fields/EntrySearch.h"
#include "fields/FieldRule.h"
#include "forms/Texts.h"
#include "win/Design.h"
#include "win/TextDrop.h"

#include <commctrl.h>

#include <optional>
#include <utility>

namespace sheetmass::win {
namespace {

// The field's state on its edit, for what is set up after it (its drops).
constexpr const wchar_t* kFieldProp = L"sheetmass.field";

struct Field {
    HWND shown; // the edit, or its list
    HWND edit;  // where the keys arrive
    const forms::Control* design;
    const FieldOwner* owner;
    bool keypadDecimal = false; // the key typing now is the keypad's decimal key
    std::string spelled;        // what a letter search in the list has spelled
};

std::wstring clipboardText(HWND edit, bool& any) {
    any = false;
    std::wstring text;
    if (!::OpenClipboard(edit))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            any = true;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// The field's text outside its selection, which what comes in replaces.
std::string kept(HWND edit) {
    DWORD from = 0, to = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    std::wstring text(std::size_t(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(edit, text.data(), int(text.size()))));
    if (to > from && to <= text.size())
        text.erase(from, to - from);
    return utf8(text);
}

void refuse(Field& f, Refusal why, bool typed) {
    ::MessageBeep(MB_OK);
    f.owner->refused(f.shown, forms::refusedTip(why, typed, f.design->hint));
}

bool isList(const Field& f) {
    return f.shown != f.edit;
}

void pick(Field& f, std::size_t entry) {
    ::SendMessageW(f.shown, CB_SETCURSEL, entry, 0);
    f.owner->picked(f.shown);
}

// Any text that comes at once, pasted or dropped, whole or not at all. A
// drop goes where it fell, replacing nothing.
void take(Field& f, const std::string& text, bool any, std::optional<POINT> droppedAt) {
    if (isList(f))
        if (const auto entry = entryNamed(f.design->entries, text)) {
            pick(f, *entry);
            return;
        }
    if (f.design->readOnly) {
        refuse(f, Refusal::ReadOnly, false);
        return;
    }
    std::string before = kept(f.edit);
    if (droppedAt) {
        POINT at = *droppedAt;
        ::ScreenToClient(f.edit, &at);
        const auto where = ::SendMessageW(f.edit, EM_CHARFROMPOS, 0, MAKELPARAM(at.x, at.y));
        const auto place = WPARAM(LOWORD(where));
        ::SendMessageW(f.edit, EM_SETSEL, place, LPARAM(place));
        before = kept(f.edit);
    }
    if (f.design->admits == nullptr) {
        if (any)
            ::SendMessageW(f.edit, EM_REPLACESEL, TRUE,
                           reinterpret_cast<LPARAM>(wide(text).c_str()));
        return;
    }
    const Taken taken = takenInto(*f.design->admits, any ? text : std::string(), before);
    if (taken.refusal != Refusal::None) {
        refuse(f, taken.refusal, false);
        return;
    }
    ::SendMessageW(f.edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide(taken.text).c_str()));
}

void paste(Field& f) {
    bool any = false;
    const std::string text = utf8(clipboardText(f.edit, any));
    take(f, text, any, std::nullopt);
}

// A letter in a list of names that takes no letters opens the list at the
// first entry beginning with it; while the list is open every character
// spells on, as in the list itself.
bool spell(Field& f, wchar_t c) {
    if (!isList(f) || f.design->entries.empty())
        return false;
    if (!::SendMessageW(f.shown, CB_GETDROPPEDSTATE, 0, 0))
        f.spelled.clear();
    if (f.spelled.empty() && !::IsCharAlphaW(c))
        return false;
    const std::string wanted = f.spelled + utf8(std::wstring(1, c));
    const auto entry = firstEntryBeginningWith(f.design->entries, wanted);
    if (!entry) {
        if (f.spelled.empty())
            return false;
        ::MessageBeep(MB_OK);
        return true;
    }
    f.spelled = wanted;
    ::SendMessageW(f.shown, CB_SHOWDROPDOWN, TRUE, 0);
    pick(f, *entry);
    return true;
}

// Keys that change a text: only the calculation writes the result.
bool edits(UINT message, WPARAM key) {
    if (message == WM_KEYDOWN)
        return key == VK_DELETE || (key == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0);
    // Backspace, Ctrl+X, Ctrl+V, Ctrl+Z, and every printing character.
    return key == 8 || key == 0x18 || key == 0x16 || key == 0x1A || key >= 0x20;
}

LRESULT onChar(Field& f, HWND edit, WPARAM key, LPARAM bits) {
    const bool keypad = std::exchange(f.keypadDecimal, false);
    if (f.design->readOnly) {
        if (!edits(WM_CHAR, key))
            return ::DefSubclassProc(edit, WM_CHAR, key, bits);
        refuse(f, Refusal::ReadOnly, true);
        return 0;
    }
    if (key == 0x16) {
        paste(f);
        return 0;
    }
    // Control keys (Backspace, Ctrl+C, Ctrl+A…) are the edit's own.
    if (key < 0x20 || key == 0x7F)
        return ::DefSubclassProc(edit, WM_CHAR, key, bits);
    // Any text is fine in an unfiltered field; the keypad still gives the
    // comma the number wants, whatever the layout puts on the key.
    if (f.design->admits == nullptr)
        return ::DefSubclassProc(edit, WM_CHAR, keypad ? L',' : key, bits);
    const wchar_t c = keypad ? L',' : wchar_t(key);
    if (!f.spelled.empty() && spell(f, c))
        return 0;
    const TypedKey typed = typedInto(*f.design->admits, c, kept(edit));
    if (typed.refusal == Refusal::None)
        return ::DefSubclassProc(edit, WM_CHAR, typed.character, bits);
    if (typed.refusal == Refusal::Character && spell(f, c))
        return 0;
    refuse(f, typed.refusal, true);
    return 0;
}

LRESULT CALLBACK fieldProc(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
    Field& f = *reinterpret_cast<Field*>(data);
    switch (message) {
    case WM_KEYDOWN:
        f.keypadDecimal = w == VK_DECIMAL;
        if (w == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0) {
            paste(f);
            return 0;
        }
        if (f.design->readOnly && edits(message, w)) {
            refuse(f, Refusal::ReadOnly, true);
            return 0;
        }
        break;
    case WM_CHAR:
        return onChar(f, edit, w, l);
    case WM_PASTE:
        paste(f);
        return 0;
    case WM_CUT:
    case WM_CLEAR:
    case EM_UNDO:
    case WM_UNDO:
        if (f.design->readOnly) {
            refuse(f, Refusal::ReadOnly, false);
            return 0;
        }
        break;
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

} // namespace

void filterInput(HWND field, const forms::Control& design, const FieldOwner& owner) {
    HWND edit = field;
    if (design.kind == forms::Kind::ListField) {
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (::GetComboBoxInfo(field, &parts))
            edit = parts.hwndItem;
    }
    auto* f = new Field{field, edit, &design, &owner, false, {}};
    ::SetWindowSubclass(edit, fieldProc, 0, reinterpret_cast<DWORD_PTR>(f));
    ::SetPropW(edit, kFieldProp, f);
}

void acceptDrops(HWND field) {
    HWND edit = field;
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (::GetComboBoxInfo(field, &parts) && parts.hwndItem != nullptr)
        edit = parts.hwndItem;
    auto* f = static_cast<Field*>(::GetPropW(edit, kFieldProp));
    if (f == nullptr)
        return;
    acceptTextDrops(edit,
                    [f](const std::wstring& text, POINT at) { take(*f, utf8(text), true, at); });
}

} // namespace sheetmass::win
