#include "about/Form2.h"

#include "about/MailLink.h"
#include "look/Look.h"

#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

#include <array>

namespace sheetmass {
namespace {

constexpr int kClientWidthTwips = 3525;
constexpr int kClientHeightTwips = 2640;

// Seen only if the picture is missing; dark, so that the light label texts
// stay readable there too.
constexpr QRgb kBackColour = 0x1e2630;

struct LabelRow {
    const char* name;
    const char* text;             // the address makes the label the mail link
    int left, top, width, height; // twips
    QRgb colour;
    qreal points;
    bool underlined;
    Qt::Alignment alignment;
    const char* toolTip; // nullptr: none
};

// In creation order: the address is made after "E-mail:", whose rectangle it
// overlaps, so that it lies on top and takes the clicks there.
const std::array<LabelRow, 5> kLabels{{
    {"Метка1", "Масса листов из алюминия", 480, 120, 2415, 735, qRgb(255, 255, 0), 13.5, true,
     Qt::AlignHCenter | Qt::AlignTop, nullptr},
    {"Метка3", "© Авторы sheetmass, 2026", 480, 1080, 2895, 255, qRgb(192, 255, 255), 9.75, false,
     Qt::AlignHCenter | Qt::AlignTop, nullptr},
    {"Метка2", "Версия 1.1 от 12.10.06 г.", 480, 1560, 2895, 255, qRgb(255, 255, 255), 9.75, false,
     Qt::AlignHCenter | Qt::AlignTop, nullptr},
    {"Метка7", "E-mail:", 120, 1920, 855, 255, qRgb(255, 255, 192), 9.75, false,
     Qt::AlignLeft | Qt::AlignTop, nullptr},
    {"Метка5", kMailAddress, 840, 1920, 2775, 375, qRgb(255, 255, 192), 9.75, true,
     Qt::AlignLeft | Qt::AlignTop, "Чтобы написать письмо кликните на адрес"},
}};

void makeLabel(const LabelRow& row, QWidget* window) {
    const bool link = row.text == kMailAddress;
    QLabel* label = link ? new MailLink(window) : new QLabel(window);
    label->setObjectName(QString::fromUtf8(row.name));
    label->setText(QString::fromUtf8(row.text));
    label->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setWordWrap(true);
    label->setAlignment(row.alignment);
    label->setAutoFillBackground(false);
    // The link alone is reached with Tab, and shows it is one under the mouse.
    label->setFocusPolicy(link ? Qt::TabFocus : Qt::NoFocus);
    if (link)
        label->setCursor(Qt::PointingHandCursor);

    QFont font = designFont(row.points, true);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(row.underlined);
    label->setFont(font);

    // The text colour alone; the rest comes from the window's scheme.
    QPalette colours;
    colours.setColor(QPalette::WindowText, QColor::fromRgb(row.colour));
    label->setPalette(colours);

    if (row.toolTip != nullptr)
        label->setToolTip(QString::fromUtf8(row.toolTip));
}

} // namespace

Форма2::Форма2(QWidget* parent)
    : DesignedWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                 Qt::MSWindowsFixedSizeDialogHint),
      m_picture(resourcePicture(QStringLiteral(":/about.jpg"), "jpeg")) {
    setObjectName(QStringLiteral("Форма2"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowIcon(programIcon());
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    setPalette(lightScheme(kBackColour));
    // paintEvent covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);

    for (const LabelRow& row : kLabels)
        makeLabel(row, this);
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
