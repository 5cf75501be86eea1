#include "forms/Form.h"

#include <algorithm>

namespace sheetmass::forms {

const Control* findControl(const Window& window, std::string_view name) {
    const auto found = std::find_if(window.controls.begin(), window.controls.end(),
                                    [name](const Control& c) { return c.name == name; });
    return found != window.controls.end() ? &*found : nullptr;
}

Place placeInWindow(const Window& window, const Control& control) {
    Place p = control.place;
    if (const Control* frame = findControl(window, control.container)) {
        p.left += frame->place.left;
        p.top += frame->place.top;
    }
    return p;
}

} // namespace sheetmass::forms
