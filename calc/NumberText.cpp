#include "calc/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace sheetmass {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<double> parseNumber(std::string_view text) {
    text = trimBlanks(text);
    // Checked by hand first: from_chars alone would take "inf", "nan" and
    // forms the fields never show.
    std::string plain;
    plain.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        plain += text[i++];
    std::size_t digits = 0;
    long long leadingPlaces = 0; // decimal position of the first significant digit
    bool seenSignificant = false;
    long long intDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
        plain += text[i];
        if (seenSignificant || text[i] != '0') {
            seenSignificant = true;
            ++intDigits;
        }
    }
    if (i < text.size() && text[i] == ',') {
        plain += '.';
        ++i;
        long long zeros = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
            plain += text[i];
            if (!seenSignificant) {
                if (text[i] == '0')
                    ++zeros;
                else
                    seenSignificant = true;
            }
        }
        if (intDigits == 0)
            leadingPlaces = -zeros;
    }
    if (digits == 0)
        return std::nullopt;
    leadingPlaces += intDigits;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        plain += 'e';
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            plain += text[i++];
        }
        std::size_t expDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++expDigits) {
            plain += text[i];
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (expDigits == 0)
            return std::nullopt;
        if (negative)
            exponent = -exponent;
    }
    if (i != text.size())
        return std::nullopt;

    double value = 0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Tell underflow, which reads as zero, from overflow, which fails.
        if (!seenSignificant || leadingPlaces + exponent < 0)
            return plain.front() == '-' ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string formatNumber(double value) {
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return "0";
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return {};
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == '.')
            c = ',';
        else if (c == 'e')
            c = 'E';
    }
    return text;
}

} // namespace sheetmass
