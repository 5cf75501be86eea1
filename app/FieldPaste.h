#pragma once

#include "fields/FieldRule.h"

#include <QString>

#include <optional>
#include <string>

class QLineEdit;
class QWidget;

namespace sheetmass {

// What a filtered field of the main window takes.
struct FieldRule {
    std::string admitted; // FilterKey's admitted text for the field
    int room = 0;         // the longest text it keeps, 0 for any length
    QString hint;         // what the field takes, in the user's words

    NumberField number() const { return {admitted.c_str(), room}; }
};

// Whether a character typed into the field passes its filter: FilterKey asked
// with its Windows-1251 code, as for a key press.
bool admits(const std::string& admitted, QChar c);

// Tells that field refused what a key (typed) or a paste brought: a tooltip
// at it naming the rule and what the field takes, above the field where the
// screen has room so that the fields below stay in sight, and the desktop's
// beep.
void refuse(QWidget* field, Refusal why, bool typed, const QString& hint);

// The field's text without its selection: what a key or a paste keeps.
QString keptText(const QLineEdit* edit);

// Puts a text that comes at once (pasted, dropped, committed by an input
// method) into a filtered field, edit being the field or its list's edit
// part. A list's entry is picked as from the list. Anything else goes in as
// one change, replacing the selection or at dropAt, only when, trimmed and
// with its digits ungrouped and a dot made the comma, every character passes
// the filter, the number keeps one comma and the field's text stays within
// its room. Else the field stays as it was and is refused (refuse).
// Returns whether the field took the text.
bool pasteInto(QLineEdit* edit, const QString& text, const FieldRule& rule,
               std::optional<int> dropAt = std::nullopt);

} // namespace sheetmass
