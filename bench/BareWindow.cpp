// The yardstick for start-up: the least a Qt Widgets program can show.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Масса AL листов"));
    label.setWindowTitle(QStringLiteral("bare"));
    label.show();
    return app.exec();
}
