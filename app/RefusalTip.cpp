#include "app/RefusalTip.h"

#include "behaviour/Form1Behaviour.h"

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

} // namespace

void showRefusal(QWidget* field, const QString& tip) {
    const QPoint top = field->mapToGlobal(QPoint(0, 0));
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), tip, field);
    // Qt puts it where it likes; it is moved once it shows, as big as it is.
    if (QWidget* shown = shownTip())
        shown->move(top.x(),
                    behaviour::refusalTop(top.y(), top.y() + field->height(), shown->height(),
                                          field->screen()->availableGeometry().top()));
    QApplication::beep();
}

} // namespace sheetmass
