#include "tests/support/GuiTest.h"

#include "app/Startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace sheetmass::test {
namespace {

// Roughly what a dark desktop theme hands to Qt.
QPalette darkDesktop() {
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2A, 0x2A, 0x2A));
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
        dark.setColor(group, QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
        dark.setColor(group, QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
        dark.setColor(group, QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    }
    return dark;
}

} // namespace

int GuiTest::run(QObject& test, int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication(app);
    if (qgetenv("SHEETMASS_TEST_PALETTE") == "dark")
        QApplication::setPalette(darkDesktop());
    return QTest::qExec(&test, argc, argv);
}

void GuiTest::init() {
    m_program = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_program->isValid() && m_data->isValid());
    m_dialogs.clear();
    m_watchdog.setInterval(50);
    m_watchdog.callOnTimeout(this, [this] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            const auto* box = qobject_cast<QMessageBox*>(modal);
            m_dialogs << (box ? box->text() : modal->windowTitle());
            modal->close();
        }
    });
    m_watchdog.start();
}

void GuiTest::cleanup() {
    tearDown();
    m_watchdog.stop();
    m_watchdog.disconnect();
    QVERIFY2(m_dialogs.isEmpty(), qPrintable(QStringLiteral("unexpected dialog: ") +
                                             m_dialogs.join(QStringLiteral(", "))));
}

} // namespace sheetmass::test
