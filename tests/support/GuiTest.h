#pragma once

// The base of every window test: the offscreen platform unless the caller
// chose one, a fresh program folder and data folder for each test function,
// and a watchdog that closes any modal dialog that shows up and fails the test
// that raised it, instead of letting the run hang. A test's main is
// SHEETMASS_GUI_TEST_MAIN(TestClass). With SHEETMASS_TEST_PALETTE=dark the
// whole run has a dark desktop palette.

#include "app/SavedInputs.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace sheetmass::test {

class GuiTest : public QObject {
    Q_OBJECT

  public:
    static int run(QObject& test, int argc, char** argv);

  protected:
    QString programFolder() const { return m_program->path(); }
    QString dataFolder() const { return m_data->path(); }
    // Where this test function's window keeps its inputs.
    SavedInputs saved() const { return {programFolder(), dataFolder()}; }
    // The dialogs seen so far, which the test expected; they count no more.
    QStringList takeDialogs() { return std::exchange(m_dialogs, {}); }
    // Runs before the dialog check: windows of the test function go here.
    virtual void tearDown() {}

  private slots:
    void init();
    void cleanup();

  private:
    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_data;
    QTimer m_watchdog;
    QStringList m_dialogs;
};

} // namespace sheetmass::test

#define SHEETMASS_GUI_TEST_MAIN(TestClass)                                                         \
    int main(int argc, char** argv) {                                                              \
        TestClass test;                                                                            \
        return sheetmass::test::GuiTest::run(test, argc, argv);                                    \
    }
