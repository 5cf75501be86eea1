#include "app/FieldPaste.h"

#include "app/ListField.h"
#include "fields/FieldRule.h"
#include "fields/PastedText.h"
#include "forms/Form1.h"
#include "look/Look.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QToolTip>

namespace sheetmass {
namespace {

// The entry a pasted text names, trimmed as a copied cell is; -1 for none.
int entryNamed(const QComboBox* list, const std::string& pasted) {
    const std::string_view wanted = trimWhiteSpace(pasted);
    if (wanted.empty())
        return -1;
    for (int i = 0; i < list->count(); ++i)
        if (trimWhiteSpace(list->itemText(i).toStdString()) == wanted)
            return i;
    return -1;
}

void refuse(QWidget* field, const FieldRule& rule) {
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())),
                       toQString(forms::kRefusedPaste).arg(rule.hint), field);
    QApplication::beep();
}

} // namespace

bool admits(const std::string& admitted, QChar c) {
    return admits(std::string_view(admitted), char32_t(c.unicode()));
}

bool pasteInto(QLineEdit* edit, const QString& text, const FieldRule& rule,
               std::optional<int> dropAt) {
    const std::string utf8 = text.toStdString();
    auto* list = qobject_cast<QComboBox*>(edit->parentWidget());
    if (list != nullptr) {
        if (const int entry = entryNamed(list, utf8); entry >= 0) {
            showInList(list, list->itemText(entry));
            emit list->activated(entry);
            emit list->textActivated(list->itemText(entry));
            return true;
        }
    }
    const auto number = admittedNumber(utf8, rule.admitted);
    if (number && number->empty())
        return false;
    const QString taken = number ? QString::fromStdString(*number) : QString();
    const qsizetype replaced = dropAt ? 0 : edit->selectedText().size();
    const bool fits = number && edit->text().size() - replaced + taken.size() <= edit->maxLength();
    if (!fits) {
        refuse(list != nullptr ? static_cast<QWidget*>(list) : edit, rule);
        return false;
    }
    if (dropAt) {
        edit->deselect();
        edit->setCursorPosition(*dropAt);
    }
    edit->insert(taken);
    return true;
}

} // namespace sheetmass
