#pragma once

#include "calc/Inputs.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetmass {

// Why there is no mass: the one list of reasons that the window's result and
// the batch both give, in the user's words. Minus: a minus where the field
// takes none, on a number that is not below zero ("-0"). NoMetal: a density
// above the densest metal's. NoThickness: a worked thickness below zero.
enum class NoMass {
    Empty,
    NotNumber,
    BelowZero,
    Minus,
    NotWhole,
    NotGrade,
    NotMode,
    OutOfRange,
    NoMetal,
    NoThickness
};
std::string_view noMassWords(NoMass why);

// Osmium's, in g/cm³: no sheet is denser. A number above it in the alloy
// field is a slip, most often a grade's number taken for its density.
inline constexpr double kDensest = 22.6;

// Why one input keeps the mass from being worked out, or nothing; the
// window and the batch both ask. `text` is the input's text as its field
// holds it (a reader that trims, trims first); `read`, whether the field
// made of it what the mass needs: a number, for the alloy a grade or a
// density. The mode's text answers for itself.
std::optional<NoMass> whyNoMass(Input input, std::string_view text, bool read);

// The first input, from the top of the window down, that keeps the mass
// from being worked out, and why; OutOfRange names no input. `said`: the
// reason in full where it quotes numbers, else empty for noMassWords'.
struct Blocker {
    std::optional<Input> input;
    NoMass why;
    std::string said;
};

// The first input whose text keeps the mass from being worked out. The
// density is the lookup's for the alloy text: 0 with an alloy text that is
// no number is no alloy.
std::optional<Blocker> firstBlocker(const Inputs& in, double density);

// The grades of the list whose bracketed number a density is ("Д16 (1160)"
// for 1160), for a reason to name them; the alloy room knows them.
using GradesNumbered = std::vector<std::string_view>(double density);

// Why numbers read from every field the mode works from make no sheet, or
// nothing: a density no metal has (naming the grades it is the number of),
// a worked thickness below zero (0 is a sheet of no mass, as a count of 0
// is); and, when the arithmetic gave no mass (`worked` false), places
// beyond the rounding or numbers beyond a double's.
std::optional<Blocker> whyNoMass(double density, Mode mode, const MassNumbers& numbers, bool worked,
                                 GradesNumbered& gradesOf);

// "ширина листа — пусто", or the reason alone when it names no input.
std::string blockerText(const Blocker& blocker);

} // namespace sheetmass
