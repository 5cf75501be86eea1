// How long the first click on "?" takes to put the About window on screen.
// Prints milliseconds.
#include "app/Form1.h"
#include "app/Startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    sheetmass::prepareApplication(app);
    QTemporaryDir folder;
    sheetmass::Форма1 form(sheetmass::SavedInputs(folder.path(), folder.path()));
    form.show();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    form.findChild<QPushButton*>(QStringLiteral("Комманда1"))->click();
    QWidget* about = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("Форма2"))
            about = w;
    while (!about || !about->windowHandle() || !about->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%.2f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
    return 0;
}
