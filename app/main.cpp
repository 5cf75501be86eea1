#include "app/Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Форма1 window;
    window.show();
    return app.exec();
}
