#include "app/Form1.h"
#include "app/QuitOnSignal.h"
#include "app/SavedInputs.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    sheetmass::failWritesInsteadOfEnding();
    QApplication app(argc, argv);
    sheetmass::prepareApplication(app);
    sheetmass::quitOnSignals();
    sheetmass::Форма1 window(sheetmass::SavedInputs::forThisProgram());
    window.show();
    return app.exec();
}
