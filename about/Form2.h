#pragma once

#include "look/Look.h"

#include <QPixmap>

class QScreen;

namespace sheetmass {

// The About window: its layout, its picture, and where it opens.
// No Q_OBJECT: moc cannot read Cyrillic identifiers, and nothing here
// needs signals of its own.
class Форма2 : public DesignedWindow {
  public:
    explicit Форма2(QWidget* parent = nullptr);

    // Shows the window centred on the given screen.
    void showOn(QScreen* screen);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Escape closes the window, as it closes other small windows.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPixmap m_picture;
};

} // namespace sheetmass
