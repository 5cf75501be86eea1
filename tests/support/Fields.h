#pragma once

// What the window tests do to the main window's fields, as a user does it,
// and how they read them back.

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <string_view>

namespace sheetmass::test {

inline QString u(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

inline QString textOf(const QWidget* w) {
    if (auto* list = qobject_cast<const QComboBox*>(w))
        return list->currentText();
    return static_cast<const QLineEdit*>(w)->text();
}

inline void setTextOf(QWidget* w, const QString& text) {
    if (auto* list = qobject_cast<QComboBox*>(w))
        list->setEditText(text);
    else
        static_cast<QLineEdit*>(w)->setText(text);
}

// Types like a keyboard does, also characters QTest has no key for.
inline void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        const int key = c.unicode() < 0x80 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
}

// Whether doing something ran the calculation, seen as a user sees it: a
// result field shortened by hand is written afresh by the next calculation.
template <class Action> bool recalculates(QLineEdit* result, Action&& act) {
    const QString mark = QStringLiteral("?");
    result->setText(mark);
    act();
    return result->text() != mark;
}

} // namespace sheetmass::test
