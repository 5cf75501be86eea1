#include "about/Form2.h"

#include "about/MailLink.h"
#include "forms/Form2.h"
#include "look/Look.h"

#include <QFont>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace sheetmass {
namespace {

void makeLabel(const forms::Control& c, QWidget* window) {
    const bool link = c.name == forms::kMailLink.label;
    QLabel* label = link ? new MailLink(window) : new QLabel(window);
    label->setObjectName(toQString(c.name));
    label->setText(toQString(c.text));
    label->setGeometry(twipsRect(c.place));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setWordWrap(true);
    label->setAlignment((c.align == forms::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) |
                        Qt::AlignTop);
    label->setAutoFillBackground(false);
    // The link alone is reached with Tab, and shows it is one under the mouse.
    label->setFocusPolicy(link ? Qt::TabFocus : Qt::NoFocus);
    if (link)
        label->setCursor(Qt::PointingHandCursor);

    QFont font = designFont(c.font);
    font.setItalic(false);
    font.setStrikeOut(false);
    label->setFont(font);

    // The text colour alone; the rest comes from the window's scheme.
    QPalette colours;
    colours.setColor(QPalette::WindowText, QColor::fromRgb(c.textColour));
    label->setPalette(colours);

    if (!c.hint.empty())
        label->setToolTip(toQString(c.hint));
}

} // namespace

Форма2::Форма2(QWidget* parent)
    : DesignedWindow(forms::kForm2, parent,
                     Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_picture(resourcePicture(QStringLiteral(":/about.jpg"), "jpeg")) {
    setPalette(lightScheme(forms::kForm2.back));
    // paintEvent covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);

    for (const forms::Control& c : forms::kForm2.controls)
        makeLabel(c, this);
}

void Форма2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // Sized in the window's pixels, not the screen's: it grows with the
    // layout, so at any scale it covers the client area as it does at 96 dpi.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(0, 0, m_picture);
}

void Форма2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void Форма2::showOn(QScreen* screen) {
    if (screen != nullptr)
        setScreen(screen);
    // The client area is centred, every time: the window system makes the
    // frame known only once the window is on screen, so a rule that counted
    // the frame would place the first opening differently from the later ones.
    if (const QScreen* on = this->screen())
        setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), on->availableGeometry()));
    show();
}

} // namespace sheetmass
