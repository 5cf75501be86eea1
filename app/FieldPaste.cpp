#include "app/FieldPaste.h"

#include "app/ListField.h"
#include "fields/EntrySearch.h"
#include "forms/Texts.h"
#include "look/Look.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QToolTip>

#include <string_view>
#include <vector>

namespace sheetmass {
namespace {

// The entry a pasted text names; -1 for none.
int entryNamed(const QComboBox* list, const std::string& pasted) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->itemText(i).toStdString());
    const std::vector<std::string_view> entries(texts.begin(), texts.end());
    const auto entry = sheetmass::entryNamed(entries, pasted);
    return entry ? int(*entry) : -1;
}

constexpr int kTipGap = 2; // pixels between a tooltip above a field and the field

QWidget* shownTip() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QStringLiteral("qtooltip_label") && top->isVisible())
            return top;
    return nullptr;
}

} // namespace

bool admits(const std::string& admitted, QChar c) {
    return admits(std::string_view(admitted), char32_t(c.unicode()));
}

void refuse(QWidget* field, Refusal why, bool typed, const QString& hint) {
    const QString text = toQString(forms::refusedTip(why, typed, hint.toStdString()));
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field);
    if (QWidget* tip = shownTip()) {
        const QPoint top = field->mapToGlobal(QPoint(0, 0));
        const int above = top.y() - tip->height() - kTipGap;
        if (above >= field->screen()->availableGeometry().top())
            tip->move(top.x(), above);
    }
    QApplication::beep();
}

QString keptText(const QLineEdit* edit) {
    QString kept = edit->text();
    if (edit->hasSelectedText())
        kept.remove(edit->selectionStart(), edit->selectedText().size());
    return kept;
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
    QWidget* field = list != nullptr ? static_cast<QWidget*>(list) : edit;
    if (edit->isReadOnly()) {
        refuse(field, Refusal::ReadOnly, false, rule.hint);
        return false;
    }
    const QString kept = dropAt ? edit->text() : keptText(edit);
    const Taken taken = takenInto(rule.number(), utf8, kept.toStdString());
    if (taken.refusal != Refusal::None) {
        refuse(field, taken.refusal, false, rule.hint);
        return false;
    }
    if (dropAt) {
        edit->deselect();
        edit->setCursorPosition(*dropAt);
    }
    edit->insert(QString::fromStdString(taken.text));
    return true;
}

} // namespace sheetmass
