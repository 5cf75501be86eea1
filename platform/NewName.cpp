#include "platform/NewName.h"

namespace sheetmass::platform {
namespace {

constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

} // namespace

std::string newFileName(std::string_view prefix, const unsigned char (&random)[kRandomLetters]) {
    std::string name(prefix);
    for (unsigned char r : random)
        name += kLetters[r % kLetters.size()];
    return name;
}

bool isNewFileName(std::string_view name, std::string_view prefix) {
    return name.size() == prefix.size() + kRandomLetters && name.starts_with(prefix) &&
           name.find_first_not_of(kLetters, prefix.size()) == std::string_view::npos;
}

} // namespace sheetmass::platform
