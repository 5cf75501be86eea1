#include "batch/Utf8.h"

namespace sheetmass {
namespace {

unsigned byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// Bytes of the character a lead byte starts; 0 for a byte that starts none.
std::size_t sequenceLength(unsigned lead) {
    return lead < 0x80   ? 1
           : lead < 0xC2 ? 0
           : lead < 0xE0 ? 2
           : lead < 0xF0 ? 3
           : lead < 0xF5 ? 4
                         : 0;
}

} // namespace

bool isUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned lead = byteAt(bytes, i);
        if (lead < 0x80) { // most of a line
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(lead);
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((byteAt(bytes, i + k) & 0xC0) != 0x80)
                return false;
        if (length > 2) {
            // The second byte's range rules out overlong forms, surrogates
            // and code points past U+10FFFF.
            const unsigned second = byteAt(bytes, i + 1);
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
                return false;
        }
        i += length;
    }
    return true;
}

std::size_t completeLength(std::string_view bytes) {
    std::size_t start = bytes.size();
    // Back over up to three continuation bytes to the last lead byte.
    while (start > 0 && bytes.size() - start < 4 && (byteAt(bytes, start - 1) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return bytes.size();
    const std::size_t length = sequenceLength(byteAt(bytes, start - 1));
    return length > bytes.size() - start + 1 ? start - 1 : bytes.size();
}

} // namespace sheetmass
