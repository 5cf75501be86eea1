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
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>

namespace sheetmass {
namespace {

// The number fields, in line order from the thickness on, with what each
// takes; the places are unfiltered, as their list is.
struct NumberInput {
    std::size_t field;
    const NumberField* rule;
    double MassNumbers::*number;
};
constexpr std::array<NumberInput, 7> kNumbers = {{
    {2, &kSizeField, &MassNumbers::thickness},
    {3, &kDeviationField, &MassNumbers::upper},
    {4, &kDeviationField, &MassNumbers::lower},
    {5, &kSizeField, &MassNumbers::length},
    {6, &kSizeField, &MassNumbers::width},
    {7, &kCountField, &MassNumbers::count},
    {8, nullptr, &MassNumbers::places},
}};

constexpr std::array<std::pair<std::string_view, Mode>, 3> kModes = {
    {{kModeNominal, Mode::nominal}, {kModeUpper, Mode::upper}, {kModeLower, Mode::lower}}};

constexpr const char* kStateIt = "способ записи чисел задают --decimal=, и --decimal=.";

// The density of the grade a text names, trailing blanks or not
// (spreadsheets drop the blank some grades end with), found by one hashed
// lookup.
std::optional<double> gradeDensity(std::string_view text) {
    static const auto grades = [] {
        std::unordered_map<std::string_view, double> byName;
        for (const Alloy& alloy : kAlloys)
            byName.emplace(trimWhiteSpace(alloy.grade), Модуль1::AlloyDensity(alloy.grade));
        return byName;
    }();
    const auto it = grades.find(trimWhiteSpace(text));
    return it == grades.end() ? std::nullopt : std::optional<double>(it->second);
}

// A density typed into the alloy field.
std::optional<double> readDensity(std::string_view text, DecimalMark mark) {
    const auto typed = admittedNumber(text, kAlloyField.admitted, mark);
    return typed ? parseNumber(*typed) : std::nullopt;
}

class Problems {
  public:
    void add(std::size_t field, std::string_view what) {
        add(std::string(kInputFields[field].name) + " — " + std::string(what));
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
std::string_view refusal(std::string_view text, const NumberField* rule, DecimalMark mark) {
    const auto pasted = pastedNumber(text, mark);
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

// A number read one way from a file that never showed its way, when the
// other way makes it a thousand times more or less: "2,000".
void warnThousands(std::string_view text, double value, std::size_t field, const Reading& reading,
                   Problems& warnings) {
    if (reading.shown || text.find(',') == std::string_view::npos || !numberLook(text).thousands)
        return;
    const auto other = pastedNumber(text, reading.mark == DecimalMark::dot ? DecimalMark::comma
                                                                           : DecimalMark::dot);
    const auto otherValue = other ? parseNumber(*other) : std::nullopt;
    warnings.add(field, "«" + std::string(text) + "» прочитано как " + formatNumber(value) +
                            ", не " + formatNumber(otherValue.value_or(0)) + "; " + kStateIt);
}

// Short texts a number field has read without a word to say, with their
// numbers: a list repeats its thicknesses, deviations and places line after
// line, and what a field makes of a text depends on the text and the way
// the file writes numbers alone.
class ReadBefore {
  public:
    std::optional<double> find(std::string_view text, const Reading& reading) const {
        const Entry& entry = m_entries[slot(text)];
        if (entry.size != text.size() || entry.size == 0 || entry.mark != reading.mark ||
            entry.both != reading.both || !std::equal(text.begin(), text.end(), entry.text.begin()))
            return std::nullopt;
        return entry.value;
    }
    void keep(std::string_view text, const Reading& reading, double value) {
        if (text.empty() || text.size() > kLongest)
            return;
        Entry& entry = m_entries[slot(text)];
        std::copy(text.begin(), text.end(), entry.text.begin());
        entry.size = static_cast<std::uint8_t>(text.size());
        entry.mark = reading.mark;
        entry.both = reading.both;
        entry.value = value;
    }

  private:
    static constexpr std::size_t kLongest = 16;
    struct Entry {
        std::array<char, kLongest> text{};
        std::uint8_t size = 0;
        DecimalMark mark = DecimalMark::comma;
        bool both = false;
        double value = 0;
    };
    // The length and the two ends tell most short texts apart.
    static std::size_t slot(std::string_view text) {
        if (text.empty())
            return 0;
        return (text.size() * 7 + static_cast<unsigned char>(text.front()) * 3 +
                static_cast<unsigned char>(text.back())) %
               kSlots;
    }
    static constexpr std::size_t kSlots = 32;
    std::array<Entry, kSlots> m_entries{};
};

// A number field's number, read once as the window's field would take the
// text.
std::optional<double> read(std::string_view text, const NumberField* rule, std::size_t field,
                           const Reading& reading, Problems& problems, Problems& warnings,
                           std::string& taken);

// The same, looked up first among the texts the field read before, when no
// warning can come of it.
std::optional<double> number(std::string_view text, const NumberField* rule, std::size_t field,
                             const Reading& reading, Problems& problems, Problems& warnings,
                             std::string& taken) {
    thread_local std::array<ReadBefore, kBatchFields> before;
    if (!reading.shown)
        return read(text, rule, field, reading, problems, warnings, taken);
    if (const auto value = before[field].find(text, reading))
        return value;
    const auto value = read(text, rule, field, reading, problems, warnings, taken);
    if (value)
        before[field].keep(text, reading, *value);
    return value;
}

std::optional<double> read(std::string_view text, const NumberField* rule, std::size_t field,
                           const Reading& reading, Problems& problems, Problems& warnings,
                           std::string& taken) {
    // The paste rule trims the text first: it is trimmed once here.
    const std::string_view trimmed = trimWhiteSpace(text);
    if (trimmed.empty()) {
        problems.add(field, noMassWords(NoMass::Empty));
        return std::nullopt;
    }
    if (reading.both && text.find(',') != std::string_view::npos) {
        problems.add(field, "«" + std::string(text) +
                                "»: в файле запятая и отделяет дробную часть, и группирует "
                                "разряды; " +
                                kStateIt);
        return std::nullopt;
    }
    const bool read = rule ? admittedNumber(trimmed, rule->admitted, reading.mark, taken)
                           : pastedNumber(trimmed, reading.mark, taken);
    const auto value = read ? parseNumber(taken) : std::nullopt;
    if (!value) {
        problems.add(field, refusal(text, rule, reading.mark));
        return std::nullopt;
    }
    // Never more characters than bytes: only a long text is counted.
    const auto room = static_cast<std::size_t>(rule && rule->room > 0 ? rule->room : 0);
    if (room > 0 && taken.size() > room && characterCount(taken) > room) {
        problems.add(field, "длиннее " + countOf(room, "знака", "знаков", "знаков"));
        return std::nullopt;
    }
    if (!reading.shown)
        warnThousands(text, *value, field, reading, warnings);
    return value;
}

} // namespace

void NumberEvidence::note(const std::vector<std::string_view>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i == 1)
            continue; // the mode
        const NumberLook look = numberLook(fields[i]);
        commaDecimal |= look.commaDecimal;
        commaGroups |= look.commaGroups;
        dotDecimal |= look.dotDecimal;
    }
}

Reading NumberEvidence::reading(char stated, char separator) const {
    if (stated != 0)
        return {static_cast<DecimalMark>(stated), true, false};
    if (commaDecimal && commaGroups)
        return {DecimalMark::comma, true, true};
    if (commaDecimal)
        return {DecimalMark::comma, true, false};
    if (commaGroups || dotDecimal)
        return {DecimalMark::dot, true, false};
    return {separator == ',' ? DecimalMark::dot : DecimalMark::comma, false, false};
}

void splitFields(std::string_view line, char separator, Fields& fields) {
    // Room for the whole line, so that the views into it stay put.
    std::string& unquoted = fields.unquoted;
    unquoted.clear();
    unquoted.reserve(line.size());
    std::size_t used = 0;
    std::size_t i = 0;
    for (;;) {
        if (used == fields.views.size())
            fields.views.emplace_back();
        std::string_view& field = fields.views[used++];
        const bool quoted = i < line.size() && line[i] == '"';
        const std::size_t start = unquoted.size();
        if (quoted) {
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        unquoted += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                unquoted += line[i];
            }
        }
        // Whatever follows a closing quote stays with its field.
        const std::size_t end = std::min(line.find(separator, i), line.size());
        if (quoted) {
            unquoted.append(line.data() + i, end - i);
            field = std::string_view(unquoted).substr(start);
        } else {
            field = line.substr(i, end - i);
        }
        if (end == line.size())
            break;
        i = end + 1;
    }
    fields.views.resize(used);
}

LineMass lineMass(const std::vector<std::string_view>& fields, const Reading& reading) {
    Problems problems;
    if (fields.size() != kBatchFields) {
        problems.add(countOf(fields.size(), "поле", "поля", "полей") + ", а нужно " +
                     std::to_string(kBatchFields));
        return {{}, std::move(problems.text()), {}};
    }
    Problems warnings;
    double density = 0;
    if (const auto grade = gradeDensity(fields[0]))
        density = *grade;
    else if (trimWhiteSpace(fields[0]).empty())
        problems.add(0, noMassWords(NoMass::Empty));
    else if (const auto typed = readDensity(fields[0], reading.mark)) {
        density = *typed;
        warnThousands(fields[0], density, 0, reading, warnings);
    } else
        problems.add(0, noMassWords(NoMass::NotGrade));

    const std::string_view modeText = trimWhiteSpace(fields[1]);
    Mode mode = Mode::none;
    const auto known = std::find_if(kModes.begin(), kModes.end(),
                                    [&](const auto& m) { return m.first == modeText; });
    if (known != kModes.end())
        mode = known->second;
    else if (modeText.empty())
        problems.add(1, noMassWords(NoMass::Empty));
    else
        problems.add(1, noMassWords(NoMass::NotMode));

    MassNumbers numbers;
    // Each field's text as the field takes it, in turn, in room kept
    // from line to line.
    thread_local std::string taken;
    for (const NumberInput& input : kNumbers) {
        // Only the deviation the mode works with is read, as in the window.
        if ((input.number == &MassNumbers::upper && mode != Mode::upper) ||
            (input.number == &MassNumbers::lower && mode != Mode::lower))
            continue;
        if (const auto value = number(fields[input.field], input.rule, input.field, reading,
                                      problems, warnings, taken))
            numbers.*input.number = *value;
    }
    if (!problems.text().empty())
        return {{}, std::move(problems.text()), std::move(warnings.text())};
    std::string mass = massText(density, mode, numbers);
    if (mass.empty()) {
        // The places alone can be beyond what rounding takes.
        MassNumbers whole = numbers;
        whole.places = 0;
        if (!massText(density, mode, whole).empty())
            problems.add(8, "вне пределов");
        else
            problems.add("масса не считается: " + std::string(noMassWords(NoMass::OutOfRange)));
    }
    return {std::move(mass), std::move(problems.text()), std::move(warnings.text())};
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
