#include "app/KeyFilter.h"

#include "app/ListSearch.h"
#include "forms/Form.h"
#include "look/Look.h"

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
#include <functional>
#include <utility>

namespace sheetmass {
namespace {

QLineEdit* editOf(QObject* field) {
    if (auto* list = qobject_cast<QComboBox*>(field))
        return list->lineEdit();
    return qobject_cast<QLineEdit*>(field);
}

// Keys that type no character reach the field untouched: moving, deleting
// forward, focus changes, and shortcuts that copy, select, cut what Backspace
// could delete, or undo.
bool typesNoCharacter(const QKeyEvent* key) {
    for (auto shortcut : {QKeySequence::Copy, QKeySequence::SelectAll, QKeySequence::Cut,
                          QKeySequence::Undo, QKeySequence::Redo})
        if (key->matches(shortcut))
            return true;
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return true;
    default:
        return key->text().isEmpty();
    }
}

// The code a key press types: Ctrl with a letter carries a control code
// (Ctrl+H is 8, backspace), whatever text the platform reports for it.
QChar typedCharacter(const QKeyEvent* key) {
    const auto mods = key->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
    if (ctrl && key->key() >= Qt::Key_At && key->key() <= Qt::Key_Underscore)
        return QChar(key->key() - Qt::Key_At);
    return key->text().front();
}

bool isKeypadDecimal(const QKeyEvent* key) {
    return key->modifiers().testFlag(Qt::KeypadModifier) &&
           (key->key() == Qt::Key_Period || key->key() == Qt::Key_Comma);
}

// Types the comma in place of the key, as the comma key would.
void typeComma(QObject* field, const QKeyEvent* key) {
    QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, key->modifiers() & ~Qt::KeypadModifier,
                    QStringLiteral(","), key->isAutoRepeat(), static_cast<quint16>(key->count()));
    QCoreApplication::sendEvent(field, &comma);
}

// Keys that would change a text only the calculation writes; moving,
// selecting and copying are a reader's.
bool edits(const QKeyEvent* key) {
    for (auto shortcut : {QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})
        if (key->matches(shortcut))
            return true;
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        return true;
    const QString text = key->text();
    return !text.isEmpty() && text.front() >= u' ' && text.front() != QChar(0x7F) &&
           !key->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier);
}

bool filterKey(QObject* field, const QKeyEvent* key, const std::optional<FieldRule>& rule,
               ListSearch* search) {
    if (!rule) {
        // Any text is fine here; the keypad still gives the comma the
        // number wants, whatever the layout puts on the key.
        if (!isKeypadDecimal(key))
            return false;
        typeComma(field, key);
        return true;
    }
    QLineEdit* edit = editOf(field);
    QWidget* shown = static_cast<QWidget*>(field);
    if (key->matches(QKeySequence::Paste)) {
        pasteInto(edit, QGuiApplication::clipboard()->text(), *rule);
        return true;
    }
    if (edit->isReadOnly()) {
        if (!edits(key))
            return false;
        refuse(shown, Refusal::ReadOnly, true, rule->hint);
        return true;
    }
    if (typesNoCharacter(key))
        return false;
    const QChar c = isKeypadDecimal(key) ? QChar(u',') : typedCharacter(key);
    if (c == u'\b')
        return false;
    const TypedKey typed = typedInto(rule->number(), c.unicode(), keptText(edit).toStdString());
    if (typed.refusal == Refusal::None) {
        if (typed.character == c.unicode() && !isKeypadDecimal(key))
            return false;
        typeComma(field, key);
        return true;
    }
    if (typed.refusal == Refusal::Character && c.isLetter() && search != nullptr &&
        search->start(c))
        return true;
    refuse(shown, typed.refusal, true, rule->hint);
    return true;
}

// One character committed is typed; more are pasted. Either way the field's
// own handling sees only what it may insert.
void filterCommit(QObject* field, QInputMethodEvent* im, const FieldRule& rule) {
    const QString commit = im->commitString();
    if (commit.isEmpty())
        return;
    QString kept;
    if (commit.size() == 1) {
        const QChar c = commit.front();
        const TypedKey typed = c == u'\b' ? TypedKey{0, Refusal::Character}
                                          : typedInto(rule.number(), c.unicode(),
                                                      keptText(editOf(field)).toStdString());
        if (typed.refusal == Refusal::None)
            kept = QChar(char16_t(typed.character));
        else
            refuse(static_cast<QWidget*>(field), typed.refusal, true, rule.hint);
    } else {
        pasteInto(editOf(field), commit, rule);
    }
    if (kept != commit)
        im->setCommitString(kept);
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

// The edit part's own menu, its paste going by the paste rule.
void showMenu(QLineEdit* edit, const QContextMenuEvent* event, const FieldRule& rule) {
    QMenu* menu = edit->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString paste = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (!action->text().startsWith(paste))
            continue;
        QObject::disconnect(action, nullptr, edit, nullptr);
        QObject::connect(action, &QAction::triggered, edit, [edit, rule] {
            const QString text = QGuiApplication::clipboard()->text();
            new WhenFocusReturns(edit, [edit, rule, text] { pasteInto(edit, text, rule); });
        });
    }
    menu->popup(event->globalPos());
}

void drop(QLineEdit* edit, QDropEvent* event, const FieldRule& rule) {
    const bool taken = pasteInto(edit, event->mimeData()->text(), rule,
                                 edit->cursorPositionAt(event->position().toPoint()));
    // A copy: the field dragged from keeps its text.
    event->setDropAction(Qt::CopyAction);
    event->setAccepted(taken);
}

} // namespace

void KeyFilter::admit(QObject* field, const forms::Control& design) {
    std::optional<FieldRule> rule;
    if (design.admits)
        rule = FieldRule{design.admits->admitted, design.admits->room, toQString(design.hint)};
    m_rules.insert(field, rule);
    auto* list = qobject_cast<QComboBox*>(field);
    if (list != nullptr && rule && !design.entries.empty())
        m_searches.insert(list, new ListSearch(list, design.entries));
    field->installEventFilter(this);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const auto found = m_rules.constFind(watched);
    if (found == m_rules.cend())
        return false;
    const std::optional<FieldRule>& rule = *found;
    if (event->type() == QEvent::KeyPress)
        return filterKey(watched, static_cast<QKeyEvent*>(event), rule,
                         m_searches.value(watched, m_searches.value(watched->parent())));
    if (!rule)
        return false;

    QLineEdit* edit = editOf(watched);
    switch (event->type()) {
    case QEvent::InputMethod:
        filterCommit(watched, static_cast<QInputMethodEvent*>(event), *rule);
        return false;
    case QEvent::ContextMenu:
        showMenu(edit, static_cast<QContextMenuEvent*>(event), *rule);
        return true;
    case QEvent::MouseButtonRelease: {
        // X11's middle click pastes the selection where it points.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched != edit || mouse->button() != Qt::MiddleButton ||
            !QGuiApplication::clipboard()->supportsSelection())
            return false;
        edit->deselect();
        pasteInto(edit, QGuiApplication::clipboard()->text(QClipboard::Selection), *rule);
        return true;
    }
    case QEvent::Drop: {
        auto* dropped = static_cast<QDropEvent*>(event);
        // Moving text within the field is editing it; its characters are
        // already there.
        if (!dropped->mimeData()->hasText() ||
            (dropped->source() == edit && dropped->dropAction() == Qt::MoveAction &&
             !rule->admitted.empty()))
            return false;
        drop(edit, dropped, *rule);
        return true;
    }
    default:
        return false;
    }
}

} // namespace sheetmass
