#include "about/About.h"
#include "about/Form2.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QUrl>

namespace {

QLabel* Label(const char* name) {
    Форма2* window = AboutWindow();
    return window ? window->findChild<QLabel*>(QString::fromUtf8(name)) : nullptr;
}

// The About window on screen, asking for it only when it is not.
Форма2* Shown() {
    if (AboutWindow() == nullptr || !AboutWindow()->isVisible())
        ShowAbout();
    return AboutWindow();
}

QWindow* Handle() {
    return AboutWindow()->windowHandle();
}

// A point inside a label, in the window's coordinates.
QPoint On(const char* name, QPoint offset = {}) {
    QLabel* label = Label(name);
    return label->mapTo(AboutWindow(), offset.isNull() ? label->rect().center() : offset);
}

} // namespace

// Stands in for the desktop's mail program.
class MailCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

class AboutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void createdOnFirstRequestOnly();
    void ownerlessModelessFixedWindow();
    void labelsFollowTheLayoutTable_data();
    void labelsFollowTheLayoutTable();
    void textsFitTheirLabels_data();
    void textsFitTheirLabels();
    void pictureIsPaintedUnscaledFromTheCorner();
    void builtInPictures();
    void reopeningCentresTheWindow();
    void mouseOnLabels_data();
    void mouseOnLabels();
    void mailUrlIsRunTogether();
    void clickAfterReopenStillWorks();

  private:
    MailCatcher catcher_;
};

void AboutTest::initTestCase() {
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher_, "open");
}

void AboutTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

void AboutTest::init() {
    catcher_.urls.clear();
}

void AboutTest::createdOnFirstRequestOnly() {
    QCOMPARE(AboutWindow(), nullptr);
    ShowAbout();
    Форма2* first = AboutWindow();
    QVERIFY(first != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    ShowAbout();
    QCOMPARE(AboutWindow(), first);

    int aboutWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        aboutWindows += w->objectName() == QStringLiteral("Форма2") ? 1 : 0;
    QCOMPARE(aboutWindows, 1);
    QVERIFY(first->isVisible());
    const QPoint offset =
        first->frameGeometry().center() - first->screen()->availableGeometry().center();
    QVERIFY(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1);

    // Asked for again while open, it stays where the user put it.
    const QPoint elsewhere = first->pos() - QPoint(17, 23);
    first->move(elsewhere);
    ShowAbout();
    QCOMPARE(AboutWindow(), first);
    QCOMPARE(first->pos(), elsewhere);
}

void AboutTest::ownerlessModelessFixedWindow() {
    Форма2* w = Shown();
    QCOMPARE(w->parentWidget(), nullptr);
    QVERIFY(!w->isModal());
    QCOMPARE(w->windowModality(), Qt::NonModal);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(w->objectName(), QStringLiteral("Форма2"));
    QCOMPARE(w->windowTitle(), QStringLiteral("О программе"));
    QVERIFY(!w->windowIcon().isNull());

    for (QSize size : {w->size(), w->minimumSize(), w->maximumSize()})
        QCOMPARE(size, QSize(235, 176));
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

    // Keeps the program alive on its own; closing only hides it.
    QVERIFY(w->testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(!w->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 5);
}

void AboutTest::labelsFollowTheLayoutTable_data() {
    // Place and size in twips, as the window's layout gives them.
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("underlined");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("toolTip");

    const int centred = Qt::AlignHCenter;
    const int left = Qt::AlignLeft;
    QTest::newRow("Метка1") << 480 << 120 << 2415 << 735 << QColor(255, 255, 0) << 13.5 << true
                            << centred << QString();
    QTest::newRow("Метка3") << 480 << 1080 << 2895 << 255 << QColor(192, 255, 255) << 9.75 << false
                            << centred << QString();
    QTest::newRow("Метка2") << 480 << 1560 << 2895 << 255 << QColor(255, 255, 255) << 9.75 << false
                            << centred << QString();
    QTest::newRow("Метка7") << 120 << 1920 << 855 << 255 << QColor(255, 255, 192) << 9.75 << false
                            << left << QString();
    QTest::newRow("Метка5") << 840 << 1920 << 2775 << 375 << QColor(255, 255, 192) << 9.75 << true
                            << left << QStringLiteral("Чтобы написать письмо кликните на адрес");
}

void AboutTest::labelsFollowTheLayoutTable() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QColor, colour);
    QFETCH(qreal, points);
    QFETCH(bool, underlined);
    QFETCH(int, alignment);
    QFETCH(QString, toolTip);

    Shown();
    QLabel* label = Label(QTest::currentDataTag());
    QVERIFY(label != nullptr);
    QCOMPARE(label->parentWidget(), AboutWindow());
    QCOMPARE(label->geometry(), QRect(left / 15, top / 15, width / 15, height / 15));
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QVERIFY(!label->autoFillBackground());
    QVERIFY(label->wordWrap());
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    QCOMPARE(label->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(label->toolTip(), toolTip);

    const QFont font = label->font();
    QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.pointSizeF(), points);
    QVERIFY(font.bold());
    QVERIFY(!font.italic());
    QVERIFY(!font.strikeOut());
    QCOMPARE(font.underline(), underlined);
}

void AboutTest::textsFitTheirLabels_data() {
    // The program substitutes a Cyrillic sans for "MS Sans Serif"; the texts
    // must fit with either of the ones it ships with.
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("usableWidth");
    QTest::addColumn<int>("lines");

    struct Fit {
        const char* label;
        int usableWidth;
        int lines;
    };
    const Fit fits[] = {
        {"Метка1", 161, 2},      // the title wraps onto its second line and no further
        {"Метка3", 193, 1},      //
        {"Метка2", 193, 1},      //
        {"Метка7", 56 - 8, 1},   // "E-mail:" ends where the address begins
        {"Метка5", 235 - 56, 1}, // the address label runs past the window's edge
    };
    for (const char* family : {"Liberation Sans", "PT Sans"})
        for (const Fit& fit : fits)
            QTest::addRow("%s %s", family, fit.label)
                << QString::fromUtf8(family) << QString::fromUtf8(fit.label) << fit.usableWidth
                << fit.lines;
}

void AboutTest::textsFitTheirLabels() {
    QFETCH(QString, family);
    QFETCH(QString, label);
    QFETCH(int, usableWidth);
    QFETCH(int, lines);

    Shown();
    QLabel* shown = Label(label.toUtf8().constData());
    QFont font = shown->font();
    font.setFamily(family);
    if (QFontInfo(font).family() != family)
        QSKIP("font not installed");
    const QFontMetrics metrics(font);
    const QRect needed = metrics.boundingRect(QRect(0, 0, usableWidth, 10000),
                                              Qt::TextWordWrap | shown->alignment(), shown->text());
    QVERIFY2(needed.width() <= usableWidth, qPrintable(QString::number(needed.width())));
    QCOMPARE(needed.height() / metrics.lineSpacing(), lines);
    QVERIFY(needed.height() <= shown->height());
}

void AboutTest::pictureIsPaintedUnscaledFromTheCorner() {
    Shown();
    const QImage shot = AboutWindow()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture =
        QImage(QStringLiteral(":/about.jpg")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), QSize(235, 176));
    // Points that no label covers, the corners included.
    for (QPoint p : {QPoint(0, 0), QPoint(234, 0), QPoint(0, 175), QPoint(234, 175),
                     QPoint(120, 165), QPoint(4, 100), QPoint(230, 100)})
        QCOMPARE(shot.pixel(p), picture.pixel(p));
}

void AboutTest::builtInPictures() {
    QImageReader photo(QStringLiteral(":/about.jpg"));
    QCOMPARE(photo.format(), QByteArray("jpeg"));
    QCOMPARE(photo.size(), QSize(244, 181));
    QVERIFY(!photo.read().isGrayscale());

    for (const char* path : {":/sheetmass.png", ":/sheetmass.ico"}) {
        QImageReader reader{QString::fromLatin1(path)};
        const QImage icon = reader.read();
        QVERIFY2(!icon.isNull(), path);
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY2(icon.hasAlphaChannel(), path);
        // A mask, not a blend: every pixel is either drawn or see-through.
        int seeThrough = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int alpha = qAlpha(icon.pixel(x, y));
                QVERIFY2(alpha == 0 || alpha == 255, path);
                seeThrough += alpha == 0 ? 1 : 0;
            }
        QVERIFY2(seeThrough > 0 && seeThrough < 32 * 32, path);
    }
    // The file headers: a baseline JFIF 1.01 at 150 dots per inch, and an
    // icon of 8 bits per pixel, that is, with a palette.
    QFile jpeg(QStringLiteral(":/about.jpg"));
    QVERIFY(jpeg.open(QIODevice::ReadOnly));
    const QByteArray jfif = jpeg.readAll();
    QCOMPARE(jfif.mid(6, 5), QByteArray("JFIF", 5));
    QCOMPARE(jfif.mid(11, 8), QByteArray::fromHex("0101010096009600"));
    QVERIFY(jfif.contains(QByteArray::fromHex("ffc0")));
    QFile ico(QStringLiteral(":/sheetmass.ico"));
    QVERIFY(ico.open(QIODevice::ReadOnly));
    QCOMPARE(ico.readAll().mid(12, 2), QByteArray::fromHex("0800"));
    QCOMPARE(QImage(QStringLiteral(":/sheetmass.png")).format(), QImage::Format_Indexed8);
}

void AboutTest::reopeningCentresTheWindow() {
    Форма2* w = Shown();
    const QRect area = w->screen()->availableGeometry();
    w->move(area.topLeft() + QPoint(5, 7));
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());
    QCOMPARE(AboutWindow(), w);

    ShowAbout();
    QCOMPARE(AboutWindow(), w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QPoint offset = w->frameGeometry().center() - area.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
}

void AboutTest::mouseOnLabels_data() {
    QTest::addColumn<QString>("label"); // empty: the picture
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("urls");

    QTest::newRow("address click") << QStringLiteral("Метка5") << QStringLiteral("click") << 1;
    QTest::newRow("address double click")
        << QStringLiteral("Метка5") << QStringLiteral("double") << 1;
    QTest::newRow("address two clicks") << QStringLiteral("Метка5") << QStringLiteral("twice") << 2;
    QTest::newRow("address right click")
        << QStringLiteral("Метка5") << QStringLiteral("right") << 0;
    QTest::newRow("address pressed, released off it")
        << QStringLiteral("Метка5") << QStringLiteral("drag off") << 0;
    QTest::newRow("title") << QStringLiteral("Метка1") << QStringLiteral("click") << 0;
    QTest::newRow("version") << QStringLiteral("Метка2") << QStringLiteral("click") << 0;
    QTest::newRow("authors") << QStringLiteral("Метка3") << QStringLiteral("click") << 0;
    QTest::newRow("E-mail:") << QStringLiteral("Метка7") << QStringLiteral("click") << 0;
    QTest::newRow("E-mail: double click")
        << QStringLiteral("Метка7") << QStringLiteral("double") << 0;
    QTest::newRow("picture") << QStringLiteral("") << QStringLiteral("click") << 0;
    QTest::newRow("picture double click") << QStringLiteral("") << QStringLiteral("double") << 0;
}

void AboutTest::mouseOnLabels() {
    QFETCH(QString, label);
    QFETCH(QString, gesture);
    QFETCH(int, urls);

    Shown();
    QVERIFY(QTest::qWaitForWindowExposed(AboutWindow()));
    // Events go through the window system layer so that a double click
    // arrives the way a real one does.
    const QPoint at = label.isEmpty()
                          ? QPoint(120, 165)
                          : On(label.toUtf8().constData(),
                               label == QStringLiteral("Метка7") ? QPoint(10, 8) : QPoint());
    if (gesture == QStringLiteral("click")) {
        QTest::mouseClick(Handle(), Qt::LeftButton, {}, at);
    } else if (gesture == QStringLiteral("double")) {
        QTest::mouseDClick(Handle(), Qt::LeftButton, {}, at);
    } else if (gesture == QStringLiteral("twice")) {
        QTest::mouseClick(Handle(), Qt::LeftButton, {}, at);
        QTest::mouseClick(Handle(), Qt::LeftButton, {}, at);
    } else if (gesture == QStringLiteral("right")) {
        QTest::mouseClick(Handle(), Qt::RightButton, {}, at);
    } else if (gesture == QStringLiteral("drag off")) {
        QTest::mousePress(Handle(), Qt::LeftButton, {}, at);
        QTest::mouseMove(Handle(), QPoint(120, 165));
        QTest::mouseRelease(Handle(), Qt::LeftButton, {}, QPoint(120, 165));
    }
    QCOMPARE(catcher_.urls.size(), urls);
    QVERIFY(AboutWindow()->isVisible());
}

void AboutTest::mailUrlIsRunTogether() {
    Shown();
    QTest::mouseClick(Handle(), Qt::LeftButton, {}, On("Метка5"));
    QCOMPARE(catcher_.urls.size(), 1);

    const QUrl url = catcher_.urls.first();
    // The address in the URL is the one the label shows.
    const QString expected = QStringLiteral("mailto:") + Label("Метка5")->text() +
                             QStringLiteral("?Subject=Листы алюминиевые  ");
    const QString decoded = QUrl::fromPercentEncoding(url.toEncoded());
    QCOMPARE(decoded, expected);
    QCOMPARE(url.query(QUrl::FullyDecoded), QStringLiteral("Subject=Листы алюминиевые  "));
    QCOMPARE(Форма2::MailUrl(), url);
}

void AboutTest::clickAfterReopenStillWorks() {
    Shown();
    // A press left hanging when the window closes must not turn into a click.
    QTest::mousePress(Handle(), Qt::LeftButton, {}, On("Метка5"));
    QVERIFY(AboutWindow()->close());
    ShowAbout();
    QVERIFY(QTest::qWaitForWindowExposed(AboutWindow()));
    QTest::mouseRelease(Handle(), Qt::LeftButton, {}, On("Метка5"));
    QCOMPARE(catcher_.urls.size(), 0);

    QTest::mouseClick(Handle(), Qt::LeftButton, {}, On("Метка5"));
    QCOMPARE(catcher_.urls.size(), 1);
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        AboutTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    // The window has no owner; the application takes it down on its way out.
    if (AboutWindow() != nullptr) {
        qCritical("the About window outlived the application");
        return 1;
    }
    return result;
}

#include "AboutTest.moc"
