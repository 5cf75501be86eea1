#pragma once

#include <QPixmap>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QScreen;

namespace sheetmass {

// No Q_OBJECT: moc cannot read Cyrillic identifiers, and nothing here
// needs signals of its own (connections are lambdas).
class Форма2 : public QWidget {
  public:
    explicit Форма2(QWidget* parent = nullptr);

    // Shows the window centred on the given screen.
    void showOn(QScreen* screen);

    // The address shown by the mail link and written into its URL.
    static QString MailAddress();
    // The mailto: URL a click on the address hands to the desktop.
    static QUrl MailUrl();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CentreOnScreen();

    QPixmap picture_;
    QLabel* mailLabel_ = nullptr;
    // A press on the address arms the click; its release fires it. The second
    // press of a double click arrives as a double-click event and never arms.
    bool mailPressed_ = false;
};

} // namespace sheetmass
