#include "app/RefusalTip.h"

#include "behaviour/RefusalPlace.h"
#include "forms/Form1.h"
#include "look/Look.h"

#include <QApplication>
#include <QScreen>
#include <QToolTip>

namespace sheetmass {
namespace {

QWidget* shownTip() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QStringLiteral("qtooltip_label") && top->isVisible())
            return top;
    return nullptr;
}

behaviour::ScreenRect onScreen(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

void showRefusal(QWidget* field, const forms::Control& design, const QString& tip) {
    const QRect fieldRect(field->mapToGlobal(QPoint(0, 0)), field->size());
    QToolTip::showText(fieldRect.bottomLeft(), tip, field);
    // Qt puts it where it likes; it is moved once it shows, as big as it is.
    if (QWidget* shown = shownTip()) {
        const behaviour::ScreenPoint at = behaviour::refusalPlace(
            forms::kForm1, design, onScreen(fieldRect), kLayoutDpi,
            {shown->width(), shown->height()}, onScreen(field->screen()->availableGeometry()));
        shown->move(at.x, at.y);
    }
    QApplication::beep();
}

} // namespace sheetmass
