#include "fields/PastedText.h"

#include <algorithm>

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

std::size_t leadingWhite(std::string_view text) {
    return std::max(leading(text, kBlanks), leading(text, kBreaks));
}

std::size_t trailingWhite(std::string_view text) {
    return std::max(trailing(text, kBlanks), trailing(text, kBreaks));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string_view trimWhiteSpace(std::string_view utf8) {
    while (const std::size_t n = leadingWhite(utf8))
        utf8.remove_prefix(n);
    while (const std::size_t n = trailingWhite(utf8))
        utf8.remove_suffix(n);
    return utf8;
}

std::optional<std::string> pastedNumber(std::string_view utf8) {
    std::string_view rest = trimWhiteSpace(utf8);
    std::string number;
    number.reserve(rest.size());
    int separators = 0;
    while (!rest.empty()) {
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
        const std::size_t taken = std::max<std::size_t>(run, 1);
        for (char c : rest.substr(0, taken)) {
            if (c == '.' || c == ',') {
                ++separators;
                c = ',';
            }
            number += c;
        }
        rest.remove_prefix(taken);
    }
    if (separators > 1)
        return std::nullopt;
    return number;
}

} // namespace sheetmass
