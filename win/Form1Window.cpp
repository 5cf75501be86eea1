#include "win/Form1Window.h"

#include "behaviour/Form1Behaviour.h"
#include "behaviour/RefusalPlace.h"
#include "forms/Form1.h"
#include "forms/Texts.h"
#include "listfile/ListPlaces.h"
#include "win/Design.h"
#include "win/FieldInput.h"
#include "win/FileGiven.h"
#include "win/Form2Window.h"
#include "win/Names.h"
#include "win/TextDrop.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace sheetmass::win {
namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr UINT_PTR kRefusalTimer = 2;
constexpr UINT_PTR kHintsTimer = 3;
constexpr UINT kPicked = WM_APP + 1; // a list's pick, once its edit shows it
constexpr const wchar_t* kClass = L"sheetmass.Форма1";

using behaviour::Answer;

const forms::Control& designed(bool (*is)(const forms::Control&)) {
    return *std::find_if(forms::kForm1.controls.begin(), forms::kForm1.controls.end(), is);
}
// The result, which the calculation writes, and the frame.
const forms::Control& result() {
    return designed([](const forms::Control& c) { return c.readOnly; });
}
const forms::Control& frame() {
    return designed([](const forms::Control& c) { return c.kind == forms::Kind::Frame; });
}

struct Form1 {
    HWND hwnd = nullptr;
    HINSTANCE instance = nullptr;
    ListPlaces places = ListPlaces::forThisProgram("sheetmass", "sheetmass");
    behaviour::Form1Behaviour behaviour{places};
    // Until the controls are made (none yet), the window draws what they
    // will show.
    std::wstring mass;
    std::vector<Made> made;
    Fonts fonts;
    HWND tips = nullptr; // the hints, once the window is up
    std::wstring resultTip;
    HWND refusal = nullptr; // the tooltip that tells a refusal
    TTTOOLINFOW refusalTool{};
    std::wstring refusalText;
    HBRUSH windowBrush = nullptr;
    HBRUSH frameBrush = nullptr;
    FieldOwner owner;
    const forms::Control* firstFocus = nullptr;
    HWND focus = nullptr; // where the keys go when the window is active again
    std::wstring given;   // the file named on the command line, until the controls are up

    HWND operator[](const forms::Control* c) const {
        for (const Made& m : made)
            if (m.design == c)
                return m.hwnd;
        return nullptr;
    }
    HWND startFocus() const { return focus != nullptr ? focus : (*this)[firstFocus]; }
};

// A list's text selected only while it has the keys, which selects it
// again: three lists all highlit would hide which one has them.
void unselect(HWND list) {
    ::SendMessageW(list, CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
}

void showInList(HWND list, const std::string& text) {
    const std::wstring w = wide(text);
    const LRESULT at =
        ::SendMessageW(list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(w.c_str()));
    ::SendMessageW(list, CB_SETCURSEL, at, 0);
    ::SetWindowTextW(list, w.c_str());
    unselect(list);
}

void showRefusal(Form1& f, const forms::Control& design, const std::string& tip) {
    ::MessageBeep(MB_OK);
    f.refusalText = wide(tip);
    f.refusalTool.lpszText = f.refusalText.data();
    ::SendMessageW(f.refusal, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&f.refusalTool));
    RECT r;
    ::GetWindowRect(f[&design], &r);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(f.hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcWork;
    const TipWindow tipShown = tipWindow(f.refusal, f.refusalTool, f.refusalText);
    const behaviour::ScreenPoint at =
        behaviour::refusalPlace(forms::kForm1, design, {r.left, r.top, r.right, r.bottom},
                                dpiOf(f.hwnd), {tipShown.size.cx, tipShown.size.cy},
                                {screen.left, screen.top, screen.right, screen.bottom});
    ::SendMessageW(f.refusal, TTM_TRACKPOSITION, 0,
                   MAKELPARAM(at.x + tipShown.inset.x, at.y + tipShown.inset.y));
    ::SendMessageW(f.refusal, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&f.refusalTool));
    ::SetTimer(f.hwnd, kRefusalTimer, UINT(behaviour::kRefusalShown.count()), nullptr);
}

void hideRefusal(Form1& f) {
    ::KillTimer(f.hwnd, kRefusalTimer);
    ::SendMessageW(f.refusal, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&f.refusalTool));
}

void show(Form1& f, const Answer& a, HWND edit = nullptr);

// What an answer asks of one list.
void showLists(Form1& f, const Answer& a) {
    if (a.openAt) {
        HWND list = f[a.openAt->list];
        ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        ::SendMessageW(list, CB_SETCURSEL, a.openAt->entry, 0);
        // The edit part shows the entry at once: that is a pick here.
        show(f, f.behaviour.pick(*a.openAt->list, a.openAt->entry));
    }
    if (a.pick) {
        ::SendMessageW(f[a.pick->list], CB_SETCURSEL, a.pick->entry, 0);
        show(f, f.behaviour.pick(*a.pick->list, a.pick->entry));
    }
}

void showTexts(Form1& f, const Answer& a) {
    for (const auto& [control, text] : a.shows) {
        if (control == &result())
            f.mass = wide(text);
        if (f.made.empty())
            continue;
        if (control->kind == forms::Kind::ListField)
            showInList(f[control], text);
        else
            ::SetWindowTextW(f[control], wide(text).c_str());
    }
    if (a.resultTip) {
        f.resultTip = wide(*a.resultTip);
        if (f.tips != nullptr)
            setTip(f.tips, f.hwnd, f[&result()], f.resultTip);
    }
    if (f.made.empty() && !a.shows.empty())
        ::InvalidateRect(f.hwnd, nullptr, FALSE);
}

// An undo's or a redo's text, put in as one edit, the caret after it.
void restore(Form1& f, const Answer::Text& given) {
    HWND control = f[given.control];
    const std::wstring text = wide(given.text);
    if (given.control->kind == forms::Kind::ListField) {
        showInList(control, given.text);
        ::SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(text.size(), text.size()));
        return;
    }
    ::SendMessageW(control, EM_SETSEL, 0, -1);
    ::SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void show(Form1& f, const Answer& a, HWND edit) {
    if (a.insert && edit != nullptr) {
        if (a.insertAt)
            ::SendMessageW(edit, EM_SETSEL, WPARAM(*a.insertAt), LPARAM(*a.insertAt));
        ::SendMessageW(edit, EM_REPLACESEL, TRUE,
                       reinterpret_cast<LPARAM>(wide(*a.insert).c_str()));
    }
    if (a.refused)
        showRefusal(f, *a.refused->at, a.refused->tip);
    if (a.beep)
        ::MessageBeep(MB_OK);
    showLists(f, a);
    if (a.restored)
        restore(f, *a.restored);
    showTexts(f, a);
    if (a.focus != nullptr)
        f.firstFocus = a.focus;
    if (a.showAbout)
        showForm2(f.hwnd);
    if (a.save == behaviour::Save::AfterPause)
        ::SetTimer(f.hwnd, kSaveTimer, UINT(behaviour::kSaveAfterPause.count()), nullptr);
    if (a.fileBox)
        showFileBox(f.hwnd, *a.fileBox);
}

void makeRefusalTip(Form1& f, HINSTANCE instance) {
    f.refusal = makeTips(f.hwnd, instance);
    f.refusalTool.cbSize = sizeof f.refusalTool;
    f.refusalTool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_IDISHWND;
    f.refusalTool.hwnd = f.hwnd;
    f.refusalTool.uId = reinterpret_cast<UINT_PTR>(f.hwnd);
    f.refusalTool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(f.refusal, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&f.refusalTool));
}

// The hints and the fields' spoken names wait until the window is up: no
// one points at a control or asks for its name before it is shown, and
// start-up is shorter by them.
void makeHints(Form1& f) {
    // Drops need OLE, which start-up does without.
    if (SUCCEEDED(::OleInitialize(nullptr))) {
        acceptFileDrops(f.hwnd);
        for (const Made& m : f.made)
            if (m.design->kind == forms::Kind::TextField ||
                m.design->kind == forms::Kind::ListField)
                acceptDrops(m.hwnd);
    }
    nameFields(forms::kForm1, f.made);
    f.tips = makeTips(f.hwnd, f.instance);
    for (const Made& m : f.made) {
        const forms::Control& c = *m.design;
        if (c.hint.empty())
            continue;
        addTip(f.tips, f.hwnd, m.hwnd, c.readOnly ? f.resultTip : wide(c.hint));
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (c.kind == forms::Kind::ListField && ::GetComboBoxInfo(m.hwnd, &parts))
            addTip(f.tips, f.hwnd, parts.hwndItem, wide(c.hint));
    }
}

// The controls, over what the window drew of them, once it is up: a window
// that shows at once, and a list's drop-down costs a window of its own.
void makeFields(Form1& f) {
    // The common controls, and the libraries behind them, not before.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::vector<Made> made =
        makeControls(f.hwnd, forms::kForm1, f.instance, dpiOf(f.hwnd), f.fonts, Captions::Drawn);
    makeRefusalTip(f, f.instance);
    f.owner.behaviour = &f.behaviour;
    f.owner.show = [&f](const Answer& a, HWND edit) { show(f, a, edit); };
    for (const Made& m : made) {
        const forms::Control& c = *m.design;
        if (c.kind == forms::Kind::TextField || c.kind == forms::Kind::ListField)
            filterInput(m.hwnd, c, f.owner);
        const auto room = WPARAM(behaviour::roomOf(c));
        if (room > 0)
            ::SendMessageW(
                m.hwnd, c.kind == forms::Kind::ListField ? CB_LIMITTEXT : EM_SETLIMITTEXT, room, 0);
    }
    f.made = std::move(made);
    // What the window drew, now in its controls; the behaviour already has it.
    Answer shown;
    for (const forms::Control& c : forms::kForm1.controls)
        if (c.shows)
            shown.shows.push_back({&c, textOf(f.behaviour.inputs(), *c.shows)});
    shown.shows.push_back({&result(), utf8(f.mass)});
    showTexts(f, shown);
    if (::GetActiveWindow() == f.hwnd)
        ::SetFocus(f.startFocus());
    // A timer's message comes only once the queue is empty: after the
    // controls' first paint and any key already typed.
    ::SetTimer(f.hwnd, kHintsTimer, USER_TIMER_MINIMUM, nullptr);
    // Told over the window as it is, in the program's own words.
    if (!f.given.empty())
        ::PostMessageW(f.hwnd, kFileDropped, 0,
                       reinterpret_cast<LPARAM>(new std::wstring(std::move(f.given))));
}

void paint(Form1& f) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(f.hwnd, &ps);
    const int dpi = dpiOf(f.hwnd);
    drawCaptions(dc, forms::kForm1, dpi, f.fonts);
    if (f.made.empty()) {
        for (const forms::Control& c : forms::kForm1.controls) {
            std::wstring text;
            if (c.shows)
                text = wide(textOf(f.behaviour.inputs(), *c.shows));
            else if (&c == &result())
                text = f.mass;
            else if (c.kind == forms::Kind::Button)
                text = wide(c.text);
            else
                continue;
            drawStandIn(dc, forms::kForm1, c, text, dpi, f.fonts);
        }
    }
    ::EndPaint(f.hwnd, &ps);
}

const forms::Control* designOf(const Form1& f, HWND control) {
    for (const Made& m : f.made)
        if (m.hwnd == control)
            return m.design;
    return nullptr;
}

void onCommand(Form1& f, WPARAM w, LPARAM l) {
    const auto control = reinterpret_cast<HWND>(l);
    const forms::Control* c = designOf(f, control);
    if (c == nullptr)
        return;
    switch (HIWORD(w)) {
    case EN_SETFOCUS:
    case CBN_SETFOCUS:
        hideRefusal(f);
        break;
    case CBN_KILLFOCUS:
        unselect(control);
        break;
    case CBN_CLOSEUP:
        f.behaviour.listClosed(*c);
        break;
    case CBN_EDITCHANGE:
        hideRefusal(f);
        [[fallthrough]];
    case EN_CHANGE:
        show(f, f.behaviour.changed(*c, textOf(control)));
        break;
    case CBN_SELCHANGE:
        // The edit part shows the pick only after this notice.
        ::PostMessageW(f.hwnd, kPicked, 0, l);
        break;
    case BN_CLICKED:
        show(f, f.behaviour.clicked(*c));
        break;
    default:
        break;
    }
}

void picked(Form1& f, HWND list) {
    const forms::Control* c = designOf(f, list);
    const LRESULT entry = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (c != nullptr && entry >= 0)
        show(f, f.behaviour.pick(*c, std::size_t(entry)));
}

// Whether the window goes: the user may go back to it from a close that
// could not save.
bool end(Form1& f, behaviour::CloseReason why) {
    ::KillTimer(f.hwnd, kSaveTimer);
    const Answer a = f.behaviour.close(why);
    show(f, a);
    if (!a.unsaved || !a.unsaved->inBox ||
        ::MessageBoxW(f.hwnd, wide(a.unsaved->why).c_str(), wide(forms::kForm1.title).c_str(),
                      MB_OKCANCEL | MB_ICONWARNING) != IDCANCEL)
        return true;
    f.behaviour.stayed();
    return false;
}

HBRUSH colours(Form1& f, HDC dc, HWND control) {
    const forms::Control* c = designOf(f, control);
    if (c == nullptr) {
        // A list's edit part.
        c = designOf(f, ::GetParent(control));
        if (c == nullptr)
            return nullptr;
    }
    if (c->textColour != forms::kSystemColour)
        ::SetTextColor(dc, colour(c->textColour));
    if (c->kind == forms::Kind::TextField || c->kind == forms::Kind::ListField) {
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        return ::GetSysColorBrush(COLOR_WINDOW);
    }
    const bool inFrame = !c->container.empty();
    ::SetBkColor(dc, colour(inFrame ? frame().back : forms::kForm1.back));
    return inFrame ? f.frameBrush : f.windowBrush;
}

// The messages that draw the window and its controls; nothing where the
// default drawing does it.
std::optional<LRESULT> drawn(Form1& f, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush = colours(f, reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l)))
            return reinterpret_cast<LRESULT>(brush);
        return std::nullopt;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        if (const forms::Control* c = designOf(f, item.hwndItem)) {
            drawButton(item, *c);
            return TRUE;
        }
        return std::nullopt;
    }
    case WM_PAINT:
        paint(f);
        return 0;
    case WM_ERASEBKGND: {
        RECT all;
        ::GetClientRect(f.hwnd, &all);
        const auto dc = reinterpret_cast<HDC>(w);
        ::FillRect(dc, &all, f.windowBrush);
        const RECT box = placeOf(forms::kForm1, frame(), dpiOf(f.hwnd));
        ::FillRect(dc, &box, f.frameBrush);
        return 1;
    }
    default:
        return std::nullopt;
    }
}

void onTimer(Form1& f, WPARAM w) {
    if (w == kHintsTimer) {
        ::KillTimer(f.hwnd, kHintsTimer);
        makeHints(f);
    } else if (w == kRefusalTimer) {
        hideRefusal(f);
    } else if (w == kSaveTimer) {
        ::KillTimer(f.hwnd, kSaveTimer);
        show(f, f.behaviour.pauseEnded());
    }
}

// The window's last message: what it held goes with it.
void forget(Form1* f) {
    ::SetWindowLongPtrW(f->hwnd, GWLP_USERDATA, 0);
    ::DeleteObject(f->windowBrush);
    ::DeleteObject(f->frameBrush);
    delete f;
}

LRESULT CALLBACK form1Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    auto* f = reinterpret_cast<Form1*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (f == nullptr)
        return ::DefWindowProcW(hwnd, message, w, l);
    if (const std::optional<LRESULT> done = drawn(*f, message, w, l))
        return *done;
    switch (message) {
    case WM_TIMER:
        onTimer(*f, w);
        return 0;
    case WM_COMMAND:
        onCommand(*f, w, l);
        return 0;
    case kPicked:
        picked(*f, reinterpret_cast<HWND>(l));
        return 0;
    case kFileDropped: {
        const std::unique_ptr<std::wstring> path(reinterpret_cast<std::wstring*>(l));
        show(*f, f->behaviour.fileGiven(utf8(*path)));
        return 0;
    }
    case WM_DPICHANGED:
        followDpi(hwnd, forms::kForm1, f->made, f->fonts, w, l);
        return 0;
    case WM_ACTIVATE:
        // The focus comes back where it was, the mode list at first.
        if (LOWORD(w) == WA_INACTIVE) {
            if (HWND had = ::GetFocus(); had != nullptr && ::IsChild(hwnd, had))
                f->focus = had;
        } else if (!f->made.empty()) {
            ::SetFocus(f->startFocus());
        }
        return 0;
    case WM_QUERYENDSESSION:
        // The session may yet stay: this saves, and the close saves again.
        end(*f, behaviour::CloseReason::Session);
        return TRUE;
    case WM_ENDSESSION:
        if (w)
            end(*f, behaviour::CloseReason::Session);
        return 0;
    case WM_CLOSE:
        if (end(*f, behaviour::CloseReason::User))
            ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        // Named once the window was up (makeHints), with its hints.
        if (f->tips != nullptr)
            forgetNames(forms::kForm1, f->made);
        ::PostQuitMessage(f->behaviour.exitStatus());
        return 0;
    case WM_NCDESTROY:
        forget(f);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, w, l);
}

} // namespace

HWND showForm1(HINSTANCE instance, int show, std::wstring file) {
    registerClass(instance, kClass, form1Proc);

    auto* f = new Form1;
    f->windowBrush = ::CreateSolidBrush(colour(forms::kForm1.back));
    f->frameBrush = ::CreateSolidBrush(colour(frame().back));
    // Made at its size for the system's DPI: a move later costs start-up.
    constexpr DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const int dpi = systemDpi();
    const SIZE outer = outerSize(forms::kForm1, dpi, style, WS_EX_CONTROLPARENT);
    f->hwnd = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClass, wide(forms::kForm1.title).c_str(),
                                style, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr,
                                nullptr, instance, nullptr);
    if (f->hwnd == nullptr) {
        delete f;
        return nullptr;
    }
    f->instance = instance;
    f->given = std::move(file);
    if (const int there = dpiOf(f->hwnd); there != dpi)
        fitWindow(f->hwnd, forms::kForm1, there);
    ::SetWindowLongPtrW(f->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
    sheetmass::win::show(*f, f->behaviour.start());
    ::ShowWindow(f->hwnd, show);
    return f->hwnd;
}

void finishForm1(HWND window) {
    if (auto* f = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        f != nullptr && f->made.empty())
        makeFields(*f);
}

void beforeDispatch(HWND window, MSG& message) {
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    const bool mouse = message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST;
    if (message.hwnd != window || !(key || mouse))
        return;
    auto* f = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (f == nullptr || !f->made.empty())
        return;
    makeFields(*f);
    // Aimed at the window before its controls were there: it goes where it
    // would have gone.
    if (key) {
        if (HWND focus = ::GetFocus(); focus != nullptr && ::IsChild(window, focus))
            message.hwnd = focus;
        return;
    }
    POINT at = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    ::ClientToScreen(window, &at);
    if (HWND under = ::WindowFromPoint(at); under != nullptr && ::IsChild(window, under)) {
        ::ScreenToClient(under, &at);
        message.hwnd = under;
        message.lParam = MAKELPARAM(at.x, at.y);
    }
}

} // namespace sheetmass::win
