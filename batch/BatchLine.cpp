#include "batch/BatchLine.h"

#include "alloys/AlloyTable.h"
#include "calc/Inputs.h"
#include "calc/Mass.h"
#include "calc/NoMass.h"
#include "calc/NumberText.h"
#include "fields/EntrySearch.h"
#include "fields/FieldRule.h"
#include "fields/PastedText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

namespace sheetmass {
namespace {

// What each number input's field takes, in line order; the places are
// unfiltered, as their list is.
struct NumberInput {
    Input input;
    const NumberField* rule;
};
constexpr std::array<NumberInput, 7> kNumbers = {{
    {Input::Thickness, &kSizeField},
    {Input::Upper, &kDeviationField},
    {Input::Lower, &kDeviationField},
    {Input::Length, &kSizeField},
    {Input::Width, &kSizeField},
    {Input::Count, &kCountField},
    {Input::Places, nullptr},
}};
static_assert([] {
    std::size_t i = 0;
    for (const InputField& field : kInputFields)
        if (isNumber(field.input) && kNumbers[i++].input != field.input)
            return false;
    return i == kNumbers.size();
}());

constexpr std::size_t fieldAt(Input input) {
    return static_cast<std::size_t>(input);
}

constexpr const char* kStateIt = "; способ записи чисел задают ";

// The command line that states a way, when another one is the other
// reading: the Russian way outright only against the German one, since a
// stated decimal comma leaves the groups to the file.
std::string_view optionFor(NumberWay way, NumberWay other) {
    switch (way) {
    case NumberWay::english:
        return "--decimal=.";
    case NumberWay::german:
        return "--decimal=, --group=.";
    case NumberWay::russian:
        break;
    }
    return other == NumberWay::german ? "--group=\" \"" : "--decimal=,";
}

std::string_view wayWords(NumberWay way) {
    return way == NumberWay::english  ? "английская"
           : way == NumberWay::german ? "немецкая"
                                      : "русская";
}

// A density typed into the alloy field.
std::optional<double> readDensity(std::string_view text, NumberWay way) {
    const auto typed = admittedNumber(text, kAlloyField.admitted, way);
    return typed ? parseNumber(*typed) : std::nullopt;
}

class Problems {
  public:
    // The field, the text it was given (none when empty), and what is wrong.
    void add(Input input, std::string_view text, std::string_view what) {
        std::string said(fieldOf(input).name);
        if (!text.empty())
            said.append(" «").append(text).append("»");
        add(said.append(" — ").append(what));
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

// ", ближе всего: «Д1 (1110)», «Д12 (1521)», «Д16 (1160)»", for an alloy
// that names no grade; nothing when none is near.
std::string nearestGrades(std::string_view name) {
    std::string said;
    for (const std::size_t entry : nearestEntries(kGradeTexts, name, 3))
        said.append(said.empty() ? ", ближе всего: «" : ", «")
            .append(trimWhiteSpace(kGradeTexts[entry]))
            .append("»");
    return said;
}

// Why a field refuses a text: a number of a form the field does not take
// is told apart from no number at all, and a number another way reads
// names that way and its option.
std::string refusal(std::string_view text, const NumberField* rule, NumberWay way) {
    const auto pasted = pastedNumber(text, way);
    const auto value = pasted ? parseNumber(*pasted) : std::nullopt;
    std::string words(noMassWords(NoMass::NotNumber));
    if (value) {
        const std::string_view admitted = rule ? rule->admitted : "";
        const auto lacks = [&](char c) {
            return pasted->find(c) != std::string::npos &&
                   admitted.find(c) == std::string_view::npos;
        };
        // "-0" is not below zero: only its minus is refused.
        const NoMass minus = *value < 0 ? NoMass::BelowZero : NoMass::Minus;
        if (rule != nullptr && (lacks('-') || lacks(',')))
            return std::string(noMassWords(lacks('-') ? minus : NoMass::NotWhole));
        return words;
    }
    for (const NumberWay other : {NumberWay::russian, NumberWay::german, NumberWay::english}) {
        const auto read = other == way ? std::nullopt : pastedNumber(text, other);
        if (read && parseNumber(*read))
            return words.append("; ")
                .append(wayWords(other))
                .append(" запись? ")
                .append(optionFor(other, way));
    }
    return words;
}

// A number read one way from a file that never showed its way, or a dot
// before three digits in a file whose other dots decided it, where another
// way reads it a thousand times more or less: "2,000", "1.500".
// Readings that differ always differ so, a mark before three digits being
// read or left out.
void warnThousands(std::string_view text, double value, Input input, const Reading& reading,
                   Problems& warnings) {
    if ((reading.shown && !reading.dotsOpen) || text.find_first_of(",.") == std::string_view::npos)
        return;
    const NumberLook look = numberLook(text);
    if (reading.shown ? !look.dotThousands : !look.thousands && !look.dotThousands)
        return;
    const NumberWay other = look.dotThousands                   ? NumberWay::german
                            : reading.way == NumberWay::english ? NumberWay::russian
                                                                : NumberWay::english;
    const auto otherText = pastedNumber(text, other);
    const auto otherValue = otherText ? parseNumber(*otherText) : std::nullopt;
    const std::string otherWay(other == NumberWay::german    ? "по-немецки"
                               : other == NumberWay::english ? "по-английски"
                                                             : "по-русски");
    warnings.add(input, text,
                 "прочитано как " + formatNumber(value) + ", а " + otherWay + " это " +
                     formatNumber(otherValue.value_or(0)) + kStateIt +
                     std::string(optionFor(reading.way, other)) + " или " +
                     std::string(optionFor(other, reading.way)));
}

// Short texts a number field has read without a word to say, with their
// numbers: a list repeats its thicknesses, deviations and places line after
// line, and what a field makes of a text depends on the text and the way
// the file writes numbers alone.
class ReadBefore {
  public:
    std::optional<double> find(std::string_view text, const Reading& reading) const {
        const Entry& entry = m_entries[slot(text)];
        if (entry.size != text.size() || entry.size == 0 || entry.reading != key(reading) ||
            !std::equal(text.begin(), text.end(), entry.text.begin()))
            return std::nullopt;
        return entry.value;
    }
    void keep(std::string_view text, const Reading& reading, double value) {
        if (text.empty() || text.size() > kLongest)
            return;
        Entry& entry = m_entries[slot(text)];
        std::copy(text.begin(), text.end(), entry.text.begin());
        entry.size = static_cast<std::uint8_t>(text.size());
        entry.reading = key(reading);
        entry.value = value;
    }

  private:
    static constexpr std::size_t kLongest = 16;
    struct Entry {
        std::array<char, kLongest> text{};
        std::uint8_t size = 0;
        std::uint8_t reading = 0;
        double value = 0;
    };
    // What of the reading a field's number depends on, in one byte.
    static std::uint8_t key(const Reading& reading) {
        return static_cast<std::uint8_t>(static_cast<unsigned>(reading.way) |
                                         (reading.commaBoth ? 4U : 0U) |
                                         (reading.dotBoth ? 8U : 0U));
    }
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

// One line's fields read as the window's fields would take them, each
// once, with what keeps its mass from being worked out and what was read one
// way but could mean another.
class LineReader {
  public:
    explicit LineReader(const Reading& reading) : m_reading(reading) {}

    std::optional<double> density(std::string_view text);
    Mode mode(std::string_view text);
    // Looked up first among the texts the field read before, when no
    // warning can come of it.
    std::optional<double> number(std::string_view text, const NumberInput& input);

    Problems problems;
    Problems warnings;

  private:
    std::optional<double> read(std::string_view text, const NumberInput& input);
    // Why the field made nothing of its text, as the core says; a number
    // field's refusal tells more than "не число".
    void refused(Input input, std::string_view trimmed, std::string_view refusal = {}) {
        const NoMass why = whyNoMass(input, trimmed, false).value_or(NoMass::NotNumber);
        problems.add(input, trimmed, why == NoMass::NotNumber ? refusal : noMassWords(why));
    }
    // A mark the file writes both ways, in the text: no reading of it holds.
    bool readsBothWays(std::string_view trimmed, Input input);

    const Reading& m_reading;
    // Each field's text as the field takes it, in turn, in room kept from
    // line to line.
    static thread_local std::string t_taken;
};

thread_local std::string LineReader::t_taken;

std::optional<double> LineReader::density(std::string_view text) {
    const std::string_view trimmed = trimWhiteSpace(text);
    if (const Alloy* grade = gradeNamed(trimmed))
        return grade->density;
    const auto typed = readDensity(text, m_reading.way);
    if (typed)
        warnThousands(trimmed, *typed, Input::Alloy, m_reading, warnings);
    // Written otherwise, as the window's list finds it: no grade so
    // written reads as a number.
    else if (const auto entry = entryNamed(kGradeTexts, trimmed))
        return kAlloys[*entry].density;
    else if (trimmed.empty())
        refused(Input::Alloy, trimmed);
    else
        problems.add(Input::Alloy, trimmed,
                     std::string(noMassWords(NoMass::NotGrade)) + nearestGrades(trimmed));
    return typed;
}

Mode LineReader::mode(std::string_view text) {
    const std::string_view trimmed = trimWhiteSpace(text);
    if (const auto why = whyNoMass(Input::Mode, trimmed, false))
        problems.add(Input::Mode, trimmed, noMassWords(*why));
    return modeOf(trimmed);
}

std::optional<double> LineReader::number(std::string_view text, const NumberInput& input) {
    thread_local std::array<ReadBefore, kBatchFields> before;
    if (!m_reading.shown || m_reading.dotsOpen)
        return read(text, input);
    ReadBefore& seen = before[fieldAt(input.input)];
    if (const auto value = seen.find(text, m_reading))
        return value;
    const auto value = read(text, input);
    if (value)
        seen.keep(text, m_reading, *value);
    return value;
}

bool LineReader::readsBothWays(std::string_view trimmed, Input input) {
    const bool comma = m_reading.commaBoth && trimmed.find(',') != std::string_view::npos;
    const bool dot = m_reading.dotBoth && trimmed.find('.') != std::string_view::npos;
    if (!comma && !dot)
        return false;
    problems.add(input, trimmed,
                 std::string(comma ? "в файле запятая" : "в файле точка") +
                     " и отделяет дробную часть, и группирует разряды" + kStateIt +
                     (comma ? "--decimal=, или --decimal=." : "--group=\" \" или --group=."));
    return true;
}

std::optional<double> LineReader::read(std::string_view text, const NumberInput& input) {
    // The paste rule trims the text first: it is trimmed once here.
    const std::string_view trimmed = trimWhiteSpace(text);
    if ((m_reading.commaBoth || m_reading.dotBoth) && readsBothWays(trimmed, input.input))
        return std::nullopt;
    // A file has no room to keep: a number is as long as it is.
    const NumberField* rule = input.rule;
    const bool taken =
        !trimmed.empty() && (rule ? admittedNumber(trimmed, rule->admitted, m_reading.way, t_taken)
                                  : pastedNumber(trimmed, m_reading.way, t_taken));
    const auto value = taken ? parseNumber(t_taken) : std::nullopt;
    if (!value) {
        refused(input.input, trimmed, refusal(trimmed, rule, m_reading.way));
        return std::nullopt;
    }
    if (!m_reading.shown || m_reading.dotsOpen)
        warnThousands(trimmed, *value, input.input, m_reading, warnings);
    return value;
}

} // namespace

void NumberEvidence::note(const std::vector<std::string_view>& fields) {
    const std::size_t read = std::min(fields.size(), kBatchFields);
    for (std::size_t i = 0; i < read; ++i) {
        if (i == fieldAt(Input::Mode))
            continue;
        const NumberLook look = numberLook(fields[i]);
        commaDecimal |= look.commaDecimal;
        commaGroups |= look.commaGroups;
        dotDecimal |= look.dotDecimal;
        dotGroups |= look.dotGroups;
        dotThousands |= look.dotThousands;
    }
}

Reading NumberEvidence::reading(char decimal, char group, char separator) const {
    using enum NumberWay;
    if (group == '.')
        return {german, true};
    if (decimal == '.' || group == ',')
        return {english, true};
    if (group == ' ')
        return {russian, true};
    // Decimal commas and dots before groups of three alone: the German way.
    const bool dotsGroup = dotGroups || (dotThousands && !dotDecimal);
    const bool dotsOpen = !dotGroups && dotThousands && dotDecimal;
    if (decimal == ',')
        return {dotsGroup ? german : russian, true, false, dotGroups && dotDecimal, dotsOpen};
    if (commaGroups && !commaDecimal && !dotGroups)
        return {english, true};
    if (dotGroups)
        return {german, true, commaGroups, dotDecimal || commaGroups};
    if (commaDecimal)
        return {dotsGroup ? german : russian, true, commaGroups, false, dotsOpen};
    if (dotDecimal)
        return {english, true, false, false, dotsOpen};
    return {separator == ',' ? english : russian, false};
}

void splitFields(std::string_view line, char separator, Fields& fields) {
    // Room for the whole line, so that the views into it stay put.
    std::string& unquoted = fields.unquoted;
    unquoted.clear();
    unquoted.reserve(line.size());
    std::size_t used = 0;
    std::size_t i = 0;
    fields.ninthEnd = line.size();
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
        if (used == kBatchFields)
            fields.ninthEnd = end;
        if (end == line.size())
            break;
        i = end + 1;
    }
    fields.views.resize(used);
}

LineMass lineMass(const std::vector<std::string_view>& fields, const Reading& reading) {
    Problems problems;
    if (fields.size() < kBatchFields) {
        problems.add(countOf(fields.size(), "поле", "поля", "полей") + ", а нужно " +
                     std::to_string(kBatchFields));
        return {{}, std::move(problems.text()), {}};
    }
    LineReader line(reading);
    const double density = line.density(fields[fieldAt(Input::Alloy)]).value_or(0);
    const Mode mode = line.mode(fields[fieldAt(Input::Mode)]);
    MassNumbers numbers;
    for (const NumberInput& input : kNumbers)
        if (worksFrom(mode, input.input))
            if (const auto value = line.number(fields[fieldAt(input.input)], input))
                numbers[input.input] = *value;
    if (!line.problems.text().empty())
        return {{}, std::move(line.problems.text()), std::move(line.warnings.text())};
    std::string mass = massText(density, mode, numbers);
    if (const auto why = whyNoMass(density, mode, numbers, !mass.empty(), gradesNumbered)) {
        mass.clear();
        // The field's text, unless the reason already quotes its number.
        const std::string_view text =
            why->input ? trimWhiteSpace(fields[fieldAt(*why->input)]) : std::string_view();
        if (why->input && why->said.find(text) == std::string::npos)
            line.problems.add(*why->input, text,
                              why->said.empty() ? noMassWords(why->why) : why->said);
        else
            line.problems.add(why->input ? blockerText(*why)
                                         : "масса не считается: " + blockerText(*why));
    }
    return {std::move(mass), std::move(line.problems.text()), std::move(line.warnings.text())};
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
