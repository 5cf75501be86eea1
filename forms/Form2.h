#pragma once

#include "forms/Form.h"

#include <string_view>

namespace sheetmass::forms {

// The About window: five labels over the picture, in creation order.
extern const Window kForm2;

// The author's address, which the link shows and writes to.
inline constexpr std::string_view kMailAddress = "sheetmass@example.org";

// The link's URL is its parts run together, unescaped: scheme, address,
// query key, subject and tail, so that it ends in two blanks.
struct MailLink {
    std::string_view label; // the label that is the link
    std::string_view scheme, address, query, subject, tail;
};
inline constexpr MailLink kMailLink = {
    "Метка5", "mailto:", kMailAddress, "?Subject=", "Листы алюминиевые ", " ",
};

// Said in a box when no mail program could be started; %1 is the address.
inline constexpr std::string_view kNoMailProgram =
    "Не удалось запустить почтовую программу.\nНапишите письмо по адресу\n%1";
// The one entry of the link's context menu.
inline constexpr std::string_view kCopyAddress = "Копировать адрес";

} // namespace sheetmass::forms
