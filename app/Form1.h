#pragma once

#include "app/Form1Layout.h"
#include "app/SavedInputs.h"
#include "behaviour/Form1Behaviour.h"
#include "look/Look.h"

#include <string>

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

    // A file given to the window, worked out and told in a box: dropped on
    // it, or named on the command line.
    void giveFile(const std::string& path);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
