#include "win/Design.h"

#include "behaviour/Form1Behaviour.h"

#include "forms/Texts.h"

#include <commctrl.h>

#include <algorithm>
#include <ranges>
#include <tuple>

namespace sheetmass::win {

std::wstring wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr,
                          nullptr);
    return out;
}

namespace {

std::wstring wideTextOf(HWND control) {
    std::wstring text(std::size_t(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(control, text.data(), int(text.size()))));
    return text;
}

} // namespace

std::string textOf(HWND control) {
    return utf8(wideTextOf(control));
}

int controlId(const forms::Window& design, const forms::Control& control) {
    return 100 + int(&control - design.controls.data());
}

RECT placeOf(const forms::Window& design, const forms::Control& control, int dpi) {
    const forms::Place p = forms::placeInWindow(design, control);
    const auto px = [dpi](int twips) { return forms::twipsToPixels(twips, dpi); };
    return {px(p.left), px(p.top), px(p.left + p.width), px(p.top + p.height)};
}

namespace {

// A face that scales: a raster face (Windows' own «MS Sans Serif» is one)
// has neither the sizes of other DPIs nor, under Wine, its bold letters.
int CALLBACK found(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM any) {
    if ((type & RASTER_FONTTYPE) != 0)
        return 1;
    *reinterpret_cast<bool*>(any) = true;
    return 0;
}

bool installed(const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool any = false;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(screen, &wanted, found, reinterpret_cast<LPARAM>(&any), 0);
    ::ReleaseDC(nullptr, screen);
    return any;
}

// Asked once: the list of faces does not change while the program runs.
const std::wstring& face() {
    static const std::wstring chosen =
        wide(behaviour::faceFor([](std::string_view name) { return installed(wide(name)); }));
    return chosen;
}

} // namespace

Fonts::~Fonts() {
    clear();
}

void Fonts::clear() {
    for (auto& [key, font] : m_made)
        ::DeleteObject(font);
    m_made.clear();
}

HFONT Fonts::get(const forms::Font& font, const forms::Font& windowFont, int dpi) {
    const forms::Font& f = font.points > 0 ? font : windowFont;
    const double points = f.points > 0 ? f.points : 8.25;
    const auto key = std::make_tuple(points, f.bold, f.underline, dpi);
    if (const auto at = m_made.find(key); at != m_made.end())
        return at->second;
    LOGFONTW lf{};
    lf.lfHeight = -int(points * dpi / 72 + 0.5);
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = f.underline;
    lf.lfCharSet = RUSSIAN_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    face().copy(lf.lfFaceName, LF_FACESIZE - 1);
    return m_made[key] = ::CreateFontIndirectW(&lf);
}

namespace {

struct Class {
    const wchar_t* name;
    DWORD style;
};

Class classOf(const forms::Control& c) {
    switch (c.kind) {
    case forms::Kind::Label:
        return {WC_STATICW, DWORD(SS_NOTIFY | (c.align == forms::Align::Centre ? SS_CENTER : 0))};
    case forms::Kind::TextField:
        return {WC_EDITW,
                DWORD(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | (c.readOnly ? ES_READONLY : 0))};
    case forms::Kind::ListField:
        return {WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL};
    case forms::Kind::Frame:
        return {WC_BUTTONW, BS_GROUPBOX};
    case forms::Kind::Button:
        // A face of the design's colour is drawn by the program (drawButton).
        return {WC_BUTTONW, DWORD(WS_TABSTOP |
                                  (c.back != forms::kSystemColour ? BS_OWNERDRAW : BS_PUSHBUTTON))};
    }
    return {WC_STATICW, 0};
}

} // namespace

namespace {

// Where a control goes at that DPI; a list's rectangle reaches down to
// where its dropped list ends.
RECT boundsOf(const forms::Window& design, const forms::Control& c, int dpi) {
    RECT r = placeOf(design, c, dpi);
    if (c.kind == forms::Kind::ListField)
        r.bottom += ::MulDiv(200, dpi, 96);
    return r;
}

void dress(HWND control, const forms::Window& design, const forms::Control& c, int dpi,
           Fonts& fonts) {
    if (c.kind == forms::Kind::ListField) {
        // The edit part as designed.
        const RECT r = placeOf(design, c, dpi);
        ::SendMessageW(control, CB_SETITEMHEIGHT, WPARAM(-1),
                       std::max(1, int(r.bottom - r.top) - ::MulDiv(6, dpi, 96)));
    }
    ::SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(fonts.get(c.font, design.font, dpi)), FALSE);
}

} // namespace

namespace {

bool isCaption(const forms::Control& c) {
    return c.kind == forms::Kind::Label || c.kind == forms::Kind::Frame;
}

} // namespace

std::vector<Made> makeControls(HWND window, const forms::Window& design, HINSTANCE instance,
                               int dpi, Fonts& fonts, Captions captions) {
    std::vector<const forms::Control*> order;
    for (const forms::Control& c : design.controls)
        if (captions == Captions::Made || !isCaption(c))
            order.push_back(&c);
    // Creation order, where none is designed.
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return (a->tabIndex < 0 ? 1000 : a->tabIndex) < (b->tabIndex < 0 ? 1000 : b->tabIndex);
    });
    std::vector<Made> made;
    for (const forms::Control* c : order) {
        const Class cls = classOf(*c);
        // Made where they stay: under Wine, every later move costs start-up.
        const RECT r = boundsOf(design, *c, dpi);
        HWND hwnd = ::CreateWindowExW(
            c->kind == forms::Kind::TextField ? WS_EX_CLIENTEDGE : 0, cls.name,
            wide(c->text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | cls.style, r.left,
            r.top, r.right - r.left, r.bottom - r.top, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(design, *c))), instance,
            nullptr);
        dress(hwnd, design, *c, dpi, fonts);
        for (std::string_view entry : c->entries)
            ::SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
        made.push_back({c, hwnd});
    }
    // Labels lie beneath the other controls, as the design's windowless
    // labels do, each made later over those before it, and the frame
    // beneath its labels; no stop of the tab order moves.
    for (const forms::Kind below : {forms::Kind::Label, forms::Kind::Frame})
        for (const Made& m : std::views::reverse(made))
            if (m.design->kind == below)
                ::SetWindowPos(m.hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return made;
}

SIZE outerSize(const forms::Window& design, int dpi, DWORD style, DWORD exStyle) {
    RECT outer = {0, 0, forms::twipsToPixels(design.width, dpi),
                  forms::twipsToPixels(design.height, dpi)};
    using Adjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<Adjust>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjust != nullptr)
        adjust(&outer, style, FALSE, exStyle, UINT(dpi));
    else
        ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void fitWindow(HWND window, const forms::Window& design, int dpi) {
    const SIZE outer = outerSize(design, dpi, DWORD(::GetWindowLongPtrW(window, GWL_STYLE)),
                                 DWORD(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    ::SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void layOut(HWND window, const forms::Window& design, const std::vector<Made>& made, int dpi,
            Fonts& fonts) {
    fonts.clear();
    for (const Made& m : made) {
        const RECT r = boundsOf(design, *m.design, dpi);
        ::MoveWindow(m.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        dress(m.hwnd, design, *m.design, dpi, fonts);
    }
    fitWindow(window, design, dpi);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void followDpi(HWND window, const forms::Window& design, const std::vector<Made>& made,
               Fonts& fonts, WPARAM w, LPARAM l) {
    const auto* suggested = reinterpret_cast<const RECT*>(l);
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOut(window, design, made, HIWORD(w), fonts);
}

namespace {

void paintButton(HDC dc, RECT r, bool pressed, HFONT font, const forms::Control& design) {
    HBRUSH face = ::CreateSolidBrush(colour(design.back));
    ::FillRect(dc, &r, face);
    ::DeleteObject(face);
    ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    // The caption moves with the face as it goes down.
    if (pressed)
        ::OffsetRect(&r, 1, 1);
    const std::wstring text = wide(design.text);
    const HGDIOBJ was = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, design.textColour != forms::kSystemColour ? colour(design.textColour)
                                                                 : ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, was);
}

COLORREF textColour(const forms::Control& c, int system) {
    return c.textColour != forms::kSystemColour ? colour(c.textColour) : ::GetSysColor(system);
}

} // namespace

void drawButton(const DRAWITEMSTRUCT& item, const forms::Control& design) {
    paintButton(item.hDC, item.rcItem, (item.itemState & ODS_SELECTED) != 0,
                reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)), design);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

void drawCaptions(HDC dc, const forms::Window& design, int dpi, Fonts& fonts) {
    ::SetBkMode(dc, TRANSPARENT);
    for (const forms::Control& c : design.controls) {
        if (!isCaption(c))
            continue;
        RECT r = placeOf(design, c, dpi);
        const HGDIOBJ was = ::SelectObject(dc, fonts.get(c.font, design.font, dpi));
        const std::wstring text = wide(c.text);
        if (c.kind == forms::Kind::Frame) {
            // A group box's edge, which runs through its caption's middle.
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(dc, &metrics);
            r.top += metrics.tmHeight / 2 - 1;
            ::DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        } else {
            ::SetTextColor(dc, textColour(c, COLOR_WINDOWTEXT));
            ::DrawTextW(dc, text.c_str(), int(text.size()), &r,
                        DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX |
                            (c.align == forms::Align::Centre ? DT_CENTER : DT_LEFT));
        }
        ::SelectObject(dc, was);
    }
}

void drawStandIn(HDC dc, const forms::Window& design, const forms::Control& c,
                 const std::wstring& text, int dpi, Fonts& fonts) {
    RECT r = placeOf(design, c, dpi);
    const HFONT font = fonts.get(c.font, design.font, dpi);
    if (c.kind == forms::Kind::Button) {
        paintButton(dc, r, false, font, c);
        return;
    }
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (c.kind == forms::Kind::ListField) {
        RECT arrow = r;
        arrow.left = arrow.right - ::GetSystemMetrics(SM_CXVSCROLL);
        ::DrawFrameControl(dc, &arrow, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
        r.right = arrow.left;
    }
    ::InflateRect(&r, -1, -1);
    const HGDIOBJ was = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, textColour(c, COLOR_WINDOWTEXT));
    ::DrawTextW(dc, text.c_str(), int(text.size()), &r,
                DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_LEFT);
    ::SelectObject(dc, was);
}

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = procedure;
    cls.hInstance = instance;
    cls.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = name;
    ::RegisterClassExW(&cls);
}

int systemDpi() {
    using ForSystem = UINT(WINAPI*)();
    static const auto forSystem = reinterpret_cast<ForSystem>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
    if (forSystem != nullptr)
        return int(forSystem());
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int dpiOf(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = reinterpret_cast<ForWindow>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow != nullptr)
        if (const UINT dpi = forWindow(window); dpi != 0)
            return int(dpi);
    return systemDpi();
}

namespace {

// How wide the tooltip must be for a text: its longest line, a letter to
// spare, the margins and the border.
LONG neededWidth(HWND tips, const std::wstring& text) {
    HDC dc = ::GetDC(tips);
    const HGDIOBJ was =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(tips, WM_GETFONT, 0, 0)));
    RECT r{};
    ::DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_NOPREFIX | DT_CALCRECT);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, was);
    ::ReleaseDC(tips, dc);
    RECT margin{}, outer{}, inner{};
    ::SendMessageW(tips, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    ::GetWindowRect(tips, &outer);
    ::GetClientRect(tips, &inner);
    constexpr LONG kPadding = 2; // each side, within the margin
    return r.right + metrics.tmAveCharWidth + margin.left + margin.right + 2 * kPadding +
           (outer.right - outer.left) - inner.right;
}

// Under Wine a tooltip with Cyrillic in it draws its text, at some sizes
// of its font, a few pixels wider than it measures it, and cuts off the
// last letter: it is made as wide as the text needs, with room to spare.
LRESULT CALLBACK wholeTip(HWND tips, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (message == WM_WINDOWPOSCHANGING) {
        if (auto& place = *reinterpret_cast<WINDOWPOS*>(l); (place.flags & SWP_NOSIZE) == 0)
            place.cx = std::max(place.cx, int(neededWidth(tips, wideTextOf(tips))));
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(tips, wholeTip, 0);
    }
    return ::DefSubclassProc(tips, message, w, l);
}

} // namespace

TipWindow tipWindow(HWND tips, const TTTOOLINFOW& tool, const std::wstring& text) {
    const auto bubble =
        DWORD(::SendMessageW(tips, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT outer{}, inner{};
    ::GetWindowRect(tips, &outer);
    ::GetClientRect(tips, &inner);
    POINT corner{0, 0};
    ::ClientToScreen(tips, &corner);
    const LONG borders = (outer.right - outer.left) - inner.right;
    return {{std::max(LONG(LOWORD(bubble)) + borders, neededWidth(tips, text)),
             LONG(HIWORD(bubble)) + (outer.bottom - outer.top) - inner.bottom},
            {corner.x - outer.left, corner.y - outer.top}};
}

HWND makeTips(HWND window, HINSTANCE instance) {
    HWND tips =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    ::SetWindowSubclass(tips, wholeTip, 0, 0);
    // Line breaks as the texts have them.
    ::SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 600);
    return tips;
}

namespace {

TTTOOLINFOW toolFor(HWND window, HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    return tool;
}

} // namespace

void addTip(HWND tips, HWND window, HWND control, const std::wstring& text) {
    TTTOOLINFOW tool = toolFor(window, control, text);
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void setTip(HWND tips, HWND window, HWND control, const std::wstring& text) {
    TTTOOLINFOW tool = toolFor(window, control, text);
    ::SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace sheetmass::win
