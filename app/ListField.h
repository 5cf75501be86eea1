#pragma once

class QComboBox;
class QString;
class QWidget;

namespace sheetmass {

// A list field of the main window: an editable drop-down whose text may be
// any text. Only a pick from the list, with the mouse or the arrow keys,
// counts as a pick: Qt would also take a typed text that equals an entry as
// one when the field loses focus. The mouse wheel turns it only while it has
// the keyboard focus, so an idle wheel over the window changes nothing.
QComboBox* makeListField(QWidget* parent);

// Shows text in the field, with its entry current when it is one, so that
// the arrow keys step on from there (or from the top when it is none).
void showInList(QComboBox* list, const QString& text);

// Opens the list at an entry, current and at its top; nothing is picked.
void openListAt(QComboBox* list, int entry);

// Picks an entry as the user would from the list: shown, and told.
void pickFromList(QComboBox* list, int entry);

} // namespace sheetmass
