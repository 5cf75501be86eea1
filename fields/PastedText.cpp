#include "fields/PastedText.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace sheetmass {
namespace {

// Blanks that may group digits, in UTF-8: the blank, the no-break space and
// the figure, thin and narrow no-break spaces.
constexpr std::string_view kBlanks[] = {" ", "\u00A0", "\u2007", "\u2009", "\u202F"};
// White space that only surrounds a text.
constexpr std::string_view kBreaks[] = {"\t", "\n", "\r", "\v", "\f"};

// Every kind starts with a control character, the blank or a UTF-8 lead
// byte, and ends with one of the first two or a continuation byte: a printable
// ASCII character at that end rules them all out at once.
bool printable(char c) {
    return c > ' ' && static_cast<unsigned char>(c) < 0x80;
}

template <std::size_t N>
std::size_t leading(std::string_view text, const std::string_view (&kinds)[N]) {
    if (text.empty() || printable(text.front()))
        return 0;
    for (const std::string_view kind : kinds)
        if (text.front() == kind.front() && text.starts_with(kind))
            return kind.size();
    return 0;
}

template <std::size_t N>
std::size_t trailing(std::string_view text, const std::string_view (&kinds)[N]) {
    if (text.empty() || printable(text.back()))
        return 0;
    for (const std::string_view kind : kinds)
        if (text.back() == kind.back() && text.ends_with(kind))
            return kind.size();
    return 0;
}

// The bytes that begin and that end white space of either kind: a text
// whose ends are neither, such as a grade, has none to trim.
struct WhiteEnds {
    std::array<bool, 256> front{};
    std::array<bool, 256> back{};
};
constexpr WhiteEnds kWhiteEnds = [] {
    WhiteEnds ends;
    const auto note = [&](std::string_view kind) {
        ends.front[static_cast<unsigned char>(kind.front())] = true;
        ends.back[static_cast<unsigned char>(kind.back())] = true;
    };
    std::for_each(std::begin(kBlanks), std::end(kBlanks), note);
    std::for_each(std::begin(kBreaks), std::end(kBreaks), note);
    return ends;
}();

std::size_t leadingWhite(std::string_view text) {
    if (text.empty() || !kWhiteEnds.front[static_cast<unsigned char>(text.front())])
        return 0;
    return std::max(leading(text, kBlanks), leading(text, kBreaks));
}

std::size_t trailingWhite(std::string_view text) {
    if (text.empty() || !kWhiteEnds.back[static_cast<unsigned char>(text.back())])
        return 0;
    return std::max(trailing(text, kBlanks), trailing(text, kBreaks));
}

// Minus signs and dashes that spreadsheets and word processors write for
// the minus: U+2212, the figure dash, the en dash, the small and the
// full-width hyphen-minus.
constexpr std::string_view kMinuses[] = {"\u2212", "\u2012", "\u2013", "\uFE63", "\uFF0D"};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isPlain(char c) {
    return isDigit(c) || c == ',' || c == '.' || c == '-';
}

// One decimal mark, a dot or a comma, which becomes the comma.
bool russian(std::string& number) {
    char* mark = nullptr;
    for (char& c : number) {
        if (c != ',' && c != '.')
            continue;
        if (mark != nullptr)
            return false;
        mark = &c;
    }
    if (mark != nullptr)
        *mark = ',';
    return true;
}

// At most one decimal mark, which becomes the comma; group marks only
// between groups of three digits before it, the first group not a lone 0,
// and then left out. The English way: a dot and commas; the German one: a
// comma and dots.
bool grouped(std::string& number, char decimal, char group) {
    const std::size_t mark = number.find(decimal);
    if (mark != std::string::npos && number.find(decimal, mark + 1) != std::string::npos)
        return false;
    if (number.find(group) == std::string::npos) { // most numbers have no groups
        if (mark != std::string::npos)
            number[mark] = ',';
        return true;
    }
    const auto digitsAt = [&](std::size_t from) {
        std::size_t to = from;
        while (to < number.size() && isDigit(number[to]))
            ++to;
        return to - from;
    };
    bool first = true;
    for (std::size_t i = number.find(group); i != std::string::npos;
         i = number.find(group, i + 1)) {
        if (i > mark || digitsAt(i + 1) != 3)
            return false;
        if (first) {
            std::size_t start = i;
            while (start > 0 && isDigit(number[start - 1]))
                --start;
            if (i - start == 0 || i - start > 3 || number[start] == '0')
                return false;
            first = false;
        } else if (i < 4 || number[i - 4] != group) {
            return false;
        }
    }
    std::erase(number, group);
    if (decimal != ',')
        std::replace(number.begin(), number.end(), decimal, ',');
    return true;
}

// Digits, a minus and a comma alone: what each reading could be asked
// about.
bool isNumber(std::string_view number) {
    return number.find_first_not_of("0123456789-,") == std::string_view::npos &&
           number.find_first_of("0123456789") != std::string_view::npos;
}

} // namespace

namespace {

// Kept out of line, so that the common call, with nothing to trim, is short.
[[gnu::noinline]] std::string_view trimmed(std::string_view utf8) {
    while (const std::size_t n = leadingWhite(utf8))
        utf8.remove_prefix(n);
    while (const std::size_t n = trailingWhite(utf8))
        utf8.remove_suffix(n);
    return utf8;
}

} // namespace

std::string_view trimWhiteSpace(std::string_view utf8) {
    if (utf8.empty() || (!kWhiteEnds.front[static_cast<unsigned char>(utf8.front())] &&
                         !kWhiteEnds.back[static_cast<unsigned char>(utf8.back())]))
        return utf8;
    return trimmed(utf8);
}

std::optional<std::string> pastedNumber(std::string_view utf8, NumberWay way) {
    std::string number;
    if (!pastedNumber(utf8, way, number))
        return std::nullopt;
    return number;
}

bool pastedNumber(std::string_view utf8, NumberWay way, std::string& number) {
    std::string_view rest = trimWhiteSpace(utf8);
    // Most texts are digits and marks alone, with nothing to leave out.
    if (std::all_of(rest.begin(), rest.end(), isPlain)) {
        number.assign(rest);
        rest = {};
    } else {
        number.clear();
    }
    while (!rest.empty()) {
        // Digits and marks go in as they are, a run at a time.
        std::size_t plain = 0;
        while (plain < rest.size() && isPlain(rest[plain]))
            ++plain;
        if (plain > 0) {
            number.append(rest.substr(0, plain));
            rest.remove_prefix(plain);
            continue;
        }
        // A run of blanks between two digits groups them; anywhere else it
        // stays, and the field refuses it.
        std::size_t run = 0;
        while (const std::size_t n = leading(rest.substr(run), kBlanks))
            run += n;
        if (run > 0 && !number.empty() && isDigit(number.back()) && run < rest.size() &&
            isDigit(rest[run])) {
            rest.remove_prefix(run);
            continue;
        }
        if (const std::size_t minus = run == 0 ? leading(rest, kMinuses) : 0) {
            number += '-';
            rest.remove_prefix(minus);
            continue;
        }
        const std::size_t taken = std::max<std::size_t>(run, 1);
        number.append(rest.substr(0, taken));
        rest.remove_prefix(taken);
    }
    switch (way) {
    case NumberWay::english:
        return grouped(number, '.', ',');
    case NumberWay::german:
        return grouped(number, ',', '.');
    case NumberWay::russian:
        break;
    }
    return russian(number);
}

NumberLook numberLook(std::string_view utf8) {
    const bool comma = utf8.find(',') != std::string_view::npos;
    const bool dot = utf8.find('.') != std::string_view::npos;
    if (!comma && !dot)
        return {};
    // Digits with one mark, the common case, told at a glance.
    const std::string_view digits = utf8.starts_with('-') ? utf8.substr(1) : utf8;
    const std::size_t mark = digits.find_first_of(",.");
    if (std::all_of(digits.begin(), digits.end(),
                    [](char c) { return isDigit(c) || c == ',' || c == '.'; }) &&
        mark > 0 && mark + 1 < digits.size() &&
        digits.find_first_of(",.", mark + 1) == std::string_view::npos) {
        NumberLook look;
        const bool groups = digits.size() - mark == 4 && mark <= 3 && digits.front() != '0';
        if (comma)
            (groups ? look.thousands : look.commaDecimal) = true;
        else
            (groups ? look.dotThousands : look.dotDecimal) = true;
        return look;
    }
    const auto read = [&](NumberWay way) {
        const auto number = pastedNumber(utf8, way);
        return number && isNumber(*number) ? number : std::nullopt;
    };
    const auto russian = read(NumberWay::russian);
    const auto english = read(NumberWay::english);
    const auto german = read(NumberWay::german);
    NumberLook look;
    look.commaDecimal = comma && russian && !english;
    look.commaGroups = english && !russian && !german;
    look.dotGroups = german && !russian && !english;
    look.thousands = comma && russian && english && *russian != *english;
    look.dotDecimal = dot && !comma && russian && english && !german;
    look.dotThousands = dot && !comma && russian && german && *russian != *german;
    return look;
}

} // namespace sheetmass
