// Reads the running calculator's windows through their own controls, found
// by control id, for the window test's shell script: where a control is on
// the screen, and what it holds, waiting until it holds what is expected.
// Usage: window_probe start PROGRAM [FILE] | ended MS | kill MS | wait-window FORM MS | gone FORM
// MS | where FORM NAME
//        | focus FORM NAME | text FORM NAME | tooltip FORM WORDS [whole|clear] | quiet FORM MS |
//        menu FORM MS |
//        captions FORM [FACE] | face FORM NAME |
//        place FORM NAME | drop FORM NAME TEXT | drop-file FORM NAME|FORM PATH | filebox FORM WORDS
//        | limit FORM NAME | font FORM NAME FACE
// The program's process id comes in PROBE_PID. | until FORM NAME TEXT MS | close FORM
#include "forms/Form1.h"
#include "forms/Form2.h"
#include "forms/Texts.h"

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace sheetmass;

std::string utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(std::size_t(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()),
                                                 out.data(), int(out.size()), nullptr, nullptr)));
    return out;
}

std::wstring wideOf(std::string_view text) {
    std::wstring out(text.size(), L'\0');
    out.resize(std::size_t(::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()),
                                                 out.data(), int(out.size()))));
    return out;
}

const forms::Window& formNamed(const std::string& name) {
    return name == forms::kForm2.name ? forms::kForm2 : forms::kForm1;
}

// The program the test started: its process id, from the environment.
DWORD program() {
    wchar_t text[32] = {};
    return ::GetEnvironmentVariableW(L"PROBE_PID", text, 32)
               ? DWORD(std::wcstoul(text, nullptr, 10))
               : 0;
}

HWND windowOf(const forms::Window& form) {
    const std::wstring cls =
        std::wstring(L"sheetmass.") + (form.name == forms::kForm2.name ? L"Форма2" : L"Форма1");
    for (HWND w = ::FindWindowExW(nullptr, nullptr, cls.c_str(), nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, cls.c_str(), nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == program() && ::IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

HWND controlOf(const forms::Window& form, const std::string& name) {
    const forms::Control* c = forms::findControl(form, name);
    HWND w = windowOf(form);
    return c == nullptr || w == nullptr ? nullptr
                                        : ::GetDlgItem(w, 100 + int(c - form.controls.data()));
}

std::string textOf(HWND control) {
    wchar_t text[512] = {};
    DWORD_PTR n = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                          2000, &n);
    return utf8(text);
}

constexpr const wchar_t* kTips = L"tooltips_class32";

// The program's top-level windows of that class on the screen.
std::vector<HWND> shownOf(const wchar_t* cls) {
    std::vector<HWND> shown;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, cls, nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, cls, nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == program() && ::IsWindowVisible(w))
            shown.push_back(w);
    }
    return shown;
}

// Asks again and again until the answer comes or the time is up.
template <class Ready> bool within(int ms, Ready ready) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Which face the control's font is, read from outside: it lays its text
// out as wide as the face does at the design's size, the face installed
// under its own name.
bool inFace(const forms::Window& form, const forms::Control& c, HWND edit,
            const std::wstring& face) {
    wchar_t text[512] = {};
    const int n = int(::SendMessageW(edit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text)));
    const auto x = [&](int at) {
        return int(short(LOWORD(::SendMessageW(edit, EM_POSFROMCHAR, WPARAM(at), 0))));
    };
    const int laid = n > 1 ? x(n - 1) - x(0) : 0;
    const forms::Font& f = c.font.points > 0 ? c.font : form.font;
    LOGFONTW wanted{};
    wanted.lfHeight = -int(f.points * ::GetDpiForSystem() / 72 + 0.5);
    wanted.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    wanted.lfCharSet = RUSSIAN_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    HDC dc = ::CreateCompatibleDC(nullptr);
    const HFONT font = ::CreateFontIndirectW(&wanted);
    const HGDIOBJ was = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, std::max(n - 1, 0), &size);
    wchar_t got[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, got);
    ::SelectObject(dc, was);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    if (face == got && n > 1 && laid == size.cx)
        return true;
    std::fprintf(stderr, "«%s» laid out %d px wide; in %s (%s) %ld px\n", utf8(text).c_str(), laid,
                 utf8(face).c_str(), utf8(got).c_str(), size.cx);
    return false;
}

// A copy of part of the screen, or a text drawn black on white, as rows of
// pixels, and how wide its ink is: from the first column with a dark pixel
// to the last, among those `counts`.
struct Shot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    bool dark(int x, int y) const {
        const std::uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
        return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 3 * 128;
    }
    template <class Counts> int inkWidth(RECT r, Counts counts) const {
        int first = INT_MAX, last = -1;
        for (int y = std::max(0, int(r.top)); y < std::min(height, int(r.bottom)); ++y)
            for (int x = std::max(0, int(r.left)); x < std::min(width, int(r.right)); ++x)
                if (counts(x, y) && dark(x, y)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return last < 0 ? 0 : last - first + 1;
    }
};

// `draw` paints into a white bitmap of that size, or the screen at `at` is
// copied into it.
template <class Draw> Shot shot(int width, int height, Draw draw) {
    Shot out{width, height, std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ was = ::SelectObject(dc, bitmap);
    draw(dc);
    ::GdiFlush();
    std::memcpy(out.pixels.data(), bits, out.pixels.size() * 4);
    ::SelectObject(dc, was);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
    return out;
}

Shot screenShot(RECT r) {
    return shot(int(r.right - r.left), int(r.bottom - r.top), [&](HDC dc) {
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
    });
}

// How wide the text's ink is, drawn in that font.
int inkWidthIn(const std::wstring& text, const LOGFONTW& lf) {
    const Shot drawn = shot(1200, 100, [&](HDC dc) {
        RECT all = {0, 0, 1200, 100};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        const HFONT font = ::CreateFontIndirectW(&lf);
        const HGDIOBJ was = ::SelectObject(dc, font);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextW(dc, text.c_str(), int(text.size()), &all, DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, was);
        ::DeleteObject(font);
    });
    return drawn.inkWidth({0, 0, 1200, 100}, [](int, int) { return true; });
}

LOGFONTW fontOf(const std::wstring& face, int pixels, bool bold) {
    LOGFONTW lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = RUSSIAN_CHARSET;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return lf;
}

// A text, or a file as Explorer drags one (CF_HDROP), dragged from this
// process, as another program's drag would come.
class Dragged final : public IDataObject, public IDropSource {
  public:
    Dragged(std::wstring text, bool file) : text_(std::move(text)), file_(file) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IDataObject)
            *out = static_cast<IDataObject*>(this);
        else if (id == IID_IDropSource)
            *out = static_cast<IDropSource*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override { return --count_; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        // A file's list: its head, then the names, each ended, and one more end.
        const SIZE_T head = file_ ? sizeof(DROPFILES) : 0;
        const SIZE_T bytes = head + (text_.size() + 1 + (file_ ? 1 : 0)) * sizeof(wchar_t);
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
        auto* at = static_cast<char*>(::GlobalLock(copy));
        if (file_) {
            DROPFILES files{};
            files.pFiles = DWORD(head);
            files.fWide = TRUE;
            std::memcpy(at, &files, head);
        }
        std::memcpy(at + head, text_.c_str(), text_.size() * sizeof(wchar_t));
        ::GlobalUnlock(copy);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == (file_ ? CF_HDROP : CF_UNICODETEXT) &&
                       (format->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    // Held over the field a few rounds, so the field is entered, then let go.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        return ++rounds_ < 4 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    std::wstring text_;
    bool file_;
    ULONG count_ = 1;
    int rounds_ = 0;
};

// Whether the tooltip shows its one line of text whole: its ink as wide as
// the text's in the system's font for tooltips.
bool whole(HWND tip) {
    wchar_t text[512] = {};
    ::SendMessageTimeoutW(tip, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                          nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const int designed = inkWidthIn(text, metrics.lfStatusFont);
    int drawn = 0;
    // Inside its border, once it is drawn.
    const bool same = within(2000, [&] {
        RECT r;
        ::GetWindowRect(tip, &r);
        const Shot shot = screenShot(r);
        drawn =
            shot.inkWidth({2, 2, shot.width - 2, shot.height - 2}, [](int, int) { return true; });
        return std::abs(drawn - designed) <= 2;
    });
    if (!same)
        std::fprintf(stderr, "«%s» shows %d px wide, and is %d\n", utf8(text).c_str(), drawn,
                     designed);
    return same;
}

// Whether the tooltip lies clear of every field and list of the window;
// those it covers are named.
bool clear(const forms::Window& form, HWND tip) {
    RECT shown, covered;
    ::GetWindowRect(tip, &shown);
    bool clear = true;
    for (const forms::Control& c : form.controls) {
        RECT input;
        if ((c.kind != forms::Kind::TextField && c.kind != forms::Kind::ListField) ||
            !::GetWindowRect(controlOf(form, std::string(c.name)), &input) ||
            !::IntersectRect(&covered, &shown, &input))
            continue;
        std::fprintf(stderr, "the tooltip at %ld %ld %ld %ld covers %.*s at %ld %ld %ld %ld\n",
                     shown.left, shown.top, shown.right, shown.bottom, int(c.name.size()),
                     c.name.data(), input.left, input.top, input.right, input.bottom);
        clear = false;
    }
    return clear;
}

// Each label's place on the screen holds ink: the window draws its
// captions, which have no window of their own. Given the face, each is as
// wide as its text in the design's weight, and not as in the other, for
// bold letters are wider. Those that are not so are named.
int captions(const forms::Window& form, const std::wstring& face) {
    HWND w = nullptr;
    if (!within(5000, [&] { return (w = windowOf(form)) != nullptr; }))
        return 1;
    // The DPI of the display's one monitor: Wine answers another process's
    // GetDpiForWindow with 96 whatever the window's.
    const int dpi = int(::GetDpiForSystem());
    // The client area as the screen shows it, copied once.
    RECT client;
    ::GetClientRect(w, &client);
    ::MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const Shot screen = screenShot(client);
    const auto px = [dpi](int twips) { return forms::twipsToPixels(twips, dpi); };
    const auto placeOf = [&](const forms::Control& c) {
        const forms::Place p = forms::placeInWindow(form, c);
        return RECT{px(p.left), px(p.top), px(p.left + p.width), px(p.top + p.height)};
    };
    // Ink of the label's own: not where a control lies over it.
    const auto own = [&](int x, int y) {
        for (const forms::Control& other : form.controls) {
            const RECT r = placeOf(other);
            if (other.kind != forms::Kind::Label && other.kind != forms::Kind::Frame &&
                x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                return false;
        }
        return true;
    };
    int wrong = 0;
    for (const forms::Control& c : form.controls) {
        if (c.kind != forms::Kind::Label)
            continue;
        const int shown = screen.inkWidth(placeOf(c), own);
        bool right = shown >= 10;
        if (right && !face.empty()) {
            const forms::Font& f = c.font.points > 0 ? c.font : form.font;
            const int pixels = int(f.points * dpi / 72 + 0.5);
            const std::wstring text = wideOf(c.text);
            const int designed = inkWidthIn(text, fontOf(face, pixels, f.bold));
            const int other = inkWidthIn(text, fontOf(face, pixels, !f.bold));
            right = std::abs(shown - designed) < std::abs(shown - other);
            if (!right)
                std::fprintf(stderr, "%.*s: %d px wide, in the design's weight %d, else %d\n",
                             int(c.name.size()), c.name.data(), shown, designed, other);
        }
        if (!right) {
            std::printf("%.*s\n", int(c.name.size()), c.name.data());
            ++wrong;
        }
    }
    return wrong == 0 ? 0 : 1;
}

// The pointer over the control (a window: just inside its client area's
// corner, where no control is), and the text or the file let go there.
int dropped(HWND over, const wchar_t* what, bool file) {
    RECT r;
    ::GetWindowRect(over, &r);
    POINT corner{4, 4};
    ::ClientToScreen(over, &corner);
    if (file && ::GetParent(over) == nullptr)
        ::SetCursorPos(corner.x, corner.y);
    else
        ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (FAILED(::OleInitialize(nullptr)))
        return 1;
    Dragged dragged(what, file);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT done = ::DoDragDrop(&dragged, &dragged, DROPEFFECT_COPY, &effect);
    ::OleUninitialize();
    std::printf("%s\n", done == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY ? "dropped" : "not");
    return 0;
}

// A box of the program's (a task dialog) whose text begins with the words:
// its texts, then its buttons' in brackets, each on a line; answered with OK.
int fileBox(const std::string& words) {
    HWND box = nullptr;
    std::string said;
    const auto read = [&](HWND w) {
        said.clear();
        for (HWND c = ::GetWindow(w, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
            wchar_t kind[32] = {};
            ::GetClassNameW(c, kind, 32);
            const std::string text = textOf(c);
            if (text.empty() || !::IsWindowVisible(c))
                continue;
            said += std::wstring(kind) == L"Button" ? "[" + text + "]\n" : text + "\n";
        }
        return said.starts_with(words);
    };
    const auto shown = [&] {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
             w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == program() && ::IsWindowVisible(w) && read(w))
                return (box = w) != nullptr;
        }
        return false;
    };
    if (!within(10000, shown)) {
        std::fprintf(stderr, "no box «%s…» shown; the last seen: «%s»\n", words.c_str(),
                     said.c_str());
        return 1;
    }
    std::printf("%s", said.c_str());
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Places and pixels as the program sees them, unscaled.
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    std::vector<std::string> a;
    for (int i = 1; i < argc; ++i)
        a.push_back(utf8(argv[i]));
    if (a.size() < 2)
        return 2;
    if (a[0] == "start") {
        // The program, in its own folder; its id for the other commands.
        STARTUPINFOW start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION run{};
        std::wstring line = L"\"" + std::wstring(argv[2]) + L"\"";
        if (argc > 3)
            line += L" \"" + std::wstring(argv[3]) + L"\"";
        if (!::CreateProcessW(argv[2], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &start, &run))
            return 1;
        std::printf("%lu\n", run.dwProcessId);
        return 0;
    }
    if (a[0] == "ended" || a[0] == "kill") {
        HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, program());
        if (process == nullptr)
            return 0;
        if (a[0] == "kill")
            ::TerminateProcess(process, 1);
        const DWORD waited = ::WaitForSingleObject(process, DWORD(std::stoi(a[1])));
        ::CloseHandle(process);
        return waited == WAIT_OBJECT_0 ? 0 : 1;
    }
    const forms::Window& form = formNamed(a[1]);
    const std::string& command = a[0];
    if (command == "wait-window")
        return within(std::stoi(a[2]), [&] { return windowOf(form) != nullptr; }) ? 0 : 1;
    if (command == "gone")
        return within(std::stoi(a[2]), [&] { return windowOf(form) == nullptr; }) ? 0 : 1;
    if (command == "close") {
        ::PostMessageW(windowOf(form), WM_CLOSE, 0, 0);
        return 0;
    }
    // No tooltip of the program's on screen; a menu of its open.
    if (command == "quiet")
        return within(std::stoi(a[2]), [] { return shownOf(kTips).empty(); }) ? 0 : 1;
    if (command == "menu")
        return within(std::stoi(a[2]), [] { return !shownOf(L"#32768").empty(); }) ? 0 : 1;
    if (command == "tooltip" && a.size() > 2) {
        // A tooltip of the program's on screen that begins with the words;
        // with "whole", one whose text shows whole; with "clear", one clear
        // of the window's inputs.
        HWND tip = nullptr;
        const auto shown = [&] {
            for (HWND w : shownOf(kTips))
                if (textOf(w).starts_with(a[2]))
                    return (tip = w) != nullptr;
            return false;
        };
        if (within(5000, shown)) {
            const std::string check = a.size() > 3 ? a[3] : "";
            const bool as = check == "whole" ? whole(tip) : check != "clear" || clear(form, tip);
            return as ? 0 : 1;
        }
        std::fprintf(stderr, "no tooltip «%s…» shown\n", a[2].c_str());
        for (HWND w : shownOf(kTips))
            std::fprintf(stderr, "  shown: «%s»\n", textOf(w).c_str());
        return 1;
    }
    if (command == "box" && a.size() > 2) {
        // A message box of the program's whose text begins with the words,
        // answered with OK.
        HWND box = nullptr;
        const auto shown = [&] {
            for (HWND w : shownOf(L"#32770"))
                if (textOf(::GetDlgItem(w, 0xFFFF)).starts_with(a[2]))
                    return (box = w) != nullptr;
            return false;
        };
        if (!within(5000, shown)) {
            std::fprintf(stderr, "no box «%s…» shown\n", a[2].c_str());
            return 1;
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (command == "filebox" && a.size() > 2)
        return fileBox(a[2]);
    if (command == "drop-file" && a.size() > 3 && a[2] == a[1])
        return dropped(windowOf(form), argv[4], true);
    if (command == "captions")
        return captions(form, a.size() > 2 ? argv[3] : L"");
    // The control, once its window is there and shown.
    HWND control = nullptr;
    if (a.size() < 3 ||
        !within(5000, [&] { return (control = controlOf(form, a[2])) != nullptr; })) {
        std::fprintf(stderr, "no control %s in %s\n", a.size() > 2 ? a[2].c_str() : "",
                     a[1].c_str());
        return 1;
    }
    if (command == "where") {
        RECT r;
        ::GetWindowRect(control, &r);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return 0;
    }
    if (command == "place") {
        // Left, top, right, bottom in the window's client area.
        RECT r;
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (command == "face") {
        // The colour on the screen just inside the control's left edge,
        // past any border, halfway down: its face, as RRGGBB.
        RECT r;
        ::GetWindowRect(control, &r);
        HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, r.left + 3, (r.top + r.bottom) / 2);
        ::ReleaseDC(nullptr, screen);
        std::printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
        return 0;
    }
    if (command == "focus") {
        // The keys go where the focus is: to the control or its edit part.
        const DWORD thread = ::GetWindowThreadProcessId(control, nullptr);
        const bool got = within(5000, [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return ::GetGUIThreadInfo(thread, &info) &&
                   (info.hwndFocus == control || ::IsChild(control, info.hwndFocus));
        });
        if (!got)
            std::fprintf(stderr, "%s never took the focus\n", a[2].c_str());
        return got ? 0 : 1;
    }
    if ((command == "drop" || command == "drop-file") && a.size() > 3)
        return dropped(control, argv[4], command == "drop-file");
    if (command == "selection") {
        // A list's selected text in its edit part, as first and last+1.
        DWORD first = 0, end = 0;
        ::SendMessageW(control, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&first),
                       reinterpret_cast<LPARAM>(&end));
        std::printf("%lu %lu\n", first, end);
        return 0;
    }
    // A list's edit part, where its text is; a field is its own.
    HWND edit = ::FindWindowExW(control, nullptr, L"Edit", nullptr);
    edit = edit != nullptr ? edit : control;
    if (command == "limit") {
        // The most characters the edit takes from the keys.
        std::printf("%lu\n", DWORD(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)));
        return 0;
    }
    if (command == "font" && a.size() > 3)
        return inFace(form, *forms::findControl(form, a[2]), edit, argv[4]) ? 0 : 1;
    if (command == "text") {
        std::printf("%s\n", textOf(control).c_str());
        return 0;
    }
    if (command == "until" && a.size() > 4) {
        if (within(std::stoi(a[4]), [&] { return textOf(control) == a[3]; }))
            return 0;
        std::fprintf(stderr, "%s holds «%s», not «%s»\n", a[2].c_str(), textOf(control).c_str(),
                     a[3].c_str());
        return 1;
    }
    return 2;
}
