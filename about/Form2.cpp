#include "about/Form2.h"

Форма2::Форма2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Форма2"));
    setWindowTitle(QStringLiteral("О программе"));
}
