#pragma once

#include "app/SavedInputs.h"
#include "calc/Inputs.h"
#include "look/Look.h"

#include <QString>

class QComboBox;
class QLineEdit;

namespace sheetmass {

// The calculator window. Everything it knows lives in the texts of its
// controls; AA turns them into the mass on every change. Tests and tools
// find the controls by their object names.
class Форма1 : public DesignedWindow {
  public:
    explicit Форма1(SavedInputs saved, QWidget* parent = nullptr);
    ~Форма1() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Computes the mass from the inputs as they are and shows it in Текст7.
    void AA();
    void wire();
    void load();
    // Saves the inputs. A failure is told in a box when the user closed the
    // window, else on standard error: a program told to quit must not wait.
    void unload(bool userClosed);
    Inputs inputs() const;
    void setInputs(const Inputs& in);

    SavedInputs m_saved;
    bool m_unloaded = false;
    QComboBox* m_Комбо1;
    QComboBox* m_Комбо2;
    QComboBox* m_Комбо3;
    QLineEdit* m_Текст1;
    QLineEdit* m_Текст2;
    QLineEdit* m_Текст3;
    QLineEdit* m_Текст4;
    QLineEdit* m_Текст5;
    QLineEdit* m_Текст6;
    QLineEdit* m_Текст7;
    QString m_resultHint; // the result's tooltip while there is no result
};

} // namespace sheetmass
