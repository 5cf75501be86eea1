#include "app/Form1.h"
#include "app/QuitOnSignal.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PrepareApplication(app);
    QuitOnSignals();
    Форма1 window(InputsFolder());
    window.show();
    return app.exec();
}
