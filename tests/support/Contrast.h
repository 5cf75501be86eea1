#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

namespace sheetmass::test {

// WCAG's contrast ratio of two colours: 1 for the same, 21 for black on
// white; 4.5 is what ordinary text needs to be read.
inline double contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            v /= 255;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace sheetmass::test
