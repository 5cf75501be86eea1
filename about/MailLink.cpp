#include "about/MailLink.h"

#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QMouseEvent>

namespace sheetmass {
namespace {

// What a screen reader sees of the link: a link named by its address, which
// its press action follows as a click does.
class AccessibleMailLink : public QAccessibleWidget {
  public:
    explicit AccessibleMailLink(MailLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction())
            MailLink::writeLetter();
    }
};

QAccessibleInterface* accessibleMailLink(const QString& className, QObject* object) {
    if (className != QLatin1String(MailLink::staticMetaObject.className()))
        return nullptr;
    return new AccessibleMailLink(static_cast<MailLink*>(object));
}

} // namespace

MailLink::MailLink(QWidget* parent) : QLabel(parent) {
    [[maybe_unused]] static const bool accessible =
        (QAccessible::installFactory(accessibleMailLink), true);
}

void MailLink::writeLetter() {
    // Run together unescaped; QUrl does whatever encoding the desktop needs.
    const QString url = QStringLiteral("mailto:") + QString::fromUtf8(kMailAddress) +
                        QStringLiteral("?Subject=") + QStringLiteral("Листы алюминиевые ") +
                        QStringLiteral(" ");
    static_cast<void>(QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode)));
}

void MailLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    m_pressed = true;
}

void MailLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QLabel::mouseReleaseEvent(event);
    const bool clicked = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (clicked)
        writeLetter();
}

void MailLink::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click: it starts no second letter.
    event->ignore();
}

void MailLink::hideEvent(QHideEvent* event) {
    // A press from before the window closed must not become a click after it
    // opens again.
    m_pressed = false;
    QLabel::hideEvent(event);
}

} // namespace sheetmass
