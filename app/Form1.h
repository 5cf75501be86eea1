#pragma once

#include "app/SavedInputs.h"
#include "calc/Inputs.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class KeyFilter;

// The calculator window. Everything it knows lives in the texts of its
// controls; AA turns them into the mass on every change.
// No Q_OBJECT: moc cannot read Cyrillic identifiers, and nothing here
// needs signals of its own (connections are lambdas).
class Форма1 : public QWidget {
  public:
    explicit Форма1(sheetmass::SavedInputs saved, QWidget* parent = nullptr);
    ~Форма1() override;

    // Recomputes the mass from the inputs and shows it in Текст7.
    void AA();
    int aaRuns() const { return aaRuns_; }

    sheetmass::Inputs inputs() const;

    QComboBox* Комбо1 = nullptr;
    QComboBox* Комбо2 = nullptr;
    QComboBox* Комбо3 = nullptr;
    QLineEdit* Текст1 = nullptr;
    QLineEdit* Текст2 = nullptr;
    QLineEdit* Текст3 = nullptr;
    QLineEdit* Текст4 = nullptr;
    QLineEdit* Текст5 = nullptr;
    QLineEdit* Текст6 = nullptr;
    QLineEdit* Текст7 = nullptr;
    QGroupBox* Рамка1 = nullptr;
    QPushButton* Комманда1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void wire();
    void load();
    // Saves the inputs. A failure is told in a box when the user closed the
    // window, else on standard error: a program told to quit must not wait.
    void saveInputs(bool userClosed);
    void setInputs(const sheetmass::Inputs& in);

    KeyFilter* keyFilter_ = nullptr;
    sheetmass::SavedInputs m_saved;
    int aaRuns_ = 0;
    bool m_unloaded = false;
};
