#pragma once

#include <QWidget>

namespace sheetmass {

// What the calculator window tells others. Its own class name is Cyrillic,
// which moc cannot read, so its signals live in this base.
class CalculatorWindow : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;

  signals:
    // AA has shown the mass for the inputs as they are now.
    void recalculated();
};

} // namespace sheetmass
