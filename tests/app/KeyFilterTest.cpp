#include "tests/support/Fields.h"
#include "tests/support/GuiTest.h"

#include "app/Form1.h"

#include <QAbstractItemView>
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
    TypedCut,
    HtmlOnly,
    TypedPasted,     // "a|b": a typed, then b pasted
    TypedPastedUndo, // the same, then Ctrl+Z
    TypedPickedUndo, // "a|b": a typed, then b typed to find an entry, Enter, Ctrl+Z
    EscapedReopened  // "a|b": a typed to find an entry, Escape, F4, b typed, Enter
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
                                 "typed, Ctrl+A Ctrl+X",
                                 "Ctrl+V of HTML alone",
                                 "typed, Ctrl+V",
                                 "typed, Ctrl+V, Ctrl+Z",
                                 "typed, picked, Ctrl+Z",
                                 "typed, Escape, F4, typed, Enter"};

void hideTips() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QStringLiteral("qtooltip_label"))
            top->hide();
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
    static void clear(QWidget* w) { setTextOf(w, {}); }
    // Types into a list's drop-down, where the keys go while it is open.
    static void typeIntoOpenList(QComboBox* l, const QString& text) {
        QVERIFY(l->view()->isVisible());
        type(l->view(), text);
    }

  private slots:

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

    // The keys that would edit the result are told why not, not passed by.
    void keysThatWouldEditTheResultAreTold() {
        line("Текст7")->setText(u("11,08"));
        line("Текст7")->setFocus();
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
            hideTips();
            QTest::keyClick(line("Текст7"), Qt::Key_Home);
            QTest::keyClick(line("Текст7"), key);
            QTRY_VERIFY(QToolTip::isVisible());
            QVERIFY2(QToolTip::text().contains(u("Массу пишет расчёт")),
                     qPrintable(QToolTip::text()));
        }
    }

    // The keypad's decimal key: a comma wherever a comma may be typed, the
    // unfiltered places field among them.
    void keypadDecimalTypesACommaWhereACommaIsAdmitted_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        QTest::newRow("thickness, one comma") << u("Текст1") << u("1,");
        QTest::newRow("places, unfiltered") << u("Комбо3") << u("1,,");
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
    // the number meant, or the field as it was and a tooltip at it that says
    // which rule refused, with a beep.
    void everyWayIn_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("says");
        const char* const character = "такие знаки не вводятся";
        const char* const separator = "одна запятая";
        const char* const room = "длиннее, чем вмещает поле";
        const char* const written = "Массу пишет расчёт";
        const struct {
            Way way;
            const char *name, *text, *after, *result;
            const char* says; // nullptr: taken
        } rows[] = {
            {Typed, "Текст1", "2.5", "2,5", "13,3", nullptr},
            {Typed, "Текст7", "5", "", "", written},
            // Nothing completes a density into a grade's number.
            {Typed, "Комбо1", "1", "1", "3,8", nullptr},
            // A letter finds a grade; none stays in the field.
            {TypedPickedUndo, "Комбо1", "|Д16", "Д16 (1160)", "10,53", nullptr},
            {EscapedReopened, "Комбо1", "А|Д16", "Д16 (1160)", "10,53", nullptr},
            {CtrlV, "Текст1", "2,5\n", "2,5", "13,3", nullptr},
            {ShiftInsert, "Текст4", "1 250,5", "1250,5", "6,58", nullptr},
            {Menu, "Текст4", "\t1\u00A0250,5\u202F", "1250,5", "6,58", nullptr},
            {Drop, "Комбо1", "2.7", "2,7", "10,26", nullptr},
            {MiddleClick, "Текст5", "1 000\n", "1000", "10,53", nullptr},
            {Commit, "Текст1", "2.5 ", "2,5", "13,3", nullptr},
            // A list's entry is picked, as from the list.
            {CtrlV, "Комбо1", "Д16 (1160)\n", "Д16 (1160)", "10,53", nullptr},
            {Drop, "Комбо2", "центру верхнего отклонения", "центру верхнего отклонения", "11,63",
             nullptr},
            // One change, undone and done again as one.
            {PasteUndo, "Текст1", "2,5", "", "", nullptr},
            {PasteUndoRedo, "Текст1", "2,5", "2,5", "13,3", nullptr},
            {TypedCut, "Текст1", "2,5", "", "", nullptr},
            // A pick undone gives back the density typed before it.
            {TypedPastedUndo, "Комбо1", "2,7|Д16 (1160)", "2,7", "10,26", nullptr},
            {TypedPickedUndo, "Комбо1", "2,7|Д16", "2,7", "10,26", nullptr},
            // Too long, a character the field does not take, two separators,
            // nothing to paste.
            {Drop, "Текст6", "12345678", "", "", room},
            {TypedPasted, "Текст1", "2,5|,5", "2,5", "13,3", separator},
            {Menu, "Текст1", "1,2.5", "", "", separator},
            {Commit, "Текст6", "1,5", "", "", character},
            {CtrlV, "Текст1", "", "", "", "в буфере обмена нет текста"},
            {HtmlOnly, "Текст1", "<b>2,5</b>", "", "", "в буфере обмена нет текста"},
            // The result takes nothing: it is read-only, no drop is offered
            // and its menu has no paste.
            {CtrlV, "Текст7", "3ABC", "", "", written},
            {Drop, "Текст7", "5", "", "", nullptr},
            {Menu, "Текст7", "5", "", "", nullptr},
        };
        for (const auto& r : rows)
            QTest::addRow("%s %s %s", kWayNames[r.way], r.name, r.text)
                << int(r.way) << u(r.name) << u(r.text) << u(r.after) << u(r.result)
                << (r.says ? u(r.says) : QString());
    }
    void everyWayIn() {
        QFETCH(int, way);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QFETCH(QString, result);
        QFETCH(QString, says);
        const bool refused = !says.isEmpty();
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
        hideTips();

        clipboard->setText(text);
        const QString before = text.section(u'|', 0, 0);
        const QString then = text.section(u'|', 1);
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
            bool pasted = false;
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
                    pasted = true;
                }
            if (!pasted) {
                QVERIFY(edit->isReadOnly());
                menu->close();
            }
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
            QCOMPARE(enter.isAccepted(), !edit->isReadOnly());
            if (edit->isReadOnly())
                break;
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
            // Windows' redo key, here too.
            if (way == PasteUndoRedo)
                QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
            break;
        case TypedCut:
            type(w, text);
            QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(w, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(clipboard->text(), text);
            break;
        case HtmlOnly: {
            auto* html = new QMimeData;
            html->setHtml(text);
            clipboard->setMimeData(html);
            paste();
            break;
        }
        case TypedPasted:
        case TypedPastedUndo:
            type(w, before);
            clipboard->setText(then);
            paste();
            if (way == TypedPastedUndo)
                QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
            break;
        case EscapedReopened: {
            QComboBox* l = list(qPrintable(name));
            type(w, before);
            QTest::keyClick(l->view(), Qt::Key_Escape);
            QTRY_VERIFY(!l->view()->isVisible());
            QTest::keyClick(w, Qt::Key_F4);
            typeIntoOpenList(l, then);
            QTest::keyClick(l->view(), Qt::Key_Return);
            break;
        }
        case TypedPickedUndo: {
            type(w, before);
            type(w, then.left(1));
            typeIntoOpenList(list(qPrintable(name)), then.mid(1));
            QTest::keyClick(list(qPrintable(name))->view(), Qt::Key_Return);
            QTRY_VERIFY(!list(qPrintable(name))->view()->isVisible());
            if (!before.isEmpty())
                QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
            break;
        }
        }
        // The menu's paste waits for the focus to come back from it.
        if (way == Menu)
            QTRY_COMPARE(textOf(w), after);
        QCOMPARE(textOf(w), after);
        QCOMPARE(line("Текст7")->text(), result);
        QTRY_COMPARE(QToolTip::isVisible(), refused);
        if (!refused)
            return;
        for (const QString& line : {says, w->toolTip().section(u'\n', 0, 0)})
            QVERIFY2(QToolTip::text().contains(line), qPrintable(QToolTip::text()));
        // The menu's going hides no tooltip shown after it.
        if (way == Menu)
            QVERIFY(!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 500));
        // Clear of every input of the window, the field and the one above it
        // among them.
        QWidget* tip = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("qtooltip_label") && top->isVisible())
                tip = top;
        QVERIFY(tip != nullptr);
        for (QWidget* input : form().findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(input) && !qobject_cast<QComboBox*>(input))
                continue;
            const QRect inputRect(input->mapToGlobal(QPoint(0, 0)), input->size());
            QVERIFY2(!tip->geometry().intersects(inputRect), qPrintable(input->objectName()));
        }
    }
};

SHEETMASS_GUI_TEST_MAIN(TestKeyFilter)

#include "KeyFilterTest.moc"
