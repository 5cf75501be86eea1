#pragma once

// What both windows make of the shared window data on Win32: texts, places
// at a monitor's DPI, fonts, colours and the controls themselves.

#include "forms/Form.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace sheetmass::win {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);
std::string textOf(HWND control);

inline COLORREF colour(forms::Rgb rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A control's id: its place in the design's table, from 100 on; tests find
// controls by it.
int controlId(const forms::Window& design, const forms::Control& control);

// Where the control lies in the window's client area at that DPI.
RECT placeOf(const forms::Window& design, const forms::Control& control, int dpi);

// The design's fonts made for one DPI, each once; the design face where the
// system has it, else the first stand-in it has.
class Fonts {
  public:
    Fonts() = default;
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    ~Fonts();
    HFONT get(const forms::Font& font, const forms::Font& windowFont, int dpi);
    void clear();

  private:
    std::map<std::tuple<double, bool, bool, int>, HFONT> m_made;
};

// The controls of a window, made in tab order (which is the dialog keys'
// order), each with its design; labels and the frame take no focus.
struct Made {
    const forms::Control* design;
    HWND hwnd;
};
// Labels and frames as windows of their own, or drawn by the window
// (drawCaptions), which is quicker to start.
enum class Captions { Made, Drawn };
// Each is made at its place and with its font for the DPI: the window is
// sized for that DPI first (fitWindow).
std::vector<Made> makeControls(HWND window, const forms::Window& design, HINSTANCE instance,
                               int dpi, Fonts& fonts, Captions captions = Captions::Made);

// The labels and frames, for a window whose captions are drawn.
void drawCaptions(HDC dc, const forms::Window& design, int dpi, Fonts& fonts);

// A field, list or button as it looks with that text, drawn by the window
// until the control is made over it.
void drawStandIn(HDC dc, const forms::Window& design, const forms::Control& control,
                 const std::wstring& text, int dpi, Fonts& fonts);

// The window's outer size round the design's client area at that DPI.
SIZE outerSize(const forms::Window& design, int dpi, DWORD style, DWORD exStyle);

// Sizes the window round the design's client area at that DPI.
void fitWindow(HWND window, const forms::Window& design, int dpi);

// Places every control and sets its font for another DPI, and sizes the
// window again.
void layOut(HWND window, const forms::Window& design, const std::vector<Made>& made, int dpi,
            Fonts& fonts);

// Moves the window where the system suggests when it reaches a monitor of
// another DPI (WM_DPICHANGED), and lays it out again for that DPI.
void followDpi(HWND window, const forms::Window& design, const std::vector<Made>& made,
               Fonts& fonts, WPARAM w, LPARAM l);

// A button of a designed face colour (made owner-drawn), for WM_DRAWITEM:
// its face, raised or pressed, its caption in its font, the focus rectangle.
void drawButton(const DRAWITEMSTRUCT& item, const forms::Control& design);

// A class of the program's windows: its icon, the arrow, the procedure.
void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

// The DPI of the monitor the window is on, and the system's, which a new
// window starts at.
int dpiOf(HWND window);
int systemDpi();

// A tooltip window for the controls of one window, wide enough for the
// design's hints.
HWND makeTips(HWND window, HINSTANCE instance);
void addTip(HWND tips, HWND window, HWND control, const std::wstring& text);
void setTip(HWND tips, HWND window, HWND control, const std::wstring& text);

// How a tooltip of makeTips() shows a text as one of its tools: its window's
// size, borders and all, and how far inside it lies the corner that a
// tracked tooltip's position places.
struct TipWindow {
    SIZE size;
    POINT inset;
};
TipWindow tipWindow(HWND tips, const TTTOOLINFOW& tool, const std::wstring& text);

} // namespace sheetmass::win
