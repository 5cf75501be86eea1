#pragma once

#include <QRgb>

#include <array>

class QWidget;

namespace sheetmass {

// The main window as designed: every control with its place and size in
// twips, text, tab order, colours and key filter, and the builder that makes
// the controls from it.

enum class Kind { Label, TextField, ListField, Frame, Button };

inline constexpr QRgb kNoColour = 0xFFFFFFFFu;

struct ControlSpec {
    const char* name;
    Kind kind;
    const char* container;        // nullptr: the window's client area
    int left, top, width, height; // twips, from the container's corner
    int tabIndex;
    const char* text;               // labels and the button; nullptr elsewhere
    QRgb textColour = kNoColour;    // 0xRRGGBB
    QRgb faceColour = kNoColour;    // button face
    const char* admitted = nullptr; // characters a key press may type; nullptr: any
    int maxLength = 0;              // longest text the field keeps; 0: unbounded
    const char* caption = nullptr;  // the field whose caption this label is
    const char* hint = nullptr;     // tooltip and description: what the field takes
};

inline constexpr int kClientWidth = 3990;
inline constexpr int kClientHeight = 5655;
inline constexpr const char* kForm1Title = "Масса AL листов";
// What the result's tooltip adds to its hint while there is a result.
inline constexpr const char* kResultThickness = "Толщина в расчёте: %1 мм";
inline constexpr const char* kResultSheetMass = "Масса одного листа: %1 кг";

extern const std::array<ControlSpec, 22> kForm1Controls;

// Makes the window's controls, each with its objectName, place, font,
// colours, texts, fixed list entries, tab order and accessible name.
void buildForm1Controls(QWidget* window);

} // namespace sheetmass
