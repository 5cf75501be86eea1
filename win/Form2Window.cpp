#include "win/Form2Window.h"

#include "forms/Form2.h"
#include "forms/Texts.h"
#include "win/Design.h"

#include <commctrl.h>
#include <shellapi.h>

namespace sheetmass::win {
namespace {

constexpr const wchar_t* kClass = L"sheetmass.Форма2";
constexpr int kPicture = 2; // the resource

struct Form2 {
    HWND hwnd = nullptr;
    std::vector<Made> made;
    Fonts fonts;
    HWND tips = nullptr;
    HWND link = nullptr;
    HBITMAP picture = nullptr;
    HBRUSH back = nullptr;
};

HWND shown = nullptr;

// The desktop's mail program, through the shell; when none answers, the
// address in a box, to be copied from there.
void writeLetter(HWND window) {
    const auto done = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        window, L"open", wide(forms::mailUrl()).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (done > 32)
        return;
    ::MessageBoxW(window, wide(forms::filled(forms::kNoMailProgram, {forms::kMailAddress})).c_str(),
                  wide(forms::kForm2.title).c_str(), MB_OK | MB_ICONWARNING);
}

// The link takes Tab, and Enter or Space write as a click does.
LRESULT CALLBACK linkProc(HWND link, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_GETDLGCODE:
        if (w == VK_RETURN || w == VK_SPACE)
            return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if ((w == VK_RETURN || w == VK_SPACE) && !(l & (1 << 30))) {
            writeLetter(::GetParent(link));
            return 0;
        }
        break;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::InvalidateRect(link, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const LRESULT painted = ::DefSubclassProc(link, message, w, l);
        if (::GetFocus() == link) {
            RECT r;
            ::GetClientRect(link, &r);
            HDC dc = ::GetDC(link);
            ::DrawFocusRect(dc, &r);
            ::ReleaseDC(link, dc);
        }
        return painted;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(link, linkProc, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(link, message, w, l);
}

void build(Form2& f, HINSTANCE instance) {
    const int dpi = dpiOf(f.hwnd);
    fitWindow(f.hwnd, forms::kForm2, dpi);
    f.made = makeControls(f.hwnd, forms::kForm2, instance, dpi, f.fonts);
    f.tips = makeTips(f.hwnd, instance);
    for (const Made& m : f.made) {
        if (!m.design->hint.empty())
            addTip(f.tips, f.hwnd, m.hwnd, wide(m.design->hint));
        if (m.design->name == forms::kMailLink.label) {
            f.link = m.hwnd;
            ::SetWindowLongPtrW(m.hwnd, GWL_STYLE,
                                ::GetWindowLongPtrW(m.hwnd, GWL_STYLE) | WS_TABSTOP);
            ::SetWindowSubclass(m.hwnd, linkProc, 0, 0);
        }
    }
}

void centre(HWND window, HWND owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT r;
    ::GetWindowRect(window, &r);
    const RECT& work = monitor.rcWork;
    ::SetWindowPos(window, nullptr, work.left + (work.right - work.left - (r.right - r.left)) / 2,
                   work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
}

void paint(const Form2& f) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(f.hwnd, &ps);
    RECT all;
    ::GetClientRect(f.hwnd, &all);
    ::FillRect(dc, &all, f.back);
    BITMAP size{};
    if (f.picture != nullptr && ::GetObjectW(f.picture, sizeof size, &size)) {
        // In the window's pixels: it grows with the layout.
        const int dpi = dpiOf(f.hwnd);
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, f.picture);
        ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, 0, 0, ::MulDiv(size.bmWidth, dpi, 96), ::MulDiv(size.bmHeight, dpi, 96),
                     source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    }
    ::EndPaint(f.hwnd, &ps);
}

LRESULT CALLBACK form2Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    auto* f = reinterpret_cast<Form2*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (f == nullptr)
        return ::DefWindowProcW(hwnd, message, w, l);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint(*f);
        return 0;
    case WM_CTLCOLORSTATIC: {
        // Over the picture: the text alone, in the design's colour.
        const auto dc = reinterpret_cast<HDC>(w);
        for (const Made& m : f->made)
            if (m.hwnd == reinterpret_cast<HWND>(l))
                ::SetTextColor(dc, colour(m.design->textColour));
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
        if (LOWORD(w) == IDCANCEL) {
            ::DestroyWindow(hwnd);
        } else if (reinterpret_cast<HWND>(l) == f->link && HIWORD(w) == STN_CLICKED) {
            writeLetter(hwnd);
        }
        return 0;
    case WM_DPICHANGED:
        followDpi(hwnd, forms::kForm2, f->made, f->fonts, w, l);
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        ::DeleteObject(f->picture);
        ::DeleteObject(f->back);
        delete f;
        shown = nullptr;
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, w, l);
}

} // namespace

void showForm2(HWND owner) {
    if (shown != nullptr) {
        ::SetForegroundWindow(shown);
        return;
    }
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    registerClass(instance, kClass, form2Proc);
    auto* f = new Form2;
    f->back = ::CreateSolidBrush(colour(forms::kForm2.back));
    f->picture = static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kPicture), IMAGE_BITMAP, 0, 0, 0));
    f->hwnd = ::CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, kClass,
                                wide(forms::kForm2.title).c_str(),
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                CW_USEDEFAULT, 100, 100, owner, nullptr, instance, nullptr);
    if (f->hwnd == nullptr) {
        delete f;
        return;
    }
    build(*f, instance);
    ::SetWindowLongPtrW(f->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
    shown = f->hwnd;
    centre(f->hwnd, owner);
    ::ShowWindow(f->hwnd, SW_SHOW);
}

bool form2Keys(MSG& message) {
    if (shown == nullptr)
        return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        (message.hwnd == shown || ::IsChild(shown, message.hwnd))) {
        ::DestroyWindow(shown);
        return true;
    }
    return ::IsDialogMessageW(shown, &message);
}

} // namespace sheetmass::win
