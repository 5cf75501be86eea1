#include "app/ListField.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace sheetmass {
namespace {

class WheelNeedsFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        event->ignore();
        return true;
    }
};

// Qt names an editable combo box after its text on Linux, counting on the
// caption's relation; screen readers then say "0" for the decimal places.
// Here the name is the caption, the text its value.
class ListFieldAccessible : public QAccessibleWidget {
  public:
    explicit ListFieldAccessible(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

  private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

constexpr const char* kListFieldMark = "sheetmassListField";

QAccessibleInterface* listFieldAccessible(const QString&, QObject* object) {
    auto* list = qobject_cast<QComboBox*>(object);
    if (list == nullptr || !list->property(kListFieldMark).toBool())
        return nullptr;
    return new ListFieldAccessible(list);
}

} // namespace

QComboBox* makeListField(QWidget* parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(listFieldAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    auto* list = new QComboBox(parent);
    list->setProperty(kListFieldMark, true);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setDuplicatesEnabled(true);
    // Completion would put text into the field that no key typed.
    list->setCompleter(nullptr);
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(new WheelNeedsFocus(list));
    // Instead of a pick when the edit ends, the entry quietly follows the
    // text, so the arrow keys step on from what was typed.
    QObject::disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
    QObject::connect(list->lineEdit(), &QLineEdit::editingFinished, list, [list] {
        const QSignalBlocker quiet(list);
        showInList(list, list->currentText());
    });
    return list;
}

void showInList(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    list->setEditText(text);
}

void openListAt(QComboBox* list, int entry) {
    if (!list->view()->isVisible())
        list->showPopup();
    const QModelIndex index = list->model()->index(entry, list->modelColumn());
    list->view()->setCurrentIndex(index);
    list->view()->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void pickFromList(QComboBox* list, int entry) {
    showInList(list, list->itemText(entry));
    emit list->activated(entry);
    emit list->textActivated(list->itemText(entry));
}

} // namespace sheetmass
