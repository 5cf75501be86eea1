#include "app/Form1.h"

Форма1::Форма1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Форма1"));
    setWindowTitle(QStringLiteral("Масса AL листов"));
}
