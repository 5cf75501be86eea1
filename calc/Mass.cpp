#include "calc/Mass.h"

#include "calc/NumberText.h"
#include "calc/Rounding.h"

#include <cmath>
#include <optional>

namespace sheetmass {

std::string massText(const Inputs& in, DensityLookup& densityOf) {
    const double density = densityOf(in.alloy);

    std::optional<double> thickness;
    if (in.mode == kModeNominal || in.mode == kModeUpper || in.mode == kModeLower) {
        double deviationHalf = 0;
        if (in.mode != kModeNominal) {
            const auto deviation = parseNumber(in.mode == kModeUpper ? in.upper : in.lower);
            if (!deviation)
                return {};
            deviationHalf = *deviation / 2;
        }
        const auto nominal = parseNumber(in.thickness);
        if (!nominal)
            return {};
        thickness = deviationHalf + *nominal;
        if (!std::isfinite(*thickness))
            return {};
    }

    const auto length = parseNumber(in.length);
    if (!length)
        return {};
    const auto width = parseNumber(in.width);
    if (!width)
        return {};
    const double area = *width * *length;
    const auto count = parseNumber(in.count);
    if (!count || !std::isfinite(area))
        return {};
    const double volume = *count * area;
    const double weighted = volume * density;
    if (!std::isfinite(volume) || !std::isfinite(weighted))
        return {};
    double mass = 0;
    if (thickness) {
        mass = weighted * *thickness;
        if (!std::isfinite(mass))
            return {};
        mass /= 1e6;
    }

    const std::string shown = formatNumber(mass);
    const auto places = parseNumber(in.places);
    if (!places)
        return {};
    const auto rounded = roundShown(shown, *places);
    if (!rounded)
        return {};
    return formatNumber(*rounded);
}

} // namespace sheetmass
