#include "app/KeyFilter.h"

#include "app/CodePage.h"
#include "calc/FilterKey.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>

namespace sheetmass {
namespace {

bool admits(const std::optional<std::string>& admitted, QChar c) {
    if (!admitted)
        return true;
    const auto code = static_cast<std::int16_t>(std::max(0, cp1251Code(c.unicode())));
    return code != 0 && Модуль1::FilterKey(code, *admitted) == code;
}

// Keys that type no character reach the field untouched: moving, deleting
// forward, focus changes, and shortcuts that change no text (copying,
// selecting all) or that carry no control code (Shift+Insert).
bool typesNoCharacter(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll))
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
// (Ctrl+V is 22), whatever text the platform reports for it.
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

} // namespace

void KeyFilter::admit(QObject* field, const char* admitted) {
    m_admitted.insert(field, admitted ? std::optional<std::string>(admitted) : std::nullopt);
    field->installEventFilter(this);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const auto found = m_admitted.constFind(watched);
    if (found == m_admitted.cend())
        return false;
    const std::optional<std::string>& admitted = *found;

    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The keypad's decimal key types the decimal comma wherever a comma
        // is admitted, whatever the keyboard layout puts on it.
        if (isKeypadDecimal(key)) {
            if (!admits(admitted, u','))
                return true;
            QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, key->modifiers() & ~Qt::KeypadModifier,
                            QStringLiteral(","), key->isAutoRepeat(),
                            static_cast<quint16>(key->count()));
            QCoreApplication::sendEvent(watched, &comma);
            return true;
        }
        if (!admitted || typesNoCharacter(key))
            return false;
        return !admits(admitted, typedCharacter(key));
    }

    if (event->type() == QEvent::InputMethod && admitted) {
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (im->commitString().isEmpty())
            return false;
        QString kept;
        for (QChar c : im->commitString())
            if (c != u'\b' && admits(admitted, c))
                kept += c;
        if (kept != im->commitString())
            im->setCommitString(kept, im->replacementStart(), im->replacementLength());
    }
    return false;
}

} // namespace sheetmass
