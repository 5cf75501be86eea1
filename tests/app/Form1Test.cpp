#include "tests/support/Contrast.h"
#include "tests/support/Fields.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TypicalSave.h"

#include "app/Form1.h"
#include "calc/Inputs.h"
#include "forms/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>

#include <cmath>
#include <memory>

using namespace sheetmass;
using namespace sheetmass::test;
using forms::Kind;

namespace {

const char* const kTabOrder[] = {"Комбо2", "Комбо1", "Текст1", "Текст2", "Текст3",   "Текст4",
                                 "Текст5", "Текст6", "Комбо3", "Текст7", "Комманда1"};

// What a screen reader says of each control: its caption, and in its
// description (the tooltip too) the unit or form its number takes.
const struct {
    const char *name, *spoken, *unit;
} kSpoken[] = {
    {"Комбо2", "Считать массу по:", ""},      {"Комбо1", "Сплав", "г/см³"},
    {"Текст1", "Толщина листа", "мм"},        {"Текст2", "Верхнее отклонение", "мм"},
    {"Текст3", "Нижнее отклонение", "-0,2"},  {"Текст4", "Длина листа", "мм"},
    {"Текст5", "Ширина листа", "мм"},         {"Текст6", "Количество", "штук"},
    {"Комбо3", "Знаков после запятой", "15"}, {"Текст7", "Масса, кг", "кг"},
    {"Комманда1", "О программе", ""},
};

// The commonest colour of a picture is what lies behind its text; the text
// is the colour that stands out most from it.
std::pair<QColor, QColor> backgroundAndText(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    QRgb back = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(back))
            back = it.key();
    QColor text = QColor::fromRgb(back);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (contrast(QColor::fromRgb(it.key()), QColor::fromRgb(back)) >
            contrast(text, QColor::fromRgb(back)))
            text = QColor::fromRgb(it.key());
    return {QColor::fromRgb(back), text};
}

} // namespace

class TestForm1 : public test::GuiTest {
    Q_OBJECT

    std::unique_ptr<Форма1> m_form;

    Форма1& form() {
        if (!m_form)
            m_form = std::make_unique<Форма1>(saved());
        return *m_form;
    }
    void reopen() {
        m_form.reset();
        form();
    }
    void tearDown() override { m_form.reset(); }

    template <class T = QWidget> T* control(std::string_view name) {
        auto* w = form().findChild<T*>(u(name));
        if (!w)
            qFatal("no control %s", qPrintable(u(name)));
        return w;
    }
    QRect placeOf(QWidget* w) { return {w->mapTo(&form(), QPoint(0, 0)), w->size()}; }
    QString result() { return control<QLineEdit>("Текст7")->text(); }
    // A complete set of inputs, so that each field's own effect shows.
    void fillValid() {
        const std::pair<const char*, const char*> typical[] = {
            {"Комбо1", "Д16 (1160)"}, {"Комбо2", kModeNominal}, {"Текст1", "2"},
            {"Текст2", "0,2"},        {"Текст3", "-0,2"},       {"Текст4", "2000"},
            {"Текст5", "1000"},       {"Текст6", "1"},          {"Комбо3", "2"}};
        for (const auto& [name, text] : typical)
            setTextOf(control(name), u(text));
        recalculate();
    }
    // A digit typed into the count and taken back: the calculation runs over
    // the inputs as they stand, as after any change.
    void recalculate() {
        auto* count = control<QLineEdit>("Текст6");
        QTest::keyClick(count, Qt::Key_End);
        QTest::keyClick(count, Qt::Key_1);
        QTest::keyClick(count, Qt::Key_Backspace);
    }
    QLineEdit* resultField() { return control<QLineEdit>("Текст7"); }
    QString listFile() const { return QDir(programFolder()).filePath(u("List.abc")); }
    void writeList(const QByteArray& bytes) {
        QFile file(listFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray readList() {
        QFile file(listFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray typicalFile() { return QByteArray::fromStdString(TypicalSaveImage()); }
    void showAndActivate() {
        form().show();
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }

  private slots:
    void windowIsFixedWithTitleAndIcon() {
        QCOMPARE(form().objectName(), u("Форма1"));
        QCOMPARE(form().windowTitle(), u("Масса AL листов"));
        for (QSize size : {form().size(), form().minimumSize(), form().maximumSize()})
            QCOMPARE(size, QSize(266, 377));
        const auto flags = form().windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!form().windowIcon().isNull());
    }

    // The design's own rules, not its numbers again: controls in their
    // container, no two inputs on one spot, captions on their fields' rows.
    void controlsKeepTheLayoutsRules() {
        QWidget* frame = control("Рамка1");
        QList<QWidget*> inputs;
        for (const forms::Control& c : forms::kForm1.controls) {
            QWidget* w = control(c.name);
            const QByteArray name = u(c.name).toUtf8();
            QCOMPARE(w->window(), static_cast<QWidget*>(&form()));
            QVERIFY2(w->isVisibleTo(&form()) && w->isEnabled(), name);
            QVERIFY2(form().rect().contains(placeOf(w)), name);
            if (!c.container.empty())
                QVERIFY2(frame->rect().contains(w->geometry()) && w->parent() == frame, name);
            if (c.kind == Kind::TextField || c.kind == Kind::ListField) {
                for (QWidget* other : inputs)
                    QVERIFY2(!placeOf(w).intersects(placeOf(other)), name);
                inputs << w;
            }
            if (!c.captions.empty()) {
                const QRect label = placeOf(w), field = placeOf(control(c.captions));
                const bool beside = label.top() < field.bottom() && field.top() < label.bottom() &&
                                    label.left() < field.left();
                const bool above =
                    field.top() >= label.bottom() && field.top() - label.bottom() < 8;
                QVERIFY2(beside || above, name);
            }
        }
        // Twips round to the nearest pixel: 280 is 18⅔ pixels.
        QCOMPARE(control("Метка1")->geometry(), QRect(8, 19, 73, 25));
        // Right edges line up, in the window and in the frame.
        for (const char* name : {"Комманда1", "Комбо2", "Рамка1", "Комбо3", "Текст7"})
            QCOMPARE(placeOf(control(name)).right(), 256);
    }

    void captionsShowTheirWordsWhole() {
        // A caption's words must show whole before its field begins; the dot
        // leaders may run under the field.
        for (const forms::Control& c : forms::kForm1.controls) {
            if (c.captions.empty())
                continue;
            auto* label = control<QLabel>(c.name);
            const QString words = label->text().remove(u(" .")).trimmed();
            const QRect field = placeOf(control(c.captions));
            const QRect own = placeOf(label);
            const int room = field.top() > own.top() + 5 ? own.width() : field.left() - own.left();
            QVERIFY2(label->fontMetrics().horizontalAdvance(words) <= room, qPrintable(u(c.name)));
        }
    }

    // Every label, field and list at 9.75 bold whatever its container; the
    // button its own 12; each text readable on what is painted behind it,
    // whatever the desktop's palette.
    void textsStandOutInTheirDesignedColours_data() {
        QTest::addColumn<QString>("name");
        for (const forms::Control& c : forms::kForm1.controls)
            if (c.kind != Kind::Frame)
                QTest::newRow(u(c.name).toUtf8()) << u(c.name);
    }
    void textsStandOutInTheirDesignedColours() {
        QFETCH(QString, name);
        const forms::Control& c = *forms::findControl(forms::kForm1, name.toStdString());
        fillValid();
        QWidget* w = control(c.name);
        const bool button = c.kind == Kind::Button;
        QCOMPARE(w->font().pointSizeF(), button ? 12.0 : 9.75);
        QVERIFY(w->font().bold());
        QCOMPARE(QFontInfo(w->font()).pointSizeF(), button ? 12.0 : 9.75);

        const QColor designed =
            QColor::fromRgb(c.textColour == forms::kSystemColour ? 0 : c.textColour);
        const QColor behind = button                  ? QColor(0xC0, 0xFF, 0xC0)
                              : c.kind != Kind::Label ? QColor(Qt::white)
                              : !c.container.empty()  ? QColor(0xFF, 0xFF, 0xF5)
                                                      : QColor(0xF5, 0xFF, 0xFA);
        QRect part = placeOf(w).adjusted(3, 3, -3, -3);
        if (c.kind == Kind::Label) {
            part = placeOf(w);
            part.setWidth(qobject_cast<QLabel*>(w)->fontMetrics().horizontalAdvance(
                qobject_cast<QLabel*>(w)->text().trimmed()));
            const QRect field = placeOf(control(c.captions));
            if (field.top() <= part.bottom())
                part.setRight(std::min(part.right(), field.left() - 2));
        }
        const auto [back, text] = backgroundAndText(form().grab().toImage().copy(part));
        QCOMPARE(back, behind);
        QVERIFY2(contrast(text, back) >= 4.5, qPrintable(text.name() + u(" on ") + back.name()));
        const int off = std::abs(text.red() - designed.red()) +
                        std::abs(text.green() - designed.green()) +
                        std::abs(text.blue() - designed.blue());
        QVERIFY2(off <= 48, qPrintable(text.name() + u(" instead of ") + designed.name()));
    }

    void listsHoldTheirFixedEntries() {
        auto* alloys = control<QComboBox>("Комбо1");
        QCOMPARE(alloys->count(), 94);
        // First and last, with trailing blanks, and the Latin C.
        const std::pair<int, const char*> grades[] = {
            {0, "1105"}, {14, "RR50 "}, {19, "АД1 "}, {68, "АМц\x43 (1401)"}, {93, "ММ (1403)"}};
        for (const auto& [i, grade] : grades)
            QCOMPARE(alloys->itemText(i), u(grade));
        auto* modes = control<QComboBox>("Комбо2");
        const char* const inOrder[] = {kModeNominal, kModeUpper, kModeLower};
        QCOMPARE(modes->count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(modes->itemText(i), u(inOrder[i]));
        auto* places = control<QComboBox>("Комбо3");
        QCOMPARE(places->count(), 16);
        for (int i = 0; i < places->count(); ++i)
            QCOMPARE(places->itemText(i), QString::number(i));
        for (QComboBox* list : {alloys, modes, places})
            QVERIFY(list->isEditable());
    }

    void loadShowsEmptyInputsAndNoDesignTexts() {
        for (const forms::Control& c : forms::kForm1.controls)
            if (c.kind == Kind::TextField || c.kind == Kind::ListField)
                QCOMPARE(textOf(control(c.name)), c.name == "Комбо3" ? u("0") : QString());
    }

    void tabVisitsInputsInDesignedOrder() {
        showAndActivate();
        QCOMPARE(QApplication::focusWidget(), control("Комбо2"));
        const int n = int(std::size(kTabOrder));
        for (int i = 1; i <= n; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), u(kTabOrder[i % n]));
        }
        for (int i = n - 1; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget()->objectName(), u(kTabOrder[i]));
        }
    }

    void screenReadersHearEachInputsCaption() {
        for (const auto& [name, spoken, unit] : kSpoken) {
            QAccessibleInterface* field = QAccessible::queryAccessibleInterface(control(name));
            QVERIFY(field);
            QCOMPARE(field->text(QAccessible::Name), u(spoken));
            const QString description = field->text(QAccessible::Description);
            QVERIFY2(description.contains(u(unit)), qPrintable(description));
            if (*unit)
                QCOMPARE(control(name)->toolTip(), description);
        }
    }

    // The typical sheet (by the upper band, but for the thickness), the
    // field emptied, then typed into key by key: the mass after each key.
    void typingIntoEachInputRecalculates_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("masses");
        QTest::newRow("Комбо1") << u("Комбо1") << u("2,7") << QStringList{"8,4", "8,4", "11,34"};
        QTest::newRow("Текст1") << u("Текст1") << u("15") << QStringList{"5,54", "83,1"};
        QTest::newRow("Текст6") << u("Текст6") << u("15") << QStringList{"11,63", "174,51"};
    }
    void typingIntoEachInputRecalculates() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QStringList, masses);
        fillValid();
        if (name != u("Текст1"))
            setTextOf(control("Комбо2"), u(kModeUpper));
        QWidget* w = control(name.toStdString());
        setTextOf(w, {});
        for (qsizetype i = 0; i < typed.size(); ++i) {
            QVERIFY(recalculates(resultField(), [&] { QTest::keyClicks(w, typed.mid(i, 1)); }));
            QCOMPARE(result(), masses[i]);
        }
    }

    // The typical sheet with the list's first entry, then its second.
    void pickingInEachListRecalculates_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("alloy, 1105 then 1161") << u("Комбо1") << u("11,2") << u("11,08");
        QTest::newRow("mode, nominal then upper") << u("Комбо2") << u("11,08") << u("11,63");
        QTest::newRow("places, 0 then 1") << u("Комбо3") << u("11") << u("11,1");
    }
    void pickingInEachListRecalculates() {
        QFETCH(QString, name);
        QFETCH(QString, first);
        QFETCH(QString, second);
        fillValid();
        auto* list = control<QComboBox>(name.toStdString());
        list->setCurrentIndex(0);
        recalculate();
        QCOMPARE(result(), first);
        QVERIFY(recalculates(resultField(), [&] { QTest::keyClick(list, Qt::Key_Down); }));
        QCOMPARE(list->currentIndex(), 1);
        QCOMPARE(result(), second);
    }

    // Only a pick from the list recalculates; a typed or pasted text waits
    // for another control's change, even when it equals an entry.
    void editedListTextWaitsWhenTheFocusLeaves_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pasted");
        QTest::newRow("places, an entry") << u("Комбо3") << u("3");
        QTest::newRow("places, no entry") << u("Комбо3") << u("02");
        QTest::newRow("mode, an entry") << u("Комбо2") << u(kModeUpper);
    }
    void editedListTextWaitsWhenTheFocusLeaves() {
        QFETCH(QString, name);
        QFETCH(QString, pasted);
        fillValid();
        showAndActivate();
        auto* list = control<QComboBox>(name.toStdString());
        list->setFocus();
        list->clearEditText();
        QApplication::clipboard()->setText(pasted);
        list->lineEdit()->paste();
        QVERIFY(!recalculates(resultField(), [&] { QTest::keyClick(list, Qt::Key_Tab); }));
        QVERIFY(!list->hasFocus());
        QCOMPARE(list->currentText(), pasted);
        // The arrow keys step on from the text that stands there.
        list->setFocus();
        QVERIFY(recalculates(resultField(), [&] { QTest::keyClick(list, Qt::Key_Down); }));
        QCOMPARE(list->currentIndex(), list->findText(pasted) + 1);
    }

    void idleWheelOverAListChangesNothing() {
        fillValid();
        showAndActivate();
        auto* alloy = control<QComboBox>("Комбо1");
        setTextOf(alloy, u("2,7"));
        control("Текст4")->setFocus();
        for (bool focused : {false, true}) {
            if (focused)
                alloy->setFocus();
            QWheelEvent wheel(QPointF(20, 10), alloy->mapToGlobal(QPointF(20, 10)), {},
                              QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(alloy, &wheel);
            QCOMPARE(alloy->currentText() == u("2,7"), !focused);
        }
    }

    void arrowKeysStepFromTheShownText() {
        // An empty mode is no entry: Down picks the first one.
        QTest::keyClick(control("Комбо2"), Qt::Key_Down);
        QCOMPARE(textOf(control("Комбо2")), u(kModeNominal));
        QTest::keyClick(control("Комбо3"), Qt::Key_Down); // from "0"
        QCOMPARE(textOf(control("Комбо3")), u("1"));
    }

    // A lower deviation typed without its sign shows as a thicker sheet.
    void theResultSaysWhatItWasWorkedFrom() {
        fillValid();
        setTextOf(control("Комбо2"), u(kModeLower));
        setTextOf(control("Текст3"), u("0,2"));
        auto* shown = control<QLineEdit>("Текст7");
        for (const char* line :
             {"кг", "Толщина в расчёте: 2,1 мм", "Масса одного листа: 11,634 кг"})
            QVERIFY2(shown->toolTip().contains(u(line)), qPrintable(shown->toolTip()));
        QCOMPARE(shown->accessibleDescription(), shown->toolTip());
        setTextOf(control("Текст6"), QString());
        QVERIFY2(!shown->toolTip().contains(u("мм")), qPrintable(shown->toolTip()));
    }

    void writingTheResultNeverRecalculates() {
        fillValid();
        control<QLineEdit>("Текст7")->setText("123");
        QCOMPARE(result(), u("123"));
    }

    void aLongResultShowsItsStart() {
        fillValid();
        setTextOf(control("Комбо1"), u("2,7123456789123"));
        setTextOf(control("Комбо3"), u("15"));
        setTextOf(control("Текст6"), u("999999"));
        auto* shown = control<QLineEdit>("Текст7");
        // Narrower than designed, so that any font overflows it.
        shown->resize(shown->width() / 2, shown->height());
        recalculate();
        QVERIFY2(shown->fontMetrics().horizontalAdvance(shown->text()) > shown->width(),
                 qPrintable(shown->text()));
        QVERIFY(shown->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < 8);
    }

    void noButtonAnswersEnterOrEscape() {
        showAndActivate();
        QSignalSpy clicks(control<QPushButton>("Комманда1"), &QPushButton::clicked);
        for (const char* name : {"Комбо2", "Текст1", "Комманда1"})
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(control(name), key);
        QCOMPARE(clicks.size(), 0);
        QVERIFY(form().isVisible());
    }

    void loadRestoresTheInputsAndCalculatesOnceOverAll() {
        writeList(typicalFile());
        QCOMPARE(textOf(control("Комбо2")), u("номиналу"));
        QCOMPARE(textOf(control("Комбо1")), u("Д16 (1160)"));
        QCOMPARE(textOf(control("Комбо3")), u("2"));
        QCOMPARE(textOf(control("Текст3")), u("-0,2"));
        QCOMPARE(result(), u("11,08"));
        QCOMPARE(control<QComboBox>("Комбо1")->currentIndex(), 84);
    }

    void closingSavesTheInputsOnce() {
        writeList(typicalFile());
        form().show();
        setTextOf(control("Текст6"), u("3"));
        QVERIFY(form().close());
        QByteArray expected = typicalFile();
        expected[154] = '3';
        QCOMPARE(readList(), expected);
        writeList(typicalFile()); // a second close must not save again
        form().show();
        QVERIFY(form().close());
        QCOMPARE(readList(), typicalFile());
    }

    void foreignTextsAreCutToTheirRoom() {
        QByteArray bytes = typicalFile();
        bytes.replace(100, 14, QByteArray::fromHex("08000A00313233343536373839"));
        writeList(bytes);
        QCOMPARE(textOf(control("Текст1")), u("123456"));
        setTextOf(control("Текст1"), u("1234567"));
        QCOMPARE(textOf(control("Текст1")), u("123456"));
        setTextOf(control("Комбо2"), QString(120, u'ж'));
        QCOMPARE(textOf(control("Комбо2")).size(), 96);
    }

    // Only a close the user made may wait on a box; a quit says why on
    // standard error and goes on.
    void failedSaveSaysWhyOnce_data() {
        QTest::addColumn<bool>("byUser");
        QTest::newRow("user's close") << true;
        QTest::newRow("quit") << false;
    }
    void failedSaveSaysWhyOnce() {
        QFETCH(bool, byUser);
        // Neither folder can exist: their parent is a plain file.
        const QString plain = QDir(programFolder()).filePath(u("plain"));
        QFile(plain).open(QIODevice::WriteOnly);
        m_form = std::make_unique<Форма1>(SavedInputs(plain + u("/bin"), plain + u("/data")));
        QCOMPARE(result(), QString());
        form().show();
        if (!byUser)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u("не сохранены.*List\\.abc")));
        QCloseEvent close;
        if (byUser)
            QSpontaneKeyEvent::setSpontaneous(&close);
        QApplication::instance()->notify(&form(), &close); // as the window system does
        // The box closed as Escape closes it is its Cancel: back to the window.
        QCOMPARE(close.isAccepted(), !byUser);
        const QStringList said = takeDialogs();
        QCOMPARE(said.size(), byUser ? 1 : 0);
        if (byUser)
            QVERIFY2(said.front().contains(u("не сохранены")) &&
                         said.front().contains(u("List.abc")),
                     qPrintable(said.front()));
    }

    void aboutWindowStandsBesideTheCalculator() {
        fillValid();
        form().show();
        QTest::mouseClick(control("Комманда1"), Qt::LeftButton);
        QTest::mouseClick(control("Комманда1"), Qt::LeftButton);
        QWidgetList abouts;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u("Форма2"))
                abouts << w;
        QCOMPARE(abouts.size(), 1);
        QWidget* about = abouts.front();
        QVERIFY(about->isVisible());
        QVERIFY(!about->parentWidget());
        QVERIFY(!QApplication::activeModalWidget());

        QTest::keyClicks(control("Текст6"), "0"); // 10 sheets
        QCOMPARE(result(), u("110,8"));

        // Closing the calculator saves its inputs and takes the About window
        // along: the program ends.
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        bool livedOn = true;
        QTimer::singleShot(0, this, [&] {
            form().close();
            livedOn = about->isVisible();
        });
        QTimer watchdog;
        watchdog.callOnTimeout(qApp, &QCoreApplication::quit);
        watchdog.start(10000);
        QApplication::exec();
        QVERIFY(!livedOn);
        QCOMPARE(lastClosed.size(), 1);
        QCOMPARE(readList().size(), 214);
    }

    void contextMenusSpeakRussian() {
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy"), u("&Копировать"));
    }

    // A file manager's drag carries the file as a URL and as its text: on
    // the window or on a field, the window takes the file, tells of it in a
    // box whose button opens the result, and the fields keep their texts.
    void aFileDroppedIsToldInABox_data() {
        QTest::addColumn<QString>("onto");
        QTest::newRow("the window") << u("Форма1");
        QTest::newRow("a field") << u("Текст4");
        QTest::newRow("a list") << u("Комбо1");
    }
    void aFileDroppedIsToldInABox() {
        QFETCH(QString, onto);
        fillValid();
        const QString before = result();
        QTemporaryDir folder;
        const QString order = folder.filePath(u("заказ.csv"));
        QFile file(order);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(u("Д16 (1160);номиналу;2;0,2;-0,2;2000;1000;10;2\n").toUtf8());
        file.close();
        QWidget* target = onto == form().objectName() ? &form() : control(onto.toStdString());
        if (auto* list = qobject_cast<QComboBox*>(target))
            target = list->lineEdit();
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(order)});
        dragged.setText(QUrl::fromLocalFile(order).toString());

        QString text;
        QStringList buttons;
        bool stayed = false, plain = false;
        QTimer look;
        look.callOnTimeout(this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            text = box->text();
            // A file's text is never read as markup.
            plain = box->textFormat() == Qt::PlainText;
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            // Escape closes it, as the frame's close does.
            QTest::keyClick(box, Qt::Key_Escape);
            if ((stayed = box->isVisible()))
                box->done(0);
        });
        look.start(5);
        const QPoint middle = target->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(middle, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY(!text.isEmpty());
        QCOMPARE(text, u("«заказ.csv»: 1 строка, итого 110,8 кг.\n\n"
                         "Результат записан рядом: «заказ (масса).csv»."));
        QVERIFY2(buttons.contains(u("Открыть результат")), qPrintable(buttons.join(u(", "))));
        QVERIFY(!stayed);
        QVERIFY(plain);
        QVERIFY(QFile::exists(folder.filePath(u("заказ (масса).csv"))));
        QCOMPARE(control<QLineEdit>("Текст4")->text(), u("2000"));
        QCOMPARE(control<QComboBox>("Комбо1")->currentText(), u("Д16 (1160)"));
        QCOMPARE(result(), before);
    }
};

SHEETMASS_GUI_TEST_MAIN(TestForm1)

#include "Form1Test.moc"
