#include "about/About.h"
#include "look/Look.h"
#include "tests/support/Contrast.h"
#include "tests/support/GuiTest.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The address, the one label that is a link and may run past the window's edge.
const char* const kAddress = "Метка5";

// Each label as the window shows it at 96 dots per inch: its place in pixels,
// the colour its text is painted in, whether that text stands centred and
// underlined, and its tip.
struct LabelRow {
    const char* tag;
    QRect place;
    QRgb colour;
    bool centred, underlined;
    const char* toolTip;
};
const LabelRow kLabels[] = {
    {"Метка1", {32, 8, 161, 49}, qRgb(255, 255, 0), true, true, nullptr},
    {"Метка3", {32, 72, 193, 17}, qRgb(192, 255, 255), true, false, nullptr},
    {"Метка2", {32, 104, 193, 17}, qRgb(255, 255, 255), true, false, nullptr},
    {"Метка7", {8, 128, 57, 17}, qRgb(255, 255, 192), false, false, nullptr},
    {"Метка5",
     {56, 128, 185, 25},
     qRgb(255, 255, 192),
     false,
     true,
     "Чтобы написать письмо кликните на адрес"},
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
// From the keyboard: Tab reaches the address, Enter and Space open it.
const Gesture kKeys = [](QWindow* w, QPoint) {
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Space, Qt::Key_Space})
        QTest::keyClick(w, key);
};
const Gesture kEscape = [](QWindow* w, QPoint) { QTest::keyClick(w, Qt::Key_Escape); };

struct MouseRow {
    const char *tag, *label; // nullptr: the picture
    Gesture gesture;
    int urls;
    bool closes = false;
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
    {"address from the keyboard", "Метка5", kKeys, 3},
    {"Escape", nullptr, kEscape, 0, true},
};

template <typename Row, std::size_t N> void addRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].tag) << int(i);
}

QList<QWidget*> aboutWindows() {
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("Форма2"))
            found << w;
    return found;
}

QWidget* aboutWindow() {
    const QList<QWidget*> found = aboutWindows();
    return found.isEmpty() ? nullptr : found.front();
}

QLabel* label(const char* name) {
    return aboutWindow()->findChild<QLabel*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

// Near a label's top-left corner; on the address, that is where "E-mail:" lies
// beneath it.
QPoint on(const char* name) {
    return label(name)->mapTo(aboutWindow(), QPoint(4, 8));
}

// The part of a label that shows: inside the window and not under a label
// made after it.
QRect shownPart(const QLabel* l) {
    const QWidget* window = l->window();
    QRect shown = l->geometry() & window->rect();
    const QObjectList& siblings = window->children();
    for (qsizetype i = siblings.indexOf(l) + 1; i < siblings.size(); ++i) {
        const auto* above = qobject_cast<const QWidget*>(siblings[i]);
        if (above != nullptr && above->geometry().intersects(shown))
            shown.setRight(std::min(shown.right(), above->geometry().left() - 1));
    }
    return shown;
}

// The client area's centre on the screen's, give or take the pixel that an
// odd size leaves over.
bool centredOn(const QWidget* w, const QScreen* screen) {
    const QPoint off = w->geometry().center() - screen->availableGeometry().center();
    return qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1;
}

// A window's picture in its own pixels, at the scale of the screen.
QImage shot(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Where a label's text is painted: the pixels of its colour in the window's
// picture that are not there without it, in logical pixels.
struct Painted {
    int pixels = 0;
    QRect box;
    int longestRun = 0; // the widest unbroken row, an underline's mark
};
Painted painted(const QImage& with, const QImage& without, QRect logical, QRgb colour) {
    const qreal scale = with.devicePixelRatio();
    const QRect device(logical.topLeft() * scale, logical.size() * scale);
    const QRgb solid = colour | 0xff000000u;
    Painted p;
    QRect box;
    for (int y = device.top(); y <= device.bottom(); ++y) {
        int run = 0;
        for (int x = device.left(); x <= device.right(); ++x) {
            const bool text = with.pixel(x, y) == solid && without.pixel(x, y) != solid;
            run = text ? run + 1 : 0;
            p.longestRun = std::max(p.longestRun, run);
            if (text) {
                ++p.pixels;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    p.box = QRect((box.topLeft() / scale), box.size() / scale);
    p.longestRun = int(p.longestRun / scale);
    return p;
}

} // namespace

class AboutTest : public sheetmass::test::GuiTest {
    Q_OBJECT

  public:
    ~AboutTest() override {
        // The window has no owner; the application must take it down on its
        // way out (Qt's own window list keeps it out of LeakSanitizer's sight).
        if (m_window)
            qFatal("the About window outlived the application");
    }

  public slots:
    // Stands in for the desktop's mail program.
    void open(const QUrl& url) { m_urls << url; }

  protected:
    void tearDown() override {
        m_urls.clear();
        QToolTip::hideText();
    }

  private slots:
    void initTestCase() {
        // No desktop launcher here but the tests' own: the mail program is
        // this test's open() unless a test puts a launcher on the path.
        qputenv("PATH", m_launchers.path().toLocal8Bit());
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
        m_main = std::make_unique<QWidget>();
        m_main->resize(300, 200);
    }
    void cleanupTestCase() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        m_main.reset();
        m_window = aboutWindow();
    }

    // The first opening of the run comes first: it is the one that knows
    // nothing of the window's frame yet.
    void opensCentredOnTheMainWindowsScreen() {
        if (aboutWindow() != nullptr)
            QSKIP("only a run's first opening knows nothing of the frame; run this alone");
        QList<QScreen*> screens = QGuiApplication::screens();
        // Away from the primary screen first, where there is another.
        std::reverse(screens.begin(), screens.end());
        for (QScreen* screen : screens) {
            m_main->move(screen->availableGeometry().topLeft() + QPoint(20, 20));
            m_main->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
            QCOMPARE(m_main->screen(), screen);
            QRect first;
            for (int opening = 0; opening < 2; ++opening) {
                sheetmass::showAbout(m_main.get());
                QWidget* w = aboutWindow();
                QVERIFY(QTest::qWaitForWindowExposed(w));
                QCOMPARE(w->screen(), screen);
                QVERIFY(centredOn(w, screen));
                if (opening == 0)
                    first = w->geometry();
                QCOMPARE(w->geometry(), first);
                QVERIFY(w->close());
            }
        }
        m_main->hide();
    }

    void oneOwnerlessFixedWindowForTheRun() {
        sheetmass::showAbout(m_main.get());
        sheetmass::showAbout(m_main.get());
        QCOMPARE(aboutWindows().size(), 1);
        QWidget* w = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
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
        sheetmass::showAbout(m_main.get());
        QCOMPARE(aboutWindow(), w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->pos(), elsewhere);

        // Closed and asked for again, it comes back centred, and a press from
        // before closing does not turn into a click.
        QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, on(kAddress));
        QVERIFY(w->close());
        sheetmass::showAbout(m_main.get());
        QCOMPARE(aboutWindows(), QList<QWidget*>{w});
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(centredOn(w, w->screen()));
        QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, on(kAddress));
        QCOMPARE(m_urls.size(), 0);
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, on(kAddress));
        QCOMPARE(m_urls.size(), 1);
    }

    void labels_data() { addRows(kLabels); }
    void labels() {
        QFETCH(int, row);
        const LabelRow& r = kLabels[row];
        sheetmass::showAbout(m_main.get());
        QWidget* w = aboutWindow();
        QLabel* l = label(r.tag);
        QVERIFY(l != nullptr);
        QCOMPARE(l->geometry(), r.place);
        QCOMPARE(l->toolTip(), QString::fromUtf8(r.toolTip));
        QVERIFY(!l->autoFillBackground() && l->wordWrap());
        const bool link = qstrcmp(r.tag, kAddress) == 0;
        QCOMPARE(l->focusPolicy(), link ? Qt::TabFocus : Qt::NoFocus);
        QCOMPARE(l->cursor().shape(), link ? Qt::PointingHandCursor : Qt::ArrowCursor);
        const QFont font = l->font();
        QCOMPARE(font.family(), sheetmass::designFont({9.75, true}).family());
        QVERIFY(font.bold() && !font.italic() && !font.strikeOut());

        // Inside the window, but the address, which its right edge clips.
        const QRect shown = l->geometry() & w->rect();
        QCOMPARE(shown.right() < l->geometry().right(), link);

        // Drawn in its own colour whatever the desktop's, where the design
        // puts it, underlined or not.
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QImage with = shot(w);
        l->hide();
        const QImage without = shot(w);
        l->show();
        const Painted text = painted(with, without, shownPart(l), r.colour);
        QVERIFY2(text.pixels > 20, "text colour not painted");
        // Centred: no less margin on the left than on the right (a faint
        // glyph at the start, the ©, can only make the left one wider).
        const int left = text.box.left() - shown.left(), right = shown.right() - text.box.right();
        QCOMPARE(right <= left + 2, r.centred);
        QCOMPARE(text.longestRun > text.box.width() * 3 / 4, r.underlined);

        // Its text fits the part that shows, in as many lines as the label
        // is high, at either face that the package brings for the design font.
        int faces = 0;
        for (const char* family : {"Liberation Sans", "PT Sans"}) {
            QFont stand = font;
            stand.setFamily(QString::fromLatin1(family));
            if (QFontInfo(stand).family() != stand.family())
                continue;
            ++faces;
            const QFontMetrics metrics(stand);
            const int room = shownPart(l).width();
            const QRect needed = metrics.boundingRect(QRect(0, 0, room, 10000),
                                                      Qt::TextWordWrap | l->alignment(), l->text());
            QVERIFY2(needed.width() <= room, family);
            QVERIFY2(needed.height() / metrics.lineSpacing() == l->height() / metrics.lineSpacing(),
                     family);
        }
        if (faces == 0)
            QSKIP("neither face installed");
    }

    // A screen reader hears each label's text; the address is a link that
    // writes the letter when pressed.
    void accessible_data() { addRows(kLabels); }
    void accessible() {
        QFETCH(int, row);
        const LabelRow& r = kLabels[row];
        sheetmass::showAbout(m_main.get());
        QLabel* l = label(r.tag);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(l);
        QVERIFY(face != nullptr && face->isValid());
        QCOMPARE(face->text(QAccessible::Name), l->text());
        QCOMPARE(face->parent()->object(), aboutWindow());
        const bool link = qstrcmp(r.tag, kAddress) == 0;
        QCOMPARE(face->role(), link ? QAccessible::Link : QAccessible::StaticText);
        QCOMPARE(bool(face->state().linked), link);
        QAccessibleActionInterface* actions = face->actionInterface();
        const QStringList names = actions ? actions->actionNames() : QStringList();
        QCOMPARE(names.contains(QAccessibleActionInterface::pressAction()), link);
        if (link) {
            // The same letter as a click on it.
            actions->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(m_urls.size(), 1);
            QVERIFY(QTest::qWaitForWindowExposed(aboutWindow()));
            kClick(aboutWindow()->windowHandle(), on(kAddress));
            QCOMPARE(m_urls.size(), 2);
            QCOMPARE(m_urls[0], m_urls[1]);
        }
    }

    // The address's tip is a window in the desktop's tooltip colours, which
    // read on a dark desktop too.
    void toolTip() {
        sheetmass::showAbout(m_main.get());
        QWidget* w = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QLabel* l = label(kAddress);
        QHelpEvent ask(QEvent::ToolTip, QPoint(4, 8), l->mapToGlobal(QPoint(4, 8)));
        QApplication::sendEvent(l, &ask);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), l->toolTip());
        QWidget* tip = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("qtooltip_label") && top->isVisible())
                tip = top;
        QVERIFY(tip != nullptr);
        const QPalette colours = tip->palette();
        const double ratio =
            sheetmass::test::contrast(colours.color(QPalette::Inactive, QPalette::ToolTipText),
                                      colours.color(QPalette::Inactive, QPalette::ToolTipBase));
        QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
    }

    void pictures() {
        sheetmass::showAbout(m_main.get());
        QWidget* w = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QImage picture =
            QImage(QStringLiteral(":/about.jpg")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), QSize(244, 181));
        QVERIFY(!picture.isGrayscale());

        // At any scale the picture covers the window as it does at 96 dpi:
        // brought back to the window's size, the shot is the picture.
        const QImage screen = shot(w);
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QCOMPARE(screen.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        QCOMPARE(screen.size(), QSize(235, 176) * screen.devicePixelRatio());
        const QImage seen =
            screen.scaled(w->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Patches that no label covers, the corners among them.
        for (QRect patch : {QRect(0, 0, 16, 16), QRect(219, 0, 16, 16), QRect(0, 160, 16, 16),
                            QRect(219, 160, 16, 16), QRect(112, 157, 16, 16)}) {
            int difference = 0;
            for (int y = patch.top(); y <= patch.bottom(); ++y)
                for (int x = patch.left(); x <= patch.right(); ++x) {
                    const QColor a = seen.pixelColor(x, y), b = picture.pixelColor(x, y);
                    difference += qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                                  qAbs(a.blue() - b.blue());
                }
            const double mean = difference / (3.0 * patch.width() * patch.height());
            QVERIFY2(mean < 4, qPrintable(QStringLiteral("%1 levels off in a patch at %2, %3")
                                              .arg(mean)
                                              .arg(patch.x())
                                              .arg(patch.y())));
        }

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

    void mouse_data() { addRows(kMouse); }
    void mouse() {
        QFETCH(int, row);
        const MouseRow& r = kMouse[row];
        sheetmass::showAbout(m_main.get());
        QWidget* w = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        r.gesture(w->windowHandle(), r.label ? on(r.label) : kPictureOnly);
        QCOMPARE(m_urls.size(), r.urls);
        // The right button's menu copies the address.
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QCOMPARE(menu != nullptr, r.gesture == kRight);
        if (menu) {
            QGuiApplication::clipboard()->clear();
            QCOMPARE(menu->actions().size(), 1);
            QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Копировать адрес"));
            menu->actions()[0]->trigger();
            menu->close();
            QCOMPARE(QGuiApplication::clipboard()->text(), label(kAddress)->text());
        }
        // The address the label shows, and the subject as the query.
        const QString subject = QStringLiteral("Subject=Листы алюминиевые  ");
        for (const QUrl& url : m_urls) {
            QCOMPARE(QUrl::fromPercentEncoding(url.toEncoded()),
                     QStringLiteral("mailto:") + label(kAddress)->text() + u'?' + subject);
            QCOMPARE(url.query(QUrl::FullyDecoded), subject);
        }
        QCOMPARE(w->isVisible(), !r.closes);
    }

    // With no mail program to start, a box over the window says so and
    // shows the address to select.
    void withoutAMailProgram() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        sheetmass::showAbout(m_main.get());
        QWidget* w = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        kClick(w->windowHandle(), on(kAddress));
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
        auto* box = w->findChild<QMessageBox*>();
        QVERIFY(box != nullptr && box->isVisible());
        QVERIFY2(box->text().contains(label(kAddress)->text()), qPrintable(box->text()));
        QVERIFY(box->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
        QVERIFY(box->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
        box->close();
        QVERIFY(w->isVisible());
    }

    // The desktop's launcher is started with the letter's URL; when it ends
    // with an error (no mail program takes mailto:), or is killed, the box
    // with the address shows, as when there is none.
    void aLauncherThatFailsIsTold_data() {
        QTest::addColumn<QString>("ends");
        QTest::addColumn<bool>("told");
        QTest::newRow("opened") << QStringLiteral("exit 0") << false;
        QTest::newRow("no mail program") << QStringLiteral("exit 3") << true;
        QTest::newRow("killed") << QStringLiteral("kill -9 $$") << true;
    }
    void aLauncherThatFailsIsTold() {
        QFETCH(QString, ends);
        QFETCH(bool, told);
        const QString got = m_launchers.filePath(QStringLiteral("got"));
        QFile::remove(got);
        QFile launcher(m_launchers.filePath(QStringLiteral("xdg-open")));
        QVERIFY(launcher.open(QIODevice::WriteOnly | QIODevice::Truncate));
        launcher.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n%2\n")
                           .arg(got, ends)
                           .toLocal8Bit());
        launcher.close();
        launcher.setPermissions(launcher.permissions() | QFile::ExeOwner);
        sheetmass::showAbout(m_main.get());
        QWidget* w = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        kClick(w->windowHandle(), on(kAddress));
        QTRY_VERIFY(QFile::exists(got));
        QFile url(got);
        QVERIFY(url.open(QIODevice::ReadOnly));
        QVERIFY2(url.readAll().startsWith("mailto:sheetmass@example.org?Subject="),
                 qPrintable(got));
        // Time for the launcher to end and a box to show (and be closed by
        // the dialog watch, which keeps what it said).
        QTest::qWait(300);
        QStringList said = takeDialogs();
        if (auto* box = w->findChild<QMessageBox*>(); box && box->isVisible()) {
            said << box->text();
            box->close();
        }
        QCOMPARE(said.size(), told ? 1 : 0);
        if (told)
            QVERIFY2(said.front().contains(label(kAddress)->text()), qPrintable(said.front()));
        launcher.remove();
        QCOMPARE(m_urls.size(), 0);
    }

  private:
    QTemporaryDir m_launchers;
    std::unique_ptr<QWidget> m_main; // stands in for the main window
    QList<QUrl> m_urls;
    QPointer<QWidget> m_window;
};

SHEETMASS_GUI_TEST_MAIN(AboutTest)

#include "AboutTest.moc"
