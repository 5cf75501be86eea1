#include "batch/DecimalSum.h"

#include "calc/NumberText.h"

#include <algorithm>

namespace sheetmass {
namespace {

template <typename Digits> void subtract(Digits& from, const Digits& taken) { // from >= taken
    int borrow = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        int d = from[i] - taken[i] - borrow;
        borrow = d < 0;
        from[i] = static_cast<std::uint8_t>(d + (borrow ? 10 : 0));
    }
}

} // namespace

bool DecimalSum::add(std::string_view number) {
    const auto parts = splitNumber(number);
    if (!parts)
        return false;
    const long long count = static_cast<long long>(parts->digitCount());
    if (count == 0)
        return true;
    // The first digit weighs 10^(scale-1), the last 10^(scale-count).
    if (parts->scale - count < kLowest || parts->scale > kHighestScale)
        return false;
    Digits& sum = parts->negative ? m_negative : m_positive;
    for (long long i = 0; i < count; ++i) {
        std::size_t at = static_cast<std::size_t>(parts->scale - 1 - i - kLowest);
        sum[at] =
            static_cast<std::uint8_t>(sum[at] + (parts->digit(static_cast<std::size_t>(i)) - '0'));
        while (sum[at] >= 10 && at + 1 < sum.size()) {
            sum[at] = static_cast<std::uint8_t>(sum[at] - 10);
            ++sum[++at];
        }
    }
    return true;
}

std::string DecimalSum::text() const {
    const auto larger = [](const Digits& a, const Digits& b) {
        return std::lexicographical_compare(b.rbegin(), b.rend(), a.rbegin(), a.rend());
    };
    const bool negative = larger(m_negative, m_positive);
    Digits sum = negative ? m_negative : m_positive;
    subtract(sum, negative ? m_positive : m_negative);

    const auto nonZero = [](std::uint8_t d) { return d != 0; };
    const auto top = std::find_if(sum.rbegin(), sum.rend(), nonZero);
    if (top == sum.rend())
        return "0";
    const int point = -kLowest; // index of the digit that weighs 1
    const int first = static_cast<int>(sum.rend() - top) - 1;
    const int last = static_cast<int>(std::find_if(sum.begin(), sum.end(), nonZero) - sum.begin());
    const auto digit = [&](int i) {
        return static_cast<char>('0' + sum[static_cast<std::size_t>(i)]);
    };
    std::string text = negative ? "-" : "";
    // Written as a line's mass is: with an exponent from 15 whole digits on
    // and below 0,0001, every digit kept.
    if (const int exponent = first - point; exponent >= 15 || exponent < -4) {
        for (int i = first; i >= last; --i)
            text.append(1, digit(i)).append(i == first && i > last ? "," : "");
        const int size = exponent < 0 ? -exponent : exponent;
        return text.append(exponent < 0 ? "E-" : "E+").append(size < 10 ? "0" : "") +
               std::to_string(size);
    }
    for (int i = std::max(point, first); i >= std::min(point, last); --i) {
        if (i == point - 1)
            text += ',';
        text += digit(i);
    }
    return text;
}

} // namespace sheetmass
