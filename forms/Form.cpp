#include "forms/Form.h"

#include <algorithm>

namespace sheetmass::forms {

const Control* findControl(const Window& window, std::string_view name) {
    const auto found = std::find_if(window.controls.begin(), window.controls.end(),
                                    [name](const Control& c) { return c.name == name; });
    return found != window.controls.end() ? &*found : nullptr;
}

} // namespace sheetmass::forms
