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
    const std::optional<double> thickness = workedThickness(mode, n);
    if (thickness && !std::isfinite(*thickness))
        return {};
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

// The window's fields read in its order; none when a field the mass is
// worked from holds no number.
std::optional<MassNumbers> numbersOf(const Inputs& in, Mode mode) {
    MassNumbers n;
    for (const InputField& field : kInputFields) {
        // Without a mode there is no thickness: the mass is 0.
        const Input input = field.input;
        if (!isNumber(input) || !worksFrom(mode, input) ||
            (input == Input::Thickness && mode == Mode::none))
            continue;
        const auto number = parseNumber(in.*field.text);
        if (!number)
            return std::nullopt;
        n[input] = *number;
    }
    return n;
}

std::string text(const std::optional<double>& value) {
    return value ? formatNumber(*value) : std::string();
}

} // namespace

std::string massText(double density, Mode mode, const MassNumbers& numbers) {
    return work(density, mode, numbers).mass;
}

std::string massText(const Inputs& in, DensityLookup& densityOf) {
    const double density = densityOf(in.alloy);
    const Mode mode = modeOf(in.mode);
    const auto numbers = numbersOf(in, mode);
    return numbers ? work(density, mode, *numbers).mass : std::string();
}

MassResult massResult(const Inputs& in, DensityLookup& densityOf, GradesNumbered& gradesOf) {
    const double density = densityOf(in.alloy);
    const auto none = [](const Blocker& why) { return MassResult{{}, {}, {}, {}, {}, why}; };
    if (const auto blocker = firstBlocker(in, density))
        return none(*blocker);
    // Every field the mode works from holds a number now.
    const Mode mode = modeOf(in.mode);
    const MassNumbers numbers = numbersOf(in, mode).value_or(MassNumbers{});
    Worked worked = work(density, mode, numbers);
    if (const auto blocker = whyNoMass(density, mode, numbers, !worked.mass.empty(), gradesOf))
        return none(*blocker);
    // No grade's text is the number of its density: a text that reads as
    // the density was typed. A grade is named without its trailing blank.
    std::string grade;
    if (parseNumber(in.alloy) != density)
        grade = in.alloy.substr(0, in.alloy.find_last_not_of(' ') + 1);
    return {std::move(worked.mass), text(worked.thickness), text(worked.sheetMass),
            formatNumber(density),  std::move(grade),       std::nullopt};
}

} // namespace sheetmass
