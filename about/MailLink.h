#pragma once

#include <QLabel>

namespace sheetmass {

// A label that writes a letter to the author: a click on it, Enter or Space
// while it has the focus, or a screen reader's press of it, hands the
// mailto: URL to the desktop. Its context menu copies the address. Looks and
// placement are the window's business.
class MailLink : public QLabel {
    Q_OBJECT

  public:
    explicit MailLink(QWidget* parent);

    // Hands the mailto: URL to the desktop. When the desktop cannot start a
    // mail program, or its launcher ends with an error, a box in the window
    // says so and shows the address to copy.
    void writeLetter();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void tellTheAddress();

    // A press on the link arms the click; its release on the link fires it.
    bool m_pressed = false;
};

} // namespace sheetmass
