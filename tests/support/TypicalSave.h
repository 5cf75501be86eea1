#pragma once

#include <string>
#include <utility>

// The inputs of a typical batch as List.abc holds them, byte for byte: mode
// "номиналу", thickness 2 with deviations 0,2 and -0,2, 2000 × 1000, one
// sheet, two places, alloy "Д16 (1160)". 214 bytes.
inline std::string TypicalSaveImage() {
    using namespace std::string_literals;
    std::string image(214, '\0');
    const std::pair<std::size_t, std::string> items[] = {
        {0, "\x08\x00\x08\x00\xED\xEE\xEC\xE8\xED\xE0\xEB\xF3"s},
        {100, "\x08\x00\x01\x00\x32"s},
        {110, "\x08\x00\x03\x00\x30\x2C\x32"s},
        {120, "\x08\x00\x04\x00\x2D\x30\x2C\x32"s},
        {130, "\x08\x00\x04\x00\x32\x30\x30\x30"s},
        {140, "\x08\x00\x04\x00\x31\x30\x30\x30"s},
        {150, "\x08\x00\x01\x00\x31"s},
        {160, "\x00\x00\x00\x00\x00\x00\x00\x40"s},
        {200, "\x08\x00\x0A\x00\xC4\x31\x36\x20\x28\x31\x31\x36\x30\x29"s},
    };
    for (const auto& [at, bytes] : items)
        image.replace(at, bytes.size(), bytes);
    return image;
}
