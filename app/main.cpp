#include "app/Form1.h"
#include "app/QuitOnSignal.h"
#include "app/SavedInputs.h"
#include "app/Startup.h"
#include "cli/CommandLine.h"
#include "platform/Process.h"

#include <QApplication>
#include <QTimer>

#include <string>

int main(int argc, char* argv[]) {
    // The batch, the help and the version answer before Qt looks for a display.
    if (const auto status = sheetmass::runWithoutWindow(argc, argv))
        return *status;
    // First thing: Qt may warn while it starts.
    sheetmass::platform::failWritesInsteadOfEnding();
    sheetmass::platform::startNoDaemons();
    QApplication app(argc, argv);
    // A file named alone, as "open with" names it, is given to the window.
    std::string file;
    if (const auto status = sheetmass::refuseLeftOver(argc, argv, file))
        return *status;
    sheetmass::prepareApplication(app);
    sheetmass::quitOnSignals();
    sheetmass::Форма1 window(sheetmass::SavedInputs::forThisProgram());
    window.show();
    if (!file.empty())
        QTimer::singleShot(0, &window, [&] { window.giveFile(file); });
    // A signal quits the loop with 0; inputs it left unsaved still count.
    const int status = app.exec();
    return status != 0 ? status : window.exitStatus();
}
