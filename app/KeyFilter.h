#pragma once

#include "behaviour/Answer.h"

#include <QHash>
#include <QObject>

#include <functional>

class QAction;
class QComboBox;
class QDropEvent;
class QEvent;
class QInputMethodEvent;
class QKeyEvent;

namespace sheetmass {
namespace behaviour {
class Form1Behaviour;
}

// Every way text comes into a field of the main window, as Qt delivers it,
// handed to the behaviour before the field sees it: a typed key, an input
// method's commit, Ctrl+V, Shift+Insert, the context menu's paste, X11's
// middle click, a drop, and the keys that reach a list's open drop-down;
// undo and redo, by key or menu, too.
// What the answer asks of the field is done here; the rest goes to the
// window. Text set by the program is not its business.
class KeyFilter : public QObject {
  public:
    using Window = std::function<void(const behaviour::Answer&)>;
    KeyFilter(behaviour::Form1Behaviour& behaviour, Window window, QObject* parent);

    // Installs the filter on a field, or on a list, its edit part and its
    // drop-down.
    void admit(QWidget* field, const forms::Control& design);

    // Does what the answer asks of its field; whether the event is taken.
    bool apply(QWidget* field, const behaviour::Answer& answer);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onEdit(QObject* watched, QWidget* field, const forms::Control& design, QEvent* event);
    bool onKey(QWidget* field, const forms::Control& design, const QKeyEvent* key);
    bool onInputMethod(QWidget* field, const forms::Control& design, QInputMethodEvent* im);
    bool onDrop(QWidget* field, const forms::Control& design, QDropEvent* dropped);
    void paste(QWidget* field, const forms::Control& design, const QString& text);
    // An action of the field's own menu that edits, sent the way its key goes.
    void reroute(QAction* action, QWidget* field, const forms::Control& design);

    behaviour::Form1Behaviour& m_behaviour;
    Window m_window;
    QHash<QObject*, QWidget*> m_fields; // the field a watched object belongs to
    QHash<QObject*, const forms::Control*> m_designs;
    QHash<QObject*, QComboBox*> m_dropDowns;
};

} // namespace sheetmass
