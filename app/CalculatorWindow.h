#pragma once

#include "look/Look.h"

namespace sheetmass {

// What the calculator window tells others. Its own class name is Cyrillic,
// which moc cannot read, so its signals live in this base.
class CalculatorWindow : public DesignedWindow {
    Q_OBJECT

  public:
    using DesignedWindow::DesignedWindow;

  signals:
    // AA has shown the mass for the inputs as they are now.
    void recalculated();
};

} // namespace sheetmass
