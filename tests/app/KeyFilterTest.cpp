#include "tests/support/GuiTest.h"

#include "app/Form1.h"
#include "app/Form1Layout.h"

#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>

#include <memory>

using namespace sheetmass;

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

// Digits, comma, dot, minus, space, a Latin and a Cyrillic letter, and the
// characters the fields may take back.
const char* const kMixed = "1,.- zЖ2-,";

// Types like a keyboard does, also characters QTest has no key for.
void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        const int key = c.unicode() < 0x80 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
}

} // namespace

class TestKeyFilter : public test::GuiTest {
    Q_OBJECT

    std::unique_ptr<Форма1> m_form;

    void tearDown() override { m_form.reset(); }
    Форма1& form() {
        if (!m_form) {
            m_form = std::make_unique<Форма1>(saved());
            m_form->show();
            if (!QTest::qWaitForWindowExposed(m_form.get()))
                qFatal("the window did not show");
        }
        return *m_form;
    }
    QWidget* field(const QString& name) { return form().findChild<QWidget*>(name); }
    QLineEdit* line(const char* name) { return form().findChild<QLineEdit*>(u(name)); }
    QComboBox* list(const char* name) { return form().findChild<QComboBox*>(u(name)); }
    static QString textOf(QWidget* w) {
        if (auto* list = qobject_cast<QComboBox*>(w))
            return list->currentText();
        return static_cast<QLineEdit*>(w)->text();
    }
    static void clear(QWidget* w) {
        if (auto* list = qobject_cast<QComboBox*>(w))
            list->clearEditText();
        else
            static_cast<QLineEdit*>(w)->clear();
    }

  private slots:
    void eachFieldKeepsOnlyItsCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        QTest::newRow("alloy") << u("Комбо1") << u("1,2,");
        QTest::newRow("mode") << u("Комбо2") << QString();
        QTest::newRow("places, unfiltered") << u("Комбо3") << u(kMixed);
        QTest::newRow("thickness") << u("Текст1") << u("1,2,");
        QTest::newRow("upper") << u("Текст2") << u("1,-2-,");
        QTest::newRow("lower") << u("Текст3") << u("1,-2-,");
        QTest::newRow("length") << u("Текст4") << u("1,2,");
        QTest::newRow("width") << u("Текст5") << u("1,2,");
        QTest::newRow("count") << u("Текст6") << u("12");
        QTest::newRow("result") << u("Текст7") << QString();
    }
    void eachFieldKeepsOnlyItsCharacters() {
        QFETCH(QString, name);
        QFETCH(QString, kept);
        QWidget* w = field(name);
        clear(w);
        type(w, u(kMixed));
        QCOMPARE(textOf(w), kept);
    }

    void backspaceWorksWhereNothingElseIsTyped() {
        for (QWidget* w :
             {static_cast<QWidget*>(line("Текст7")), static_cast<QWidget*>(list("Комбо2"))}) {
            if (auto* list = qobject_cast<QComboBox*>(w))
                list->setEditText(u("номиналу"));
            else
                line("Текст7")->setText(u("11,08"));
            QTest::keyClick(w, Qt::Key_End);
            QTest::keyClick(w, Qt::Key_Backspace);
            QTest::keyClick(w, Qt::Key_Backspace);
            QVERIFY2(textOf(w) == u("номина") || textOf(w) == u("11,"), qPrintable(textOf(w)));
        }
    }

    void refusedKeysChangeNothingAndCalculateNothing_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier);
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
        QTest::newRow("dot") << int(Qt::Key_Period) << 0;
    }
    void refusedKeysChangeNothingAndCalculateNothing() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QGuiApplication::clipboard()->setText(u("777"));
        line("Текст1")->setText(u("12"));
        line("Текст1")->setFocus();
        line("Текст1")->setCursorPosition(1);
        QSignalSpy runs(&form(), &CalculatorWindow::recalculated);
        QTest::keyClick(line("Текст1"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::keyClick(line("Текст1"), Qt::Key_5); // would replace a selection
        QCOMPARE(line("Текст1")->text(), u("152"));
        QCOMPARE(runs.size(), 1);
    }

    void keysThatTypeNoCharacterPass() {
        QGuiApplication::clipboard()->setText(u("ab"));
        line("Текст4")->setText(u("123"));
        QTest::keyClick(line("Текст4"), Qt::Key_Home);
        QTest::keyClick(line("Текст4"), Qt::Key_Delete);
        QTest::keyClick(line("Текст4"), Qt::Key_Right);
        QTest::keyClick(line("Текст4"), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(line("Текст4")->text(), u("2ab3"));
    }

    void typingADensityRecalculatesAfterEachAcceptedCharacter() {
        list("Комбо2")->setEditText(u("номиналу"));
        line("Текст1")->setText(u("2"));
        line("Текст4")->setText(u("1000"));
        line("Текст5")->setText(u("1000"));
        line("Текст6")->setText(u("1"));
        list("Комбо3")->setEditText(u("1"));
        list("Комбо1")->clearEditText();
        const struct {
            const char* key;
            int runs;
            const char* result;
        } steps[] = {{"2", 1, "4"}, {"x", 0, "4"}, {",", 1, "4"}, {"7", 1, "5,4"}, {".", 0, "5,4"}};
        for (const auto& step : steps) {
            QSignalSpy runs(&form(), &CalculatorWindow::recalculated);
            QTest::keyClicks(list("Комбо1"), u(step.key));
            QCOMPARE(runs.size(), step.runs);
            QCOMPARE(line("Текст7")->text(), u(step.result));
        }
    }

    void inputMethodCommitsAreFilteredCharacterByCharacter() {
        const struct {
            const char* field;
            const char* commit;
            const char* kept;
        } cases[] = {
            {"Текст2", "-1a,Ж5 ", "-1,5"},
            {"Текст6", "1,5", "15"},
            {"Комбо1", "2,8€", "2,8"},
            {"Комбо2", "абв", ""},
        };
        for (const auto& c : cases) {
            QWidget* w = field(u(c.field));
            clear(w);
            w->setFocus();
            QInputMethodEvent commit;
            commit.setCommitString(u(c.commit));
            QCoreApplication::sendEvent(w, &commit);
            QCOMPARE(textOf(w), u(c.kept));
        }
    }

    // The keypad's decimal key: a comma wherever a comma may be typed, the
    // unfiltered places field among them; nothing where none may.
    void keypadDecimalTypesACommaWhereACommaIsAdmitted_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        QTest::newRow("thickness") << u("Текст1") << u("1,,");
        QTest::newRow("places, unfiltered") << u("Комбо3") << u("1,,");
        QTest::newRow("count") << u("Текст6") << u("1");
        QTest::newRow("result") << u("Текст7") << u("1");
    }
    void keypadDecimalTypesACommaWhereACommaIsAdmitted() {
        QFETCH(QString, name);
        QFETCH(QString, kept);
        QWidget* w = field(name);
        clear(w);
        if (auto* l = qobject_cast<QComboBox*>(w))
            l->setEditText(u("1"));
        else
            static_cast<QLineEdit*>(w)->setText(u("1"));
        for (int key : {Qt::Key_Period, Qt::Key_Comma})
            QTest::keyClick(w, Qt::Key(key), Qt::KeypadModifier);
        QCOMPARE(textOf(w), kept);
    }

    // Copying and selecting change no text, so every field lets them through.
    void theResultCanBeCopiedFromTheKeyboard() {
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
        } copies[] = {{Qt::Key_C, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ControlModifier}};
        for (const auto& copy : copies) {
            line("Текст7")->setText(u("11,08"));
            line("Текст7")->setFocus();
            QGuiApplication::clipboard()->clear();
            QTest::keyClick(line("Текст7"), Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(line("Текст7")->selectedText(), u("11,08"));
            QTest::keyClick(line("Текст7"), copy.key, copy.modifiers);
            QCOMPARE(QGuiApplication::clipboard()->text(), u("11,08"));
            QCOMPARE(line("Текст7")->text(), u("11,08"));
        }
    }

    void programAndPastedTextIsNotFiltered() {
        line("Текст6")->setText(u("a,b"));
        QCOMPARE(line("Текст6")->text(), u("a,b"));
        QGuiApplication::clipboard()->setText(u("x-1"));
        line("Текст6")->clear();
        line("Текст6")->paste();
        QCOMPARE(line("Текст6")->text(), u("x-1"));
    }
};

SHEETMASS_GUI_TEST_MAIN(TestKeyFilter)

#include "KeyFilterTest.moc"
