#include "tests/support/GuiTest.h"

#include "app/Form1.h"
#include "app/Startup.h"

#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <memory>

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

class TestKeyFilter : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<guitest::ModalGuard> guard_;
    std::unique_ptr<Форма1> form_;

    QWidget* field(const QString& name) { return form_->findChild<QWidget*>(name); }
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
    void init() {
        guard_ = std::make_unique<guitest::ModalGuard>();
        form_ = std::make_unique<Форма1>(sheetmass::SavedInputs(folder_.path(), folder_.path()));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() {
        form_.reset();
        QVERIFY2(guard_->clean(), qPrintable(guard_->report()));
    }

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
             {static_cast<QWidget*>(form_->Текст7), static_cast<QWidget*>(form_->Комбо2)}) {
            if (auto* list = qobject_cast<QComboBox*>(w))
                list->setEditText(u("номиналу"));
            else
                form_->Текст7->setText(u("11,08"));
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
        QTest::newRow("Ctrl+A then digit") << int(Qt::Key_A) << int(Qt::ControlModifier);
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
        QTest::newRow("dot") << int(Qt::Key_Period) << 0;
    }
    void refusedKeysChangeNothingAndCalculateNothing() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QGuiApplication::clipboard()->setText(u("777"));
        form_->Текст1->setText(u("12"));
        form_->Текст1->setFocus();
        form_->Текст1->setCursorPosition(1);
        const int runs = form_->aaRuns();
        QTest::keyClick(form_->Текст1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::keyClick(form_->Текст1, Qt::Key_5); // would replace a selection
        QCOMPARE(form_->Текст1->text(), u("152"));
        QCOMPARE(form_->aaRuns(), runs + 1);
    }

    void keysThatTypeNoCharacterPass() {
        QGuiApplication::clipboard()->setText(u("ab"));
        form_->Текст4->setText(u("123"));
        QTest::keyClick(form_->Текст4, Qt::Key_Home);
        QTest::keyClick(form_->Текст4, Qt::Key_Delete);
        QTest::keyClick(form_->Текст4, Qt::Key_Right);
        QTest::keyClick(form_->Текст4, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(form_->Текст4->text(), u("2ab3"));
    }

    void typingADensityRecalculatesAfterEachAcceptedCharacter() {
        form_->Комбо2->setEditText(u("номиналу"));
        form_->Текст1->setText(u("2"));
        form_->Текст4->setText(u("1000"));
        form_->Текст5->setText(u("1000"));
        form_->Текст6->setText(u("1"));
        form_->Комбо3->setEditText(u("1"));
        form_->Комбо1->clearEditText();
        const struct {
            const char* key;
            int runs;
            const char* result;
        } steps[] = {{"2", 1, "4"}, {"x", 0, "4"}, {",", 1, "4"}, {"7", 1, "5,4"}, {".", 0, "5,4"}};
        for (const auto& step : steps) {
            const int before = form_->aaRuns();
            QTest::keyClicks(form_->Комбо1, u(step.key));
            QCOMPARE(form_->aaRuns() - before, step.runs);
            QCOMPARE(form_->Текст7->text(), u(step.result));
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

    void keypadDecimalTypesACommaWhereACommaIsAdmitted() {
        for (int key : {Qt::Key_Period, Qt::Key_Comma}) {
            form_->Текст1->setText(u("1"));
            form_->Текст6->setText(u("1"));
            QTest::keyClick(form_->Текст1, Qt::Key(key), Qt::KeypadModifier);
            QTest::keyClick(form_->Текст6, Qt::Key(key), Qt::KeypadModifier);
            QCOMPARE(form_->Текст1->text(), u("1,"));
            QCOMPARE(form_->Текст6->text(), u("1"));
        }
        QTest::keyClick(form_->Текст1, Qt::Key_Period);
        QCOMPARE(form_->Текст1->text(), u("1,"));
    }

    void programAndPastedTextIsNotFiltered() {
        form_->Текст6->setText(u("a,b"));
        QCOMPARE(form_->Текст6->text(), u("a,b"));
        QGuiApplication::clipboard()->setText(u("x-1"));
        form_->Текст6->clear();
        form_->Текст6->paste();
        QCOMPARE(form_->Текст6->text(), u("x-1"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication(app);
    TestKeyFilter test;
    return QTest::qExec(&test, argc, argv);
}

#include "KeyFilterTest.moc"
