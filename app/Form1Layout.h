#pragma once

#include <QRect>
#include <QRgb>

#include <array>
#include <cstdint>

// The main window as designed: every control with its place and size in
// twips, text, tab order, colours and key filter. Built in one place from here.
namespace form1 {

enum class Kind { Label, TextField, ListField, Frame, Button };

inline constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;
inline constexpr int kNoTab = -1;

struct ControlSpec {
    const char* name;
    Kind kind;
    bool inFrame;                 // placed inside Рамка1, relative to its corner
    int left, top, width, height; // twips
    int tabIndex;
    const char* text;                     // labels and the button; nullptr elsewhere
    std::uint32_t textColour = kNoColour; // 0xRRGGBB
    std::uint32_t faceColour = kNoColour; // button face
    const char* admitted = nullptr;       // characters a key press may type; nullptr: no filter
    int maxLength = 0;                    // longest text the field keeps; 0: unbounded
    const char* caption = nullptr;        // the field whose caption this label is
};

inline constexpr int kClientWidth = 3990;
inline constexpr int kClientHeight = 5655;
inline constexpr std::uint32_t kWindowBackground = 0xF5FFFA;
inline constexpr std::uint32_t kFrameBackground = 0xFFFFF5;
inline constexpr const char* kTitle = "Масса AL листов";
inline constexpr const char* kButtonTooltip = "О программе";
inline constexpr double kFontPoints = 9.75;
inline constexpr double kButtonFontPoints = 12;

extern const std::array<ControlSpec, 22> kControls;

// 15 twips make a pixel at 96 dots per inch; Qt scales pixels to the screen.
constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace form1
