#include "behaviour/RefusalPlace.h"

#include "forms/Texts.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

namespace sheetmass::behaviour {
namespace {

constexpr int kGap = 2; // pixels between the tooltip and what it keeps clear of

bool isInput(const forms::Control& c) {
    return c.kind == forms::Kind::TextField || c.kind == forms::Kind::ListField;
}

// The window's inputs on the screen, placed from the field's corner as the
// design places them from the field.
std::vector<ScreenRect> inputsOnScreen(const forms::Window& window, const forms::Control& field,
                                       ScreenRect fieldOnScreen, int dpi) {
    const auto px = [dpi](int twips) { return forms::twipsToPixels(twips, dpi); };
    const forms::Place from = forms::placeInWindow(window, field);
    const int x = fieldOnScreen.left - px(from.left);
    const int y = fieldOnScreen.top - px(from.top);
    std::vector<ScreenRect> inputs;
    for (const forms::Control& c : window.controls) {
        if (!isInput(c))
            continue;
        const forms::Place p = forms::placeInWindow(window, c);
        inputs.push_back(
            {x + px(p.left), y + px(p.top), x + px(p.left + p.width), y + px(p.top + p.height)});
    }
    return inputs;
}

long long overlap(const ScreenRect& a, const ScreenRect& b) {
    const long long across = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long down = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return across > 0 && down > 0 ? across * down : 0;
}

// Moved in from any edge it crosses; against the left and top edges when
// the screen is narrower or lower than it.
ScreenPoint onScreen(ScreenPoint p, ScreenSize tip, ScreenRect screen) {
    return {std::max(screen.left, std::min(p.x, screen.right - tip.width)),
            std::max(screen.top, std::min(p.y, screen.bottom - tip.height))};
}

} // namespace

ScreenPoint refusalPlace(const forms::Window& window, const forms::Control& field,
                         ScreenRect fieldOnScreen, int dpi, ScreenSize tip, ScreenRect screen) {
    const std::vector<ScreenRect> inputs = inputsOnScreen(window, field, fieldOnScreen, dpi);
    int lowest = fieldOnScreen.bottom, highest = fieldOnScreen.top;
    for (const ScreenRect& r : inputs) {
        lowest = std::max(lowest, r.bottom);
        highest = std::min(highest, r.top);
    }
    const ScreenRect& f = fieldOnScreen;
    const std::array<ScreenPoint, 4> tried = {{{f.right + kGap, f.top},
                                               {f.left - kGap - tip.width, f.top},
                                               {f.left, lowest + kGap},
                                               {f.left, highest - kGap - tip.height}}};
    ScreenPoint best{};
    long long covered = LLONG_MAX;
    for (const ScreenPoint& at : tried) {
        const ScreenPoint p = onScreen(at, tip, screen);
        const ScreenRect shown{p.x, p.y, p.x + tip.width, p.y + tip.height};
        long long here = 0;
        for (const ScreenRect& r : inputs)
            here += overlap(shown, r);
        if (here < covered) {
            best = p;
            covered = here;
        }
    }
    return best;
}

} // namespace sheetmass::behaviour
