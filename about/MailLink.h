#pragma once

#include <QLabel>

namespace sheetmass {

// The author's address: what the link shows and where its letter goes.
inline constexpr char kMailAddress[] = "sheetmass@example.org";

// A label that writes a letter to the author: a click on it, or a screen
// reader's press of it, hands the mailto: URL to the desktop. Looks and
// placement are the window's business.
class MailLink : public QLabel {
    Q_OBJECT

  public:
    explicit MailLink(QWidget* parent);

    // Hands the mailto: URL to the desktop. No mail program, or none that
    // takes the URL, is not the window's business: the desktop says so itself
    // if it wants to.
    static void writeLetter();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // A press on the link arms the click; its release on the link fires it.
    bool m_pressed = false;
};

} // namespace sheetmass
