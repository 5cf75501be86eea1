#include "tests/support/Fields.h"
#include "tests/support/GuiTest.h"

#include "app/Form1.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QToolTip>

#include <memory>

using namespace sheetmass;
using namespace sheetmass::test;

namespace {

// Digits, comma, dot, minus, space, a Latin and a Cyrillic letter, and the
// characters the fields may take back.
const char* const kMixed = "1,.- zЖ2-,";

// The ways a text comes into a field.
enum Way {
    Typed,
    CtrlV,
    ShiftInsert,
    Menu,
    Drop,
    MiddleClick,
    Commit,
    PasteUndo,
    PasteUndoRedo,
    TypedCut
};
const char* const kWayNames[] = {"typed",
                                 "Ctrl+V",
                                 "Shift+Insert",
                                 "menu",
                                 "drop",
                                 "middle click",
                                 "input method",
                                 "Ctrl+V Ctrl+Z",
                                 "Ctrl+V Ctrl+Z Ctrl+Shift+Z",
                                 "typed, Ctrl+A Ctrl+X"};

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
    static void clear(QWidget* w) { setTextOf(w, {}); }

  private slots:
    void eachFieldKeepsOnlyItsCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        QTest::newRow("alloy") << u("Комбо1") << u("1,,2,");
        QTest::newRow("mode") << u("Комбо2") << QString();
        QTest::newRow("places, unfiltered") << u("Комбо3") << u(kMixed);
        QTest::newRow("thickness") << u("Текст1") << u("1,,2,");
        QTest::newRow("upper") << u("Текст2") << u("1,,-2-");
        QTest::newRow("lower") << u("Текст3") << u("1,,-2-");
        QTest::newRow("length") << u("Текст4") << u("1,,2,");
        QTest::newRow("width") << u("Текст5") << u("1,,2,");
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
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
    }
    void refusedKeysChangeNothingAndCalculateNothing() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        line("Текст1")->setText(u("12"));
        line("Текст1")->setFocus();
        line("Текст1")->setCursorPosition(1);
        QVERIFY(!recalculates(line("Текст7"), [&] {
            QTest::keyClick(line("Текст1"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        }));
        QTest::keyClick(line("Текст1"), Qt::Key_5); // would replace a selection
        QCOMPARE(line("Текст1")->text(), u("152"));
    }

    void keysThatTypeNoCharacterPass() {
        line("Текст4")->setText(u("1234"));
        QTest::keyClick(line("Текст4"), Qt::Key_Home);
        QTest::keyClick(line("Текст4"), Qt::Key_Delete);
        QTest::keyClick(line("Текст4"), Qt::Key_Right);
        // As some keyboards send it: with the DEL character as its text.
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QCoreApplication::sendEvent(line("Текст4"), &del);
        QCOMPARE(line("Текст4")->text(), u("24"));
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
            bool runs;
            const char* result;
        } steps[] = {{"2", true, "4"}, {"x", false, "?"}, {".", true, "4"}, {"7", true, "5,4"}};
        for (const auto& step : steps) {
            QCOMPARE(recalculates(line("Текст7"),
                                  [&] { QTest::keyClicks(list("Комбо1"), u(step.key)); }),
                     step.runs);
            QCOMPARE(line("Текст7")->text(), u(step.result));
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

    // Every way a text comes into a field, into the emptied field of a sheet
    // of Д16, 2 mm with its lower deviation -0,2, 2000 × 1000, one sheet:
    // the number meant, or the field as it was and a tooltip at it.
    void everyWayIn_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("refused");
        const struct {
            Way way;
            const char *name, *text, *after, *result;
            bool refused;
        } rows[] = {
            {Typed, "Текст1", "2.5", "2,5", "13,3", false},
            {Typed, "Комбо1", "2.7", "2,7", "10,26", false},
            {CtrlV, "Текст1", "2,5\n", "2,5", "13,3", false},
            {ShiftInsert, "Текст4", "1 250,5", "1250,5", "6,58", false},
            {Menu, "Текст4", "\t1\u00A0250,5\u202F", "1250,5", "6,58", false},
            {Drop, "Комбо1", "2.7", "2,7", "10,26", false},
            {CtrlV, "Текст3", "-0.2", "-0,2", "10,53", false},
            {Drop, "Текст6", "3\n", "3", "31,58", false},
            {MiddleClick, "Текст5", "1 000\n", "1000", "10,53", false},
            {Commit, "Текст1", "2.5 ", "2,5", "13,3", false},
            // A list's entry is picked, as from the list.
            {CtrlV, "Комбо1", "Д16 (1160)\n", "Д16 (1160)", "10,53", false},
            {Menu, "Комбо2", "номиналу\r\n", "номиналу", "11,08", false},
            {Drop, "Комбо2", "центру верхнего отклонения", "центру верхнего отклонения", "11,63",
             false},
            // One change, undone and done again as one.
            {PasteUndo, "Текст1", "2,5", "", "", false},
            {PasteUndoRedo, "Текст1", "2,5", "2,5", "13,3", false},
            {TypedCut, "Текст1", "2,5", "", "", false},
            // Too long, a character the field does not take, two separators.
            {CtrlV, "Текст4", "1250,55", "", "", true},
            {Drop, "Текст6", "12345678", "", "", true},
            {Menu, "Текст4", "-5", "", "", true},
            {CtrlV, "Текст1", "1e3", "", "", true},
            {ShiftInsert, "Текст3", "1,2.5", "", "", true},
            {Commit, "Текст6", "1,5", "", "", true},
            {CtrlV, "Текст6", "1\b2", "", "", true}, // backspace passes as a key, not in a text
            {CtrlV, "Комбо2", "2", "", "10,53", true},
            // The result takes nothing.
            {CtrlV, "Текст7", "3ABC", "", "", true},
            {Drop, "Текст7", "5", "", "", true},
            {Menu, "Текст7", "5", "", "", true},
            // The places keep their unfiltered text; it counts from the next
            // calculation another field starts.
            {CtrlV, "Комбо3", "x.5", "x.5", "10,53", false},
        };
        for (const auto& r : rows)
            QTest::addRow("%s %s %s", kWayNames[r.way], r.name, r.text)
                << int(r.way) << u(r.name) << u(r.text) << u(r.after) << u(r.result) << r.refused;
    }
    void everyWayIn() {
        QFETCH(int, way);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QFETCH(QString, result);
        QFETCH(bool, refused);
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (way == MiddleClick && !clipboard->supportsSelection())
            QSKIP("this platform has no selection to paste");
        // The places first: setting them starts no calculation.
        const char* const sheet[][2] = {
            {"Комбо3", "2"},          {"Комбо2", "центру нижнего отклонения"},
            {"Комбо1", "Д16 (1160)"}, {"Текст1", "2"},
            {"Текст2", "0,2"},        {"Текст3", "-0,2"},
            {"Текст4", "2000"},       {"Текст5", "1000"},
            {"Текст6", "1"},          {"Комбо3", "2"}};
        for (const auto& [field, value] : sheet) {
            if (auto* l = list(field))
                l->setEditText(u(value));
            else
                line(field)->setText(u(value));
        }
        QCOMPARE(line("Текст7")->text(), u("10,53"));
        QWidget* w = field(name);
        QLineEdit* edit = qobject_cast<QComboBox*>(w) ? list(qPrintable(name))->lineEdit()
                                                      : line(qPrintable(name));
        clear(w);
        w->setFocus();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("qtooltip_label"))
                top->hide();

        clipboard->setText(text);
        const auto paste = [w] { QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier); };
        switch (Way(way)) {
        case Typed:
            type(w, text);
            break;
        case CtrlV:
            paste();
            break;
        case ShiftInsert:
            QTest::keyClick(w, Qt::Key_Insert, Qt::ShiftModifier);
            break;
        case Menu: {
            QContextMenuEvent ask(QContextMenuEvent::Mouse, QPoint(4, 4),
                                  edit->mapToGlobal(QPoint(4, 4)));
            QCoreApplication::sendEvent(edit, &ask);
            QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            // Clicked, as the menu goes before its action runs.
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste")))
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
            QTRY_VERIFY(menu.isNull());
            break;
        }
        case Drop: {
            // As a drag does: the field takes the drag, then the drop.
            QMimeData dragged;
            dragged.setText(text);
            const QPoint middle = edit->rect().center();
            QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(edit, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(middle, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton,
                            Qt::NoModifier);
            QCoreApplication::sendEvent(edit, &drop);
            QCOMPARE(drop.isAccepted(), !refused);
            break;
        }
        case MiddleClick:
            clipboard->setText(text, QClipboard::Selection);
            QTest::mouseClick(edit, Qt::MiddleButton);
            break;
        case Commit: {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(w, &commit);
            break;
        }
        case PasteUndo:
        case PasteUndoRedo:
            paste();
            QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
            if (way == PasteUndoRedo)
                QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        case TypedCut:
            type(w, text);
            QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(clipboard->text(), text);
            break;
        }
        // The menu's paste waits for the focus to come back from it.
        if (way == Menu)
            QTRY_COMPARE(textOf(w), after);
        QCOMPARE(textOf(w), after);
        QCOMPARE(line("Текст7")->text(), result);
        QTRY_COMPARE(QToolTip::isVisible(), refused);
        if (refused)
            QVERIFY2(QToolTip::text().contains(w->toolTip().section(u'\n', 0, 0)),
                     qPrintable(QToolTip::text()));
    }
};

SHEETMASS_GUI_TEST_MAIN(TestKeyFilter)

#include "KeyFilterTest.moc"
