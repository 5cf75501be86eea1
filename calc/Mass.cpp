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

Worked work(double density, Mode mode, const MassNumbers& n) {
    std::optional<double> thickness;
    if (mode != Mode::none) {
        const double deviationHalf = mode == Mode::upper   ? n[Input::Upper] / 2
                                     : mode == Mode::lower ? n[Input::Lower] / 2
                                                           : 0;
        thickness = deviationHalf + n[Input::Thickness];
        if (!std::isfinite(*thickness))
            return {};
    }
    const double area = n[Input::Width] * n[Input::Length];
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
    const auto batch = massOf(n[Input::Count] * area);
    if (!batch)
        return {};
    std::string mass = roundedText(*batch, n[Input::Places]);
    if (mass.empty())
        return {};
    return {std::move(mass), thickness, massOf(area)};
}

// The window's fields read in its order; a field that holds no number ends
// the calculation without a result.
Worked work(const Inputs& in, double density) {
    const Mode mode = modeOf(in.mode);
    MassNumbers n;
    for (const InputField& field : kInputFields) {
        // Without a mode there is no thickness: the mass is 0.
        const Input input = field.input;
        if (!isNumber(input) || !worksFrom(mode, input) ||
            (input == Input::Thickness && mode == Mode::none))
            continue;
        const auto number = parseNumber(in.*field.text);
        if (!number)
            return {};
        n[input] = *number;
    }
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
