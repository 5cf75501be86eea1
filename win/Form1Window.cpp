#include "win/Form1Window.h"

#include "alloys/AlloyDensity.h"
#include "calc/Mass.h"
#include "forms/Form1.h"
#include "forms/Texts.h"
#include "listfile/ListPlaces.h"
#include "win/Design.h"
#include "win/FieldInput.h"
#include "win/Form2Window.h"
#include "win/Names.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>
#include <map>
#include <memory>

namespace sheetmass::win {
namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr UINT_PTR kRefusalTimer = 2;
constexpr UINT_PTR kHintsTimer = 3;
constexpr UINT kSaveAfterPause = 2000; // ms of no change
constexpr UINT kRefusalShown = 4000;   // ms
constexpr int kTipGap = 2;             // pixels between a refusal and its field
constexpr UINT kPicked = WM_APP + 1;   // a list's pick, once its edit shows it
constexpr const wchar_t* kClass = L"sheetmass.Форма1";

struct Form1 {
    HWND hwnd = nullptr;
    HINSTANCE instance = nullptr;
    // Until the controls are made (none yet), the window draws what they
    // will show.
    Inputs shown;
    std::wstring mass;
    std::vector<Made> made;
    std::map<std::string_view, HWND> byName;
    Fonts fonts;
    HWND tips = nullptr; // the hints, once the window is up
    std::wstring resultTip;
    HWND refusal = nullptr; // the tooltip that tells a refusal
    TTTOOLINFOW refusalTool{};
    std::wstring refusalText;
    HBRUSH windowBrush = nullptr;
    HBRUSH frameBrush = nullptr;
    RECT frame{};
    ListPlaces places = ListPlaces::forThisProgram("sheetmass", "sheetmass");
    bool loading = true;
    FieldOwner owner;
    HWND focus = nullptr; // where the keys go when the window is active again

    HWND operator[](std::string_view name) const { return byName.at(name); }
};

// Which field shows which input.
constexpr std::array<std::pair<std::string_view, std::string Inputs::*>, 9> kShows = {{
    {"Комбо1", &Inputs::alloy},
    {"Комбо2", &Inputs::mode},
    {"Текст1", &Inputs::thickness},
    {"Текст2", &Inputs::upper},
    {"Текст3", &Inputs::lower},
    {"Текст4", &Inputs::length},
    {"Текст5", &Inputs::width},
    {"Текст6", &Inputs::count},
    {"Комбо3", &Inputs::places},
}};

Inputs inputsOf(const Form1& f) {
    if (f.made.empty())
        return f.shown;
    Inputs in;
    for (const auto& [name, input] : kShows)
        in.*input = textOf(f[name]);
    return in;
}

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

void setInputs(Form1& f, const Inputs& in) {
    for (const auto& [name, input] : kShows)
        if (name.starts_with("Комбо"))
            showInList(f[name], in.*input);
        else
            ::SetWindowTextW(f[name], wide(in.*input).c_str());
}

void AA(Form1& f) {
    const MassResult result = massResult(inputsOf(f), Модуль1::AlloyDensity);
    f.mass = wide(result.mass);
    const forms::Control& design = *forms::findControl(forms::kForm1, "Текст7");
    f.resultTip = wide(forms::resultTip(design.hint, result));
    if (f.made.empty())
        return;
    HWND shown = f["Текст7"];
    ::SetWindowTextW(shown, f.mass.c_str());
    if (f.tips != nullptr)
        setTip(f.tips, f.hwnd, shown, f.resultTip);
}

// Kept for the save at the end, and saved once typing pauses: a crash or a
// power cut loses only the last moments.
void changed(Form1& f, bool recalculates) {
    if (f.loading)
        return;
    if (recalculates)
        AA(f);
    f.places.remember(inputsOf(f));
    ::SetTimer(f.hwnd, kSaveTimer, kSaveAfterPause, nullptr);
}

void showRefusal(Form1& f, HWND field, const std::string& tip) {
    f.refusalText = wide(tip);
    f.refusalTool.lpszText = f.refusalText.data();
    ::SendMessageW(f.refusal, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&f.refusalTool));
    // Above the field where the screen has room, so that it covers neither
    // the field nor the next one down.
    RECT r;
    ::GetWindowRect(field, &r);
    const auto size = DWORD(
        ::SendMessageW(f.refusal, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&f.refusalTool)));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(field, MONITOR_DEFAULTTONEAREST), &monitor);
    const int above = r.top - HIWORD(size) - kTipGap;
    const int top = above >= monitor.rcWork.top ? above : r.bottom + kTipGap;
    ::SendMessageW(f.refusal, TTM_TRACKPOSITION, 0, MAKELPARAM(r.left, top));
    ::SendMessageW(f.refusal, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&f.refusalTool));
    ::SetTimer(f.hwnd, kRefusalTimer, kRefusalShown, nullptr);
}

void hideRefusal(Form1& f) {
    ::KillTimer(f.hwnd, kRefusalTimer);
    ::SendMessageW(f.refusal, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&f.refusalTool));
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
    if (SUCCEEDED(::OleInitialize(nullptr)))
        for (const Made& m : f.made)
            if (m.design->kind == forms::Kind::TextField ||
                m.design->kind == forms::Kind::ListField)
                acceptDrops(m.hwnd);
    nameFields(forms::kForm1, f.made);
    f.tips = makeTips(f.hwnd, f.instance);
    for (const Made& m : f.made) {
        const forms::Control& c = *m.design;
        if (c.hint.empty())
            continue;
        addTip(f.tips, f.hwnd, m.hwnd, c.name == "Текст7" ? f.resultTip : wide(c.hint));
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
    f.loading = true;
    std::vector<Made> made =
        makeControls(f.hwnd, forms::kForm1, f.instance, dpiOf(f.hwnd), f.fonts, Captions::Drawn);
    makeRefusalTip(f, f.instance);
    f.owner.picked = [&f](HWND) { changed(f, true); };
    f.owner.refused = [&f](HWND field, const std::string& tip) { showRefusal(f, field, tip); };
    for (const Made& m : made) {
        f.byName[m.design->name] = m.hwnd;
        const forms::Control& c = *m.design;
        if (c.kind == forms::Kind::TextField || c.kind == forms::Kind::ListField)
            filterInput(m.hwnd, c, f.owner);
        if (c.kind == forms::Kind::TextField && c.admits != nullptr && c.admits->room > 0)
            ::SendMessageW(m.hwnd, EM_SETLIMITTEXT, WPARAM(c.admits->room), 0);
    }
    f.made = std::move(made);
    setInputs(f, f.shown);
    ::SetWindowTextW(f["Текст7"], f.mass.c_str());
    f.loading = false;
    if (::GetActiveWindow() == f.hwnd)
        ::SetFocus(f.focus != nullptr ? f.focus : f["Комбо2"]);
    // A timer's message comes only once the queue is empty: after the
    // controls' first paint and any key already typed.
    ::SetTimer(f.hwnd, kHintsTimer, USER_TIMER_MINIMUM, nullptr);
}

void paint(Form1& f) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(f.hwnd, &ps);
    const int dpi = dpiOf(f.hwnd);
    drawCaptions(dc, forms::kForm1, dpi, f.fonts);
    if (f.made.empty()) {
        for (const auto& [name, input] : kShows)
            drawStandIn(dc, forms::kForm1, *forms::findControl(forms::kForm1, name),
                        wide(f.shown.*input), dpi, f.fonts);
        for (const char* other : {"Текст7", "Комманда1"}) {
            const forms::Control& c = *forms::findControl(forms::kForm1, other);
            drawStandIn(dc, forms::kForm1, c, c.kind == forms::Kind::Button ? wide(c.text) : f.mass,
                        dpi, f.fonts);
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
    case EN_CHANGE:
        if (!c->readOnly)
            changed(f, c->changeRecalculates);
        break;
    case CBN_EDITCHANGE:
        hideRefusal(f);
        changed(f, c->changeRecalculates);
        break;
    case CBN_SELCHANGE:
        // The edit part shows the pick only after this notice.
        ::PostMessageW(f.hwnd, kPicked, c->pickRecalculates, 0);
        break;
    case BN_CLICKED:
        if (c->kind == forms::Kind::Button)
            showForm2(f.hwnd);
        break;
    default:
        break;
    }
}

// Saves what the fields hold; only a close the user made is answered with a
// box when no place takes them.
void unload(Form1& f, bool userClosed) {
    ::KillTimer(f.hwnd, kSaveTimer);
    std::string whyNot;
    if (f.places.save(inputsOf(f), &whyNot) || !userClosed)
        return;
    ::MessageBoxW(f.hwnd, wide(whyNot).c_str(), wide(forms::kForm1.title).c_str(),
                  MB_OK | MB_ICONWARNING);
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
    const forms::Control* frame = forms::findControl(forms::kForm1, "Рамка1");
    ::SetBkColor(dc, colour(inFrame ? frame->back : forms::kForm1.back));
    return inFrame ? f.frameBrush : f.windowBrush;
}

LRESULT CALLBACK form1Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    auto* f = reinterpret_cast<Form1*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (f == nullptr)
        return ::DefWindowProcW(hwnd, message, w, l);
    switch (message) {
    case WM_COMMAND:
        onCommand(*f, w, l);
        return 0;
    case kPicked:
        changed(*f, w != 0);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush = colours(*f, reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        if (const forms::Control* c = designOf(*f, item.hwndItem)) {
            drawButton(item, *c);
            return TRUE;
        }
        break;
    }
    case WM_PAINT:
        paint(*f);
        return 0;
    case WM_ERASEBKGND: {
        RECT all;
        ::GetClientRect(hwnd, &all);
        const auto dc = reinterpret_cast<HDC>(w);
        ::FillRect(dc, &all, f->windowBrush);
        const RECT frame =
            placeOf(forms::kForm1, *forms::findControl(forms::kForm1, "Рамка1"), dpiOf(hwnd));
        ::FillRect(dc, &frame, f->frameBrush);
        return 1;
    }
    case WM_TIMER:
        if (w == kHintsTimer) {
            ::KillTimer(hwnd, kHintsTimer);
            makeHints(*f);
        } else if (w == kRefusalTimer) {
            hideRefusal(*f);
        } else if (w == kSaveTimer) {
            ::KillTimer(hwnd, kSaveTimer);
            std::string whyNot;
            f->places.saveRemembered(whyNot);
        }
        return 0;
    case WM_DPICHANGED:
        followDpi(hwnd, forms::kForm1, f->made, f->fonts, w, l);
        return 0;
    case WM_ACTIVATE:
        // The focus comes back where it was, the mode list at first.
        if (LOWORD(w) == WA_INACTIVE) {
            if (HWND had = ::GetFocus(); had != nullptr && ::IsChild(hwnd, had))
                f->focus = had;
        } else if (!f->made.empty()) {
            ::SetFocus(f->focus != nullptr ? f->focus : (*f)["Комбо2"]);
        }
        return 0;
    case WM_QUERYENDSESSION:
        // The session may yet stay: this saves, and the close saves again.
        unload(*f, false);
        return TRUE;
    case WM_ENDSESSION:
        if (w)
            unload(*f, false);
        return 0;
    case WM_CLOSE:
        unload(*f, true);
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        // Named once the window was up (makeHints), with its hints.
        if (f->tips != nullptr)
            forgetNames(forms::kForm1, f->made);
        ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        ::DeleteObject(f->windowBrush);
        ::DeleteObject(f->frameBrush);
        delete f;
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, w, l);
}

} // namespace

HWND showForm1(HINSTANCE instance, int show) {
    registerClass(instance, kClass, form1Proc);

    auto* f = new Form1;
    f->windowBrush = ::CreateSolidBrush(colour(forms::kForm1.back));
    f->frameBrush = ::CreateSolidBrush(colour(forms::findControl(forms::kForm1, "Рамка1")->back));
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
    if (const int there = dpiOf(f->hwnd); there != dpi)
        fitWindow(f->hwnd, forms::kForm1, there);
    f->shown = f->places.restore();
    f->loading = false;
    ::SetWindowLongPtrW(f->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
    AA(*f);
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
