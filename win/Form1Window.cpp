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

Inputs inputsOf(const Form1& f) {
    return {textOf(f["Комбо1"]), textOf(f["Комбо2"]), textOf(f["Текст1"]),
            textOf(f["Текст2"]), textOf(f["Текст3"]), textOf(f["Текст4"]),
            textOf(f["Текст5"]), textOf(f["Текст6"]), textOf(f["Комбо3"])};
}

void showInList(HWND list, const std::string& text) {
    const std::wstring w = wide(text);
    const LRESULT at =
        ::SendMessageW(list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(w.c_str()));
    ::SendMessageW(list, CB_SETCURSEL, at, 0);
    ::SetWindowTextW(list, w.c_str());
}

void setInputs(Form1& f, const Inputs& in) {
    ::SetWindowTextW(f["Текст1"], wide(in.thickness).c_str());
    ::SetWindowTextW(f["Текст2"], wide(in.upper).c_str());
    ::SetWindowTextW(f["Текст3"], wide(in.lower).c_str());
    ::SetWindowTextW(f["Текст4"], wide(in.length).c_str());
    ::SetWindowTextW(f["Текст5"], wide(in.width).c_str());
    ::SetWindowTextW(f["Текст6"], wide(in.count).c_str());
    showInList(f["Комбо1"], in.alloy);
    showInList(f["Комбо2"], in.mode);
    showInList(f["Комбо3"], in.places);
}

void AA(Form1& f) {
    const MassResult result = massResult(inputsOf(f), Модуль1::AlloyDensity);
    HWND shown = f["Текст7"];
    ::SetWindowTextW(shown, wide(result.mass).c_str());
    const forms::Control& design = *forms::findControl(forms::kForm1, "Текст7");
    f.resultTip = wide(forms::resultTip(design.hint, result));
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
    nameFields(f.made);
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

void build(Form1& f) {
    const int dpi = dpiOf(f.hwnd);
    fitWindow(f.hwnd, forms::kForm1, dpi);
    f.made = makeControls(f.hwnd, forms::kForm1, f.instance, dpi, f.fonts);
    makeRefusalTip(f, f.instance);
    f.owner.picked = [&f](HWND) { changed(f, true); };
    f.owner.refused = [&f](HWND field, const std::string& tip) { showRefusal(f, field, tip); };
    for (const Made& m : f.made) {
        f.byName[m.design->name] = m.hwnd;
        const forms::Control& c = *m.design;
        if (c.kind == forms::Kind::TextField || c.kind == forms::Kind::ListField)
            filterInput(m.hwnd, c, f.owner);
        if (c.kind == forms::Kind::TextField && c.admits != nullptr && c.admits->room > 0)
            ::SendMessageW(m.hwnd, EM_SETLIMITTEXT, WPARAM(c.admits->room), 0);
    }
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
    const bool inFrame = !c->container.empty() || c->kind == forms::Kind::Frame;
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
        } else {
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
    f->hwnd =
        ::CreateWindowExW(WS_EX_CONTROLPARENT, kClass, wide(forms::kForm1.title).c_str(),
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                          CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, nullptr);
    if (f->hwnd == nullptr) {
        delete f;
        return nullptr;
    }
    f->instance = instance;
    build(*f);
    setInputs(*f, f->places.restore());
    f->loading = false;
    ::SetWindowLongPtrW(f->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
    AA(*f);
    ::ShowWindow(f->hwnd, show);
    ::SetFocus((*f)["Комбо2"]);
    // A timer's message comes only once the queue is empty: after the first
    // paint and any key already typed.
    ::SetTimer(f->hwnd, kHintsTimer, USER_TIMER_MINIMUM, nullptr);
    return f->hwnd;
}

} // namespace sheetmass::win
