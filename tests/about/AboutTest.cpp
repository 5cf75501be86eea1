#include "about/About.h"
#include "about/Form2.h"

#include <algorithm>

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QUrl>

namespace {

// Place and size in twips; then the width the text may use (Метка7 ends where
// the address begins, the address at the window's edge) and the lines it takes.
struct LabelRow {
    const char *tag, *toolTip;
    int left, top, width, height, usableWidth, lines;
    QRgb colour;
    qreal points;
    bool underlined, centred;
};
const LabelRow kLabels[] = {
    {"Метка1", nullptr, 480, 120, 2415, 735, 161, 2, qRgb(255, 255, 0), 13.5, true, true},
    {"Метка3", nullptr, 480, 1080, 2895, 255, 193, 1, qRgb(192, 255, 255), 9.75, false, true},
    {"Метка2", nullptr, 480, 1560, 2895, 255, 193, 1, qRgb(255, 255, 255), 9.75, false, true},
    {"Метка7", nullptr, 120, 1920, 855, 255, 56 - 8, 1, qRgb(255, 255, 192), 9.75, false, false},
    {"Метка5", "Чтобы написать письмо кликните на адрес", 840, 1920, 2775, 375, 235 - 56, 1,
     qRgb(255, 255, 192), 9.75, true, false},
};

const QPoint kPictureOnly(120, 165);

// Through the window system layer, so that a double click arrives as a real one.
using Gesture = void (*)(QWindow*, QPoint);
const Gesture kClick = [](QWindow* w, QPoint p) { QTest::mouseClick(w, Qt::LeftButton, {}, p); };
const Gesture kDouble = [](QWindow* w, QPoint p) { QTest::mouseDClick(w, Qt::LeftButton, {}, p); };
const Gesture kTwice = [](QWindow* w, QPoint p) { kClick(w, p), kClick(w, p); };
const Gesture kRight = [](QWindow* w, QPoint p) { QTest::mouseClick(w, Qt::RightButton, {}, p); };
const Gesture kDragOff = [](QWindow* w, QPoint p) {
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, kPictureOnly);
};

struct MouseRow {
    const char *tag, *label; // nullptr: the picture
    Gesture gesture;
    int urls;
};
const MouseRow kMouse[] = {
    {"address click", "Метка5", kClick, 1},
    {"address double click", "Метка5", kDouble, 1},
    {"address two clicks", "Метка5", kTwice, 2},
    {"address right click", "Метка5", kRight, 0},
    {"address pressed, released off it", "Метка5", kDragOff, 0},
    {"title", "Метка1", kClick, 0},
    {"authors", "Метка3", kClick, 0},
    {"version", "Метка2", kClick, 0},
    {"E-mail:", "Метка7", kClick, 0},
    {"picture", nullptr, kClick, 0},
};

template <typename Row, std::size_t N> void AddRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].tag) << int(i);
}

Форма2* Shown() {
    if (AboutWindow() == nullptr || !AboutWindow()->isVisible())
        ShowAbout();
    return AboutWindow();
}

QLabel* Label(const char* name) {
    return AboutWindow()->findChild<QLabel*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

// Near a label's top-left corner; on the address, that is where "E-mail:" lies
// beneath it.
QPoint On(const char* name) {
    return Label(name)->mapTo(AboutWindow(), QPoint(4, 8));
}

bool Centred(const QWidget* w) {
    const QPoint off = w->frameGeometry().center() - w->screen()->availableGeometry().center();
    return qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1;
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT
  public slots:
    // Stands in for the desktop's mail program.
    void open(const QUrl& url) { urls_ << url; }

  private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    void init() { urls_.clear(); }

    void oneOwnerlessFixedWindowForTheRun() {
        QCOMPARE(AboutWindow(), nullptr);
        ShowAbout();
        Форма2* w = AboutWindow();
        ShowAbout();
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{w});
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(Centred(w));
        QVERIFY(w->parentWidget() == nullptr && !w->isModal());
        QCOMPARE(w->windowTitle(), QStringLiteral("О программе"));
        QVERIFY(!w->windowIcon().isNull());
        for (QSize size : {w->size(), w->minimumSize(), w->maximumSize()})
            QCOMPARE(size, QSize(235, 176));
        const Qt::WindowFlags bar = Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        QCOMPARE(w->windowFlags() & (bar | Qt::WindowMinMaxButtonsHint), bar);
        // Keeps the program running on its own; closing only hides it.
        QVERIFY(w->testAttribute(Qt::WA_QuitOnClose) && !w->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 5);

        // Asked for while open, it comes to the front where the user put it.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        const QPoint elsewhere = w->pos() - QPoint(17, 23);
        w->move(elsewhere);
        ShowAbout();
        QCOMPARE(AboutWindow(), w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->pos(), elsewhere);

        // Closed and asked for again, it comes back centred, and a press from
        // before closing does not turn into a click.
        QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, On("Метка5"));
        QVERIFY(w->close());
        ShowAbout();
        QCOMPARE(AboutWindow(), w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(Centred(w));
        QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, On("Метка5"));
        QCOMPARE(urls_.size(), 0);
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, On("Метка5"));
        QCOMPARE(urls_.size(), 1);
    }

    void labels_data() { AddRows(kLabels); }
    void labels() {
        QFETCH(int, row);
        const LabelRow& r = kLabels[row];
        Shown();
        QLabel* label = Label(r.tag);
        QVERIFY(label != nullptr);
        QCOMPARE(label->geometry(), QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(r.colour));
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask,
                 Qt::Alignment(r.centred ? Qt::AlignHCenter : Qt::AlignLeft));
        QCOMPARE(label->toolTip(), QString::fromUtf8(r.toolTip));
        QVERIFY(!label->autoFillBackground() && label->wordWrap());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QCOMPARE(label->cursor().shape(), Qt::ArrowCursor);
        const QFont font = label->font();
        QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(font.pointSizeF(), r.points);
        QCOMPARE(font.underline(), r.underlined);
        QVERIFY(font.bold() && !font.italic() && !font.strikeOut());

        // The program stands either of these in for "MS Sans Serif".
        int fonts = 0;
        for (const char* family : {"Liberation Sans", "PT Sans"}) {
            QFont stand = font;
            stand.setFamily(QString::fromLatin1(family));
            if (QFontInfo(stand).family() != stand.family())
                continue;
            ++fonts;
            const QFontMetrics metrics(stand);
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, r.usableWidth, 10000),
                                     Qt::TextWordWrap | label->alignment(), label->text());
            QVERIFY2(needed.width() <= r.usableWidth && needed.height() <= label->height(), family);
            QCOMPARE(needed.height() / metrics.lineSpacing(), r.lines);
        }
        if (fonts == 0)
            QSKIP("neither font installed");
    }

    void pictures() {
        const QImage shot = Shown()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture =
            QImage(QStringLiteral(":/about.jpg")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), QSize(244, 181));
        QVERIFY(!picture.isGrayscale());
        QCOMPARE(shot.size(), QSize(235, 176));
        // Points that no label covers, the corners included.
        for (QPoint p : {QPoint(0, 0), QPoint(234, 0), QPoint(0, 175), QPoint(234, 175),
                         kPictureOnly, QPoint(4, 100), QPoint(230, 100)})
            QCOMPARE(shot.pixel(p), picture.pixel(p));

        // A baseline JPEG: JFIF 1.01, 150 × 150 dots per inch.
        QFile jpeg(QStringLiteral(":/about.jpg"));
        const QByteArray jfif = jpeg.open(QIODevice::ReadOnly) ? jpeg.readAll() : QByteArray();
        QCOMPARE(jfif.left(18), QByteArray::fromHex("ffd8ffe000104a4649460001010100960096"));
        QVERIFY(jfif.contains(QByteArray::fromHex("ffc0")));

        for (const char* path : {":/sheetmass.png", ":/sheetmass.ico"}) {
            const QImage icon =
                QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_Alpha8);
            QCOMPARE(icon.size(), QSize(32, 32));
            // A mask, not a blend: some pixels see-through, the rest fully drawn.
            const uchar* alpha = icon.constBits();
            const auto clear = std::count(alpha, alpha + 1024, uchar(0));
            QVERIFY2(clear > 0 && clear + std::count(alpha, alpha + 1024, uchar(255)) == 1024,
                     path);
        }
        // 8 bits per pixel, that is, a palette.
        QFile ico(QStringLiteral(":/sheetmass.ico"));
        QVERIFY(ico.open(QIODevice::ReadOnly) &&
                ico.readAll().mid(12, 2) == QByteArray::fromHex("0800"));
        QCOMPARE(QImage(QStringLiteral(":/sheetmass.png")).format(), QImage::Format_Indexed8);
    }

    void mouse_data() { AddRows(kMouse); }
    void mouse() {
        QFETCH(int, row);
        const MouseRow& r = kMouse[row];
        QVERIFY(QTest::qWaitForWindowExposed(Shown()));
        r.gesture(AboutWindow()->windowHandle(), r.label ? On(r.label) : kPictureOnly);
        QCOMPARE(urls_.size(), r.urls);
        // The address the label shows, and the subject as the query.
        const QString subject = QStringLiteral("Subject=Листы алюминиевые  ");
        for (const QUrl& url : urls_) {
            QCOMPARE(QUrl::fromPercentEncoding(url.toEncoded()),
                     QStringLiteral("mailto:") + Label("Метка5")->text() + u'?' + subject);
            QCOMPARE(url.query(QUrl::FullyDecoded), subject);
        }
        QVERIFY(AboutWindow()->isVisible());
    }

  private:
    QList<QUrl> urls_;
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    QPointer<QWidget> about;
    {
        QApplication app(argc, argv);
        AboutTest test;
        result = QTest::qExec(&test, argc, argv);
        about = AboutWindow();
    }
    // The window has no owner; the application must take it down on its way
    // out (Qt's own window list keeps it out of LeakSanitizer's sight).
    if (about || AboutWindow() != nullptr)
        qCritical("the About window outlived the application");
    return about || AboutWindow() != nullptr ? 1 : result;
}

#include "AboutTest.moc"
