#include "app/KeyFilter.h"

#include "app/FileDrop.h"

#include "app/ListField.h"
#include "app/RefusalTip.h"
#include "behaviour/Form1Behaviour.h"
#include "look/Look.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <utility>

namespace sheetmass {
namespace {

using behaviour::Answer;
using behaviour::Key;
using behaviour::KeyKind;

std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

QLineEdit* editOf(QWidget* field) {
    if (auto* list = qobject_cast<QComboBox*>(field))
        return list->lineEdit();
    return qobject_cast<QLineEdit*>(field);
}

behaviour::FieldState stateOf(const QLineEdit* edit) {
    const int at = edit->cursorPosition();
    if (!edit->hasSelectedText())
        return {utf8(edit->text()), at, at};
    return {utf8(edit->text()), edit->selectionStart(), edit->selectionEnd()};
}

bool isKeypadDecimal(const QKeyEvent* key) {
    return key->modifiers().testFlag(Qt::KeypadModifier) &&
           (key->key() == Qt::Key_Period || key->key() == Qt::Key_Comma);
}

// Which of the design's keys a key press is. Ctrl with a letter carries a
// control code (Ctrl+H is 8, backspace), whatever text the platform reports.
// Ctrl+Y redoes here too, as it does on Windows.
Key keyOf(const QKeyEvent* key) {
    for (const auto& [shortcut, kind] : {std::pair{QKeySequence::Cut, KeyKind::Cut},
                                         {QKeySequence::Undo, KeyKind::Undo},
                                         {QKeySequence::Redo, KeyKind::Redo},
                                         {QKeySequence::Copy, KeyKind::Other},
                                         {QKeySequence::SelectAll, KeyKind::Other}})
        if (key->matches(shortcut))
            return {kind};
    if (key->key() == Qt::Key_Backspace)
        return {KeyKind::Backspace};
    if (key->key() == Qt::Key_Delete)
        return {KeyKind::Delete};
    if (isKeypadDecimal(key))
        return {KeyKind::KeypadDecimal};
    const QString text = key->text();
    const auto mods = key->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
    if (ctrl && key->key() == Qt::Key_Y && !mods.testFlag(Qt::ShiftModifier))
        return {KeyKind::Redo};
    if (text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return {KeyKind::Other};
    if (ctrl && key->key() == Qt::Key_H)
        return {KeyKind::Backspace};
    const char32_t c = text.toUcs4().value(0);
    if (ctrl || c < U' ' || c == 0x7F)
        return {KeyKind::Other};
    return {KeyKind::Character, c};
}

// Runs once when the window has the focus back from a menu that has just
// gone, or after a moment where it never left: the focus coming back would
// hide a tooltip shown before it.
class WhenFocusReturns : public QObject {
  public:
    WhenFocusReturns(QWidget* field, std::function<void()> run)
        : QObject(field), m_run(std::move(run)) {
        if (QWindow* window = field->window()->windowHandle())
            window->installEventFilter(this);
        QTimer::singleShot(kLongest, this, [this] { runOnce(); });
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, this, [this] { runOnce(); });
        return false;
    }

  private:
    static constexpr std::chrono::milliseconds kLongest{300};

    void runOnce() {
        if (std::exchange(m_ran, true))
            return;
        m_run();
        deleteLater();
    }

    std::function<void()> m_run;
    bool m_ran = false;
};

} // namespace

KeyFilter::KeyFilter(behaviour::Form1Behaviour& behaviour, Window window, QObject* parent)
    : QObject(parent), m_behaviour(behaviour), m_window(std::move(window)) {}

void KeyFilter::admit(QWidget* field, const forms::Control& design) {
    QList<QObject*> watched{field};
    if (auto* list = qobject_cast<QComboBox*>(field)) {
        // The list hands keys on to its edit part, where the mouse pastes
        // and drops.
        watched << list->lineEdit() << list->view();
        m_dropDowns.insert(list->view(), list);
    }
    for (QObject* o : watched) {
        m_fields.insert(o, field);
        m_designs.insert(o, &design);
        o->installEventFilter(this);
    }
}

bool KeyFilter::apply(QWidget* field, const Answer& a) {
    if (a.refused)
        showRefusal(field, *a.refused->at, toQString(a.refused->tip));
    if (a.beep)
        QApplication::beep();
    auto* list = qobject_cast<QComboBox*>(field);
    if (a.openAt && list != nullptr)
        openListAt(list, int(a.openAt->entry));
    if (a.pick && list != nullptr)
        pickFromList(list, int(a.pick->entry));
    if (a.insert) {
        QLineEdit* edit = editOf(field);
        if (a.insertAt) {
            edit->deselect();
            edit->setCursorPosition(*a.insertAt);
        }
        edit->insert(toQString(*a.insert));
    }
    if (a.restored) {
        if (list != nullptr)
            showInList(list, toQString(a.restored->text));
        else
            editOf(field)->setText(toQString(a.restored->text));
        editOf(field)->end(false);
    }
    m_window(a);
    return !a.pass;
}

void KeyFilter::reroute(QAction* action, QWidget* field, const forms::Control& design) {
    QLineEdit* edit = editOf(field);
    const QString words = action->text();
    if (words.startsWith(QLineEdit::tr("&Paste"))) {
        QObject::disconnect(action, nullptr, edit, nullptr);
        QObject::connect(action, &QAction::triggered, edit, [this, field, &design] {
            const QString text = QGuiApplication::clipboard()->text();
            new WhenFocusReturns(field, [=, this] { paste(field, design, text); });
        });
        return;
    }
    for (const KeyKind which : {KeyKind::Undo, KeyKind::Redo}) {
        if (!words.startsWith(which == KeyKind::Undo ? QLineEdit::tr("&Undo")
                                                     : QLineEdit::tr("&Redo")))
            continue;
        QObject::disconnect(action, nullptr, edit, nullptr);
        action->setEnabled(!design.readOnly && m_behaviour.canUndo(design, which));
        QObject::connect(action, &QAction::triggered, edit, [this, field, &design, which, edit] {
            apply(field, m_behaviour.key(design, {which}, stateOf(edit)));
        });
    }
}

void KeyFilter::paste(QWidget* field, const forms::Control& design, const QString& text) {
    apply(field, m_behaviour.paste(design, utf8(text), stateOf(editOf(field))));
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    QWidget* field = m_fields.value(watched);
    const forms::Control* design = m_designs.value(watched);
    if (field == nullptr || design == nullptr)
        return false;
    if (QComboBox* list = m_dropDowns.value(watched)) {
        // A list opened by the mouse or the arrow keys spells from nothing.
        if (event->type() == QEvent::Hide)
            m_behaviour.listClosed(*design);
        if (event->type() != QEvent::KeyPress)
            return false;
        return apply(list, m_behaviour.listKey(*design, keyOf(static_cast<QKeyEvent*>(event))));
    }
    return onEdit(watched, field, *design, event);
}

bool KeyFilter::onKey(QWidget* field, const forms::Control& design, const QKeyEvent* key) {
    QLineEdit* edit = editOf(field);
    if (key->matches(QKeySequence::Paste)) {
        paste(field, design, QGuiApplication::clipboard()->text());
        return true;
    }
    Answer a = m_behaviour.key(design, keyOf(key), stateOf(edit));
    // A key that types another character types it as its own key would.
    if (a.insert && !a.insertAt && a.insert->size() == 1) {
        const int code = *a.insert == "," ? int(Qt::Key_Comma) : 0;
        QKeyEvent typed(QEvent::KeyPress, code, key->modifiers() & ~Qt::KeypadModifier,
                        toQString(*a.insert), key->isAutoRepeat(),
                        static_cast<quint16>(key->count()));
        a.insert.reset();
        apply(field, a);
        QCoreApplication::sendEvent(field, &typed);
        return true;
    }
    return apply(field, a);
}

bool KeyFilter::onInputMethod(QWidget* field, const forms::Control& design, QInputMethodEvent* im) {
    QLineEdit* edit = editOf(field);
    // One character committed is typed; more are pasted. Either way the
    // field's own handling sees only what it may insert.
    const QString commit = im->commitString();
    if (commit.isEmpty())
        return false;
    if (commit.toUcs4().size() > 1) {
        paste(field, design, commit);
        im->setCommitString(QString());
        return false;
    }
    Answer a =
        m_behaviour.key(design, {KeyKind::Character, commit.toUcs4().front()}, stateOf(edit));
    if (!a.pass)
        im->setCommitString(a.insert ? toQString(*a.insert) : QString());
    a.insert.reset();
    a.pass = true;
    apply(field, a);
    return false;
}

bool KeyFilter::onDrop(QWidget* field, const forms::Control& design, QDropEvent* dropped) {
    QLineEdit* edit = editOf(field);
    // Moving text within the field is editing it; its characters are
    // already there.
    if (!dropped->mimeData()->hasText() ||
        (dropped->source() == edit && dropped->dropAction() == Qt::MoveAction))
        return false;
    const Answer a =
        m_behaviour.drop(design, utf8(dropped->mimeData()->text()),
                         edit->cursorPositionAt(dropped->position().toPoint()), stateOf(edit));
    // A copy: the field dragged from keeps its text.
    dropped->setDropAction(Qt::CopyAction);
    dropped->setAccepted(!a.refused);
    apply(field, a);
    return true;
}

bool KeyFilter::onEdit(QObject* watched, QWidget* field, const forms::Control& design,
                       QEvent* event) {
    QLineEdit* edit = editOf(field);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        // A file is the window's to take, not text for the field: ignored
        // here, it goes on to the window.
        if (droppedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty())
            return false;
        event->ignore();
        return true;
    case QEvent::KeyPress:
        return onKey(field, design, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
        return onInputMethod(field, design, static_cast<QInputMethodEvent*>(event));
    case QEvent::ContextMenu: {
        // The edit part's own menu, its paste going by the paste rule, its
        // undo and redo by the behaviour's steps.
        QMenu* menu = edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (QAction* action : menu->actions())
            reroute(action, field, design);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        // X11's middle click pastes the selection where it points.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton ||
            !QGuiApplication::clipboard()->supportsSelection() || watched != edit)
            return false;
        edit->deselect();
        paste(field, design, QGuiApplication::clipboard()->text(QClipboard::Selection));
        return true;
    }
    case QEvent::Drop:
        return onDrop(field, design, static_cast<QDropEvent*>(event));
    default:
        return false;
    }
}

} // namespace sheetmass
