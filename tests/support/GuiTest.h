#pragma once

// Shared by the window tests: the offscreen platform unless the caller chose
// one, a temporary program folder, and a guard against modal dialogs that
// would otherwise block a test run forever.

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace guitest {

inline const bool kPlatformChosen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

// Closes any modal window that shows up and remembers what it said, so the test
// that raised it fails instead of hanging.
class ModalGuard {
  public:
    ModalGuard() {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                const auto* box = qobject_cast<QMessageBox*>(modal);
                seen_ << (box ? box->text() : modal->windowTitle());
                modal->close();
            }
        });
        timer_.start();
    }
    // Expected dialogs are taken with take(); anything left fails the test.
    QStringList take() { return std::exchange(seen_, {}); }
    bool clean() const { return seen_.isEmpty(); }
    QString report() const { return seen_.join(QStringLiteral(", ")); }

  private:
    QTimer timer_;
    QStringList seen_;
};

} // namespace guitest
