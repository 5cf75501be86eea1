#include "about/MailLink.h"

#include "forms/Form2.h"
#include "forms/Texts.h"
#include "look/Look.h"

#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

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
            static_cast<MailLink*>(widget())->writeLetter();
    }
};

QAccessibleInterface* accessibleMailLink(const QString&, QObject* object) {
    auto* link = qobject_cast<MailLink*>(object);
    return link != nullptr ? new AccessibleMailLink(link) : nullptr;
}

} // namespace

MailLink::MailLink(QWidget* parent) : QLabel(parent) {
    [[maybe_unused]] static const bool accessible =
        (QAccessible::installFactory(accessibleMailLink), true);
}

void MailLink::writeLetter() {
    // Run together unescaped; QUrl does whatever encoding the desktop needs.
    const QUrl letter(toQString(forms::mailUrl()), QUrl::TolerantMode);
    // The desktop's launcher, run so that its verdict is heard: it ends with
    // an error when no mail program takes the address, which would
    // otherwise go unseen. Without it, Qt's own way for the platform.
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty()) {
        if (!QDesktopServices::openUrl(letter))
            tellTheAddress();
        return;
    }
    // Owned by nobody: a launcher that waits for the mail program must not
    // take it down when the program ends first.
    auto* run = new QProcess;
    run->setProgram(launcher);
    run->setArguments({QString::fromLatin1(letter.toEncoded())});
    run->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(run, &QProcess::finished, run, &QObject::deleteLater);
    connect(run, &QProcess::finished, this, [this](int code, QProcess::ExitStatus how) {
        if (how != QProcess::NormalExit || code != 0)
            tellTheAddress();
    });
    connect(run, &QProcess::errorOccurred, this, [this, run](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        run->deleteLater();
        tellTheAddress();
    });
    run->start();
}

void MailLink::tellTheAddress() {
    auto* box =
        new QMessageBox(QMessageBox::Warning, window()->windowTitle(),
                        toQString(forms::kNoMailProgram).arg(text()), QMessageBox::Ok, window());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->open();
}

void MailLink::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Around the address in its own colour, which reads on the picture.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    const QRect shown =
        fontMetrics().boundingRect(contentsRect(), int(alignment()) | Qt::TextWordWrap, text());
    painter.drawRect(shown.adjusted(-1, 0, 0, -1) & rect().adjusted(0, 0, -1, -1));
}

void MailLink::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            writeLetter();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void MailLink::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(toQString(forms::kCopyAddress), this,
                    [this] { QGuiApplication::clipboard()->setText(text()); });
    menu->popup(event->globalPos());
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
