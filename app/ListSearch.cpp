#include "app/ListSearch.h"

#include "fields/EntrySearch.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace sheetmass {

ListSearch::ListSearch(QComboBox* list, std::span<const std::string_view> entries)
    : QObject(list), m_list(list), m_entries(entries) {
    list->view()->installEventFilter(this);
}

bool ListSearch::start(const QString& typed) {
    if (!showEntry(typed))
        return false;
    m_typed = typed;
    return true;
}

bool ListSearch::showEntry(const QString& typed) {
    const auto entry = firstEntryBeginningWith(m_entries, typed.toStdString());
    if (!entry)
        return false;
    if (!m_list->view()->isVisible())
        m_list->showPopup();
    const QModelIndex index = m_list->model()->index(int(*entry), m_list->modelColumn());
    m_list->view()->setCurrentIndex(index);
    m_list->view()->scrollTo(index, QAbstractItemView::PositionAtTop);
    return true;
}

bool ListSearch::eventFilter(QObject*, QEvent* event) {
    // A list opened by the mouse or the arrow keys spells from nothing.
    if (event->type() == QEvent::Hide)
        m_typed.clear();
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Backspace) {
        if (m_typed.size() > 1 && showEntry(m_typed.chopped(1)))
            m_typed.chop(1);
        return true;
    }
    // Enter, Escape, Tab and the arrows are the list's.
    const QString text = key->text();
    if (text.isEmpty() || text.front() < u' ' || text.front() == QChar(0x7F) ||
        key->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (showEntry(m_typed + text))
        m_typed += text;
    else
        QApplication::beep();
    return true;
}

} // namespace sheetmass
