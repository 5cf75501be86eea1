#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sheetmass {

// The exact decimal sum of number texts in the fields' form ("11,08",
// "-0,54", "1,5E+20"), in the memory of a few digits' rows whatever their
// count: every finite double's digits and any sum of them have a place.
class DecimalSum {
  public:
    // Adds a number text; false, and nothing added, when it is none or
    // lies beyond a double's range.
    bool add(std::string_view number);

    // The sum with a comma, every digit and no trailing zeros, in the form
    // a line's mass takes: plain from 0,0001 to 15 whole digits ("110,8",
    // "-0,54", "0"), else with an exponent ("1,5E+20", "1E-05").
    std::string text() const;

  private:
    // Digit i weighs 10^(i + kLowest); room above a double's 10^308 for the
    // carries of any count of lines.
    static constexpr int kLowest = -360;
    static constexpr int kDigits = 760;
    // The highest scale added: beyond any double's, with 70 digits above it
    // for the carries.
    static constexpr long long kHighestScale = kLowest + kDigits - 70;
    using Digits = std::array<std::uint8_t, kDigits>;
    Digits m_positive{};
    Digits m_negative{};
};

} // namespace sheetmass
