#include "about/Form2.h"

#include <QDesktopServices>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <array>

namespace sheetmass {
namespace {

// The layout is kept in twips, 15 to a pixel at 96 dots per inch; Qt's
// device-independent pixels are that 96-dpi pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) {
    return twips / kTwipsPerPixel;
}

constexpr int kClientWidthTwips = 3525;
constexpr int kClientHeightTwips = 2640;

constexpr const char kMailAddress[] = "sheetmass@example.org";

// Seen only where the picture does not reach (screens above 96 dpi); dark so
// that the light label texts stay readable there too.
constexpr QRgb kBackColour = 0x1e2630;

struct LabelRow {
    const char* name;
    const char* text;
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

QLabel* MakeLabel(const LabelRow& row, QWidget* window) {
    auto* label = new QLabel(QString::fromUtf8(row.text), window);
    label->setObjectName(QString::fromUtf8(row.name));
    label->setGeometry(Px(row.left), Px(row.top), Px(row.width), Px(row.height));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setWordWrap(true);
    label->setAlignment(row.alignment);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAutoFillBackground(false);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(row.points);
    font.setBold(true);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(row.underlined);
    label->setFont(font);

    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(row.colour));
    label->setPalette(palette);

    if (row.toolTip != nullptr)
        label->setToolTip(QString::fromUtf8(row.toolTip));
    return label;
}

} // namespace

Форма2::Форма2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      picture_(QStringLiteral(":/about.jpg")) {
    setObjectName(QStringLiteral("Форма2"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowIcon(QIcon(QStringLiteral(":/sheetmass.png")));
    setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
    // paintEvent covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);

    for (const LabelRow& row : kLabels) {
        QLabel* label = MakeLabel(row, this);
        if (row.text == kMailAddress) {
            mailLabel_ = label;
            label->installEventFilter(this);
        }
    }
}

QString Форма2::MailAddress() {
    return QString::fromUtf8(kMailAddress);
}

QUrl Форма2::MailUrl() {
    // Run together unescaped; QUrl does whatever encoding the desktop needs.
    const QString text = QStringLiteral("mailto:") + MailAddress() + QStringLiteral("?Subject=") +
                         QStringLiteral("Листы алюминиевые ") + QStringLiteral(" ");
    return QUrl(text, QUrl::TolerantMode);
}

void Форма2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(kBackColour));
    if (picture_.isNull())
        return;
    // One picture pixel per device pixel: the layout scales with the screen,
    // the picture does not.
    QPixmap shown = picture_;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawPixmap(0, 0, shown);
}

void Форма2::showEvent(QShowEvent* event) {
    // A spontaneous show is the window system restoring the window; only a
    // show from the program opens it afresh.
    if (!event->spontaneous())
        CentreOnScreen();
    QWidget::showEvent(event);
}

void Форма2::hideEvent(QHideEvent* event) {
    mailPressed_ = false;
    QWidget::hideEvent(event);
}

void Форма2::CentreOnScreen() {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(shownOn->availableGeometry().center());
    move(frame.topLeft());
}

bool Форма2::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mailLabel_)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            mailPressed_ = true;
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const bool clicked =
            mailPressed_ && mailLabel_->rect().contains(mouse->position().toPoint());
        mailPressed_ = false;
        // No mail program, or none that takes the URL, is not the window's
        // business: the desktop says so itself if it wants to.
        if (clicked)
            static_cast<void>(QDesktopServices::openUrl(MailUrl()));
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Форма2::showOn(QScreen* screen) {
    if (screen != nullptr)
        setScreen(screen);
    show();
}

} // namespace sheetmass
