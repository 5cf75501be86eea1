#pragma once

#include <QString>

#include <optional>
#include <string>

class QLineEdit;

namespace sheetmass {

// What a filtered field of the main window takes.
struct FieldRule {
    std::string admitted; // FilterKey's admitted text for the field
    QString hint;         // what the field takes, in the user's words
};

// Whether a character typed into the field passes its filter: FilterKey asked
// with its Windows-1251 code, as for a key press.
bool admits(const std::string& admitted, QChar c);

// Puts a text that comes at once (pasted, dropped, committed by an input
// method) into a filtered field, edit being the field or its list's edit
// part. A list's entry is picked as from the list. Anything else goes in as
// one change, replacing the selection or at dropAt, only when, trimmed and
// with its digits ungrouped and a dot made the comma, every character passes
// the filter and the field's text stays within its maximum length. Else the
// field stays as it was, and a tooltip at it says what it takes, with a beep.
// Returns whether the field took the text.
bool pasteInto(QLineEdit* edit, const QString& text, const FieldRule& rule,
               std::optional<int> dropAt = std::nullopt);

} // namespace sheetmass
