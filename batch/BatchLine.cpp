#include "batch/BatchLine.h"

#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "calc/Inputs.h"
#include "calc/Mass.h"
#include "calc/NoMass.h"
#include "calc/NumberText.h"
#include "fields/FieldRule.h"
#include "fields/PastedText.h"

#include <algorithm>
#include <array>
#include <optional>

namespace sheetmass {
namespace {

// The number fields, in line order from the thickness on, with what each
// takes; the places are unfiltered, as their list is.
struct NumberInput {
    std::size_t field;
    const NumberField* rule;
    std::string Inputs::*text;
};
constexpr std::array<NumberInput, 7> kNumbers = {{
    {2, &kSizeField, &Inputs::thickness},
    {3, &kDeviationField, &Inputs::upper},
    {4, &kDeviationField, &Inputs::lower},
    {5, &kSizeField, &Inputs::length},
    {6, &kSizeField, &Inputs::width},
    {7, &kCountField, &Inputs::count},
    {8, nullptr, &Inputs::places},
}};

constexpr std::array<const char*, 3> kModes = {kModeNominal, kModeUpper, kModeLower};

// A grade's full text for a text that names it, trailing blanks or not:
// spreadsheets drop the blank some grades end with.
const Alloy* gradeNamed(std::string_view text) {
    static const auto trimmed = [] {
        std::array<std::string_view, kAlloyCount> grades;
        std::transform(kAlloys.begin(), kAlloys.end(), grades.begin(),
                       [](const Alloy& a) { return trimWhiteSpace(a.grade); });
        return grades;
    }();
    const std::string_view wanted = trimWhiteSpace(text);
    const auto it = std::find(trimmed.begin(), trimmed.end(), wanted);
    return it == trimmed.end() ? nullptr : &kAlloys[static_cast<std::size_t>(it - trimmed.begin())];
}

class Problems {
  public:
    void add(std::size_t field, std::string_view what) {
        add(std::string(kInputNames[field]) + " — " + std::string(what));
    }
    void add(std::string_view text) {
        if (!m_text.empty())
            m_text += "; ";
        m_text += text;
    }
    std::string& text() { return m_text; }

  private:
    std::string m_text;
};

// Why a field refuses a text: a number of a form the field does not take
// is told apart from no number at all.
std::string_view refusal(std::string_view text, const NumberField* rule) {
    const auto pasted = pastedNumber(text);
    if (rule == nullptr || !pasted || !parseNumber(*pasted))
        return noMassWords(NoMass::NotNumber);
    const std::string_view admitted = rule->admitted;
    const auto lacks = [&](char c) {
        return pasted->find(c) != std::string::npos && admitted.find(c) == std::string_view::npos;
    };
    return noMassWords(lacks('-')   ? NoMass::BelowZero
                       : lacks(',') ? NoMass::NotWhole
                                    : NoMass::NotNumber);
}

// A number field's text as the window's field would take it. Whether it is
// a number the core can work with is asked only of lines without a mass:
// the core reads every field again anyway.
std::optional<std::string> number(std::string_view text, const NumberField* rule, std::size_t field,
                                  bool readIt, Problems& problems) {
    if (trimWhiteSpace(text).empty()) {
        problems.add(field, noMassWords(NoMass::Empty));
        return std::nullopt;
    }
    auto taken = rule ? admittedNumber(text, rule->admitted) : pastedNumber(text);
    if (!taken || (readIt && !parseNumber(*taken))) {
        problems.add(field, refusal(text, rule));
        return std::nullopt;
    }
    if (rule && rule->room > 0 && characterCount(*taken) > static_cast<std::size_t>(rule->room)) {
        problems.add(field, "длиннее " + countOf(static_cast<std::size_t>(rule->room), "знака",
                                                 "знаков", "знаков"));
        return std::nullopt;
    }
    return taken;
}

// The window's inputs for the line's nine fields, and what keeps it from a
// mass. The number check is the slow part, and only a line without a mass
// needs it to say which field is at fault.
Inputs inputsOf(const std::vector<std::string>& fields, bool readNumbers, Problems& problems) {
    Inputs in;
    if (const Alloy* grade = gradeNamed(fields[0]))
        in.alloy = grade->grade;
    else if (trimWhiteSpace(fields[0]).empty())
        problems.add(0, noMassWords(NoMass::Empty));
    else if (const auto density = admittedNumber(fields[0], kAlloyField.admitted);
             density && parseNumber(*density))
        in.alloy = *density;
    else
        problems.add(0, noMassWords(NoMass::NotGrade));

    const std::string_view mode = trimWhiteSpace(fields[1]);
    const auto known = std::find(kModes.begin(), kModes.end(), mode);
    if (known != kModes.end())
        in.mode = *known;
    else if (mode.empty())
        problems.add(1, noMassWords(NoMass::Empty));
    else
        problems.add(1, noMassWords(NoMass::NotMode));

    for (const NumberInput& input : kNumbers) {
        // Only the deviation the mode works with is read, as in the window.
        if ((input.text == &Inputs::upper && in.mode != kModeUpper) ||
            (input.text == &Inputs::lower && in.mode != kModeLower))
            continue;
        if (auto text = number(fields[input.field], input.rule, input.field, readNumbers, problems))
            in.*input.text = std::move(*text);
    }
    return in;
}

} // namespace

void splitFields(std::string_view line, char separator, std::vector<std::string>& fields) {
    std::size_t used = 0;
    std::size_t i = 0;
    for (;;) {
        if (used == fields.size())
            fields.emplace_back();
        std::string& field = fields[used++];
        field.clear();
        if (i < line.size() && line[i] == '"') {
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i];
            }
        }
        // Whatever follows a closing quote stays with its field.
        const std::size_t end = std::min(line.find(separator, i), line.size());
        field.append(line.substr(i, end - i));
        if (end == line.size())
            break;
        i = end + 1;
    }
    fields.resize(used);
}

LineMass lineMass(const std::vector<std::string>& fields) {
    Problems problems;
    if (fields.size() != kBatchFields) {
        problems.add(countOf(fields.size(), "поле", "поля", "полей") + ", а нужно " +
                     std::to_string(kBatchFields));
        return {{}, std::move(problems.text())};
    }

    const Inputs in = inputsOf(fields, false, problems);
    if (problems.text().empty()) {
        std::string mass = massText(in, Модуль1::AlloyDensity);
        if (!mass.empty())
            return {std::move(mass), {}};
    }
    Problems all;
    inputsOf(fields, true, all);
    if (all.text().empty())
        all.add("масса не считается: " + std::string(noMassWords(NoMass::OutOfRange)));
    return {{}, std::move(all.text())};
}

std::string countOf(std::size_t n, const char* one, const char* few, const char* many) {
    const std::size_t tens = n % 100;
    const std::size_t units = n % 10;
    const char* word = (tens >= 11 && tens <= 14)   ? many
                       : units == 1                 ? one
                       : (units >= 2 && units <= 4) ? few
                                                    : many;
    return std::to_string(n) + " " + word;
}

} // namespace sheetmass
