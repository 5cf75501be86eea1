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

Mode modeOf(const std::string& mode) {
    return mode == kModeNominal ? Mode::nominal
           : mode == kModeUpper ? Mode::upper
           : mode == kModeLower ? Mode::lower
                                : Mode::none;
}

Worked work(double density, Mode mode, const MassNumbers& n) {
    std::optional<double> thickness;
    if (mode != Mode::none) {
        const double deviationHalf = mode == Mode::upper   ? n.upper / 2
                                     : mode == Mode::lower ? n.lower / 2
                                                           : 0;
        thickness = deviationHalf + n.thickness;
        if (!std::isfinite(*thickness))
            return {};
    }
    const double area = n.width * n.length;
    if (!std::isfinite(area))
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
    const auto batch = massOf(n.count * area);
    if (!batch)
        return {};
    std::string mass = roundedText(*batch, n.places);
    if (mass.empty())
        return {};
    return {std::move(mass), thickness, massOf(area)};
}

// The window's fields read in its order; a field that holds no number ends
// the calculation without a result.
Worked work(const Inputs& in, double density) {
    const Mode mode = modeOf(in.mode);
    MassNumbers n;
    const auto read = [](const std::string& text, double& to) {
        const auto number = parseNumber(text);
        if (number)
            to = *number;
        return number.has_value();
    };
    if (mode == Mode::upper && !read(in.upper, n.upper))
        return {};
    if (mode == Mode::lower && !read(in.lower, n.lower))
        return {};
    if (mode != Mode::none && !read(in.thickness, n.thickness))
        return {};
    if (!read(in.length, n.length) || !read(in.width, n.width) || !read(in.count, n.count) ||
        !read(in.places, n.places))
        return {};
    return work(density, mode, n);
}

std::string text(const std::optional<double>& value) {
    return value ? formatNumber(*value) : std::string();
}

} // namespace

std::string massText(double density, Mode mode, const MassNumbers& numbers) {
    return work(density, mode, numbers).mass;
}

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
