#pragma once

#include "app/Form1Layout.h"
#include "app/SavedInputs.h"
#include "behaviour/Form1Behaviour.h"
#include "look/Look.h"

class QTimer;

namespace sheetmass {

// The calculator window on Qt: its controls built from the design, each
// event handed to the behaviour (behaviour/Form1Behaviour.h) and each answer
// shown. Tests and tools find the controls by their object names.
class Форма1 : public DesignedWindow {
  public:
    explicit Форма1(SavedInputs saved, QWidget* parent = nullptr);
    ~Форма1() override;

    // What the program ends with once the window is gone (Form1Behaviour).
    int exitStatus() const { return m_behaviour.exitStatus(); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void wire();
    void load();
    // What an answer asks of the window as a whole.
    void apply(const behaviour::Answer& answer);
    // Whether the window goes: the user may go back to it from a close
    // that could not save.
    bool end(behaviour::CloseReason why);

    SavedInputs m_saved;
    behaviour::Form1Behaviour m_behaviour;
    Controls m_controls;
    QTimer* m_pause = nullptr;
};

} // namespace sheetmass
