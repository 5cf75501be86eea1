#pragma once

#include "calc/Inputs.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sheetmass {

// Why there is no mass: the one list of reasons that the window's result and
// the batch both give, in the user's words.
enum class NoMass { Empty, NotNumber, BelowZero, NotWhole, NotGrade, NotMode, OutOfRange };
std::string_view noMassWords(NoMass why);

// Why one input keeps the mass from being worked out, or nothing; the
// window and the batch both ask. `text` is the input's text as its field
// holds it (a reader that trims, trims first); `read`, whether the field
// made of it what the mass needs: a number, for the alloy a grade or a
// density. The mode's text answers for itself.
std::optional<NoMass> whyNoMass(Input input, std::string_view text, bool read);

// The first input, from the top of the window down, that keeps the mass
// from being worked out, and why; OutOfRange names no input. The density is
// the lookup's for the alloy text: 0 with an alloy text that is no number
// is no alloy.
struct Blocker {
    std::optional<Input> input;
    NoMass why;
};
std::optional<Blocker> firstBlocker(const Inputs& in, double density);

// "ширина листа — пусто", or the reason alone when it names no input.
std::string blockerText(const Blocker& blocker);

} // namespace sheetmass
