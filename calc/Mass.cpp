#include "calc/Mass.h"

#include "calc/NumberText.h"
#include "calc/Rounding.h"

#include <cmath>
#include <optional>
#include <utility>

namespace sheetmass {

namespace {

// The result text, with the thickness and the mass of one sheet it came
// from as numbers: only a reader asks for their texts.
struct Worked {
    std::string mass;
    std::optional<double> thickness;
    std::optional<double> sheetMass;
};

Worked work(const Inputs& in, double density) {
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
    // Of the batch, and of one sheet for the reader.
    const auto massOf = [&](double volume) -> std::optional<double> {
        const double weighted = volume * density;
        if (!std::isfinite(volume) || !std::isfinite(weighted))
            return std::nullopt;
        if (!thickness)
            return 0.0;
        const double mass = weighted * *thickness;
        if (!std::isfinite(mass))
            return std::nullopt;
        return mass / 1e6;
    };
    const auto batch = massOf(*count * area);
    if (!batch)
        return {};
    const double mass = *batch;

    const std::string shown = formatNumber(mass);
    const auto places = parseNumber(in.places);
    if (!places)
        return {};
    const auto rounded = roundShown(shown, *places);
    if (!rounded)
        return {};
    return {formatNumber(*rounded), thickness, massOf(area)};
}

std::string text(const std::optional<double>& value) {
    return value ? formatNumber(*value) : std::string();
}

} // namespace

std::string massText(const Inputs& in, DensityLookup& densityOf) {
    return work(in, densityOf(in.alloy)).mass;
}

MassResult massResult(const Inputs& in, DensityLookup& densityOf) {
    const double density = densityOf(in.alloy);
    Worked worked = work(in, density);
    const auto blocker = firstBlocker(in, density);
    if (blocker || worked.mass.empty())
        return {{}, {}, {}, blocker.value_or(Blocker{std::nullopt, NoMass::OutOfRange})};
    return {std::move(worked.mass), text(worked.thickness), text(worked.sheetMass), std::nullopt};
}

} // namespace sheetmass
