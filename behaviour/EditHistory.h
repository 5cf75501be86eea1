#pragma once

#include "forms/Form.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sheetmass::behaviour {

// What Ctrl+Z takes back and Ctrl+Y does again, field by field: each step
// is the field's text before it and after it. Keys typed one after another
// into a field are one step, as are the entries a list is spelled through;
// any other edit, or anything between, starts the next.
class EditHistory {
  public:
    enum class How {
        Typed,   // a key the field took: grows the step before it
        Spelled, // an entry a letter found: grows the step before it
        Picked,  // an entry picked
        Changed, // pasted, dropped, cut
    };
    void record(const forms::Control& field, const std::string& before, const std::string& after,
                How how);
    // The next edit is a step of its own.
    void endStep() { m_growing = nullptr; }

    // The text before the field's last step, which redo() then gives back.
    std::optional<std::string> undo(const forms::Control& field) { return move(field, false); }
    std::optional<std::string> redo(const forms::Control& field) { return move(field, true); }
    // Whether undo() or redo() has a step to give back.
    bool has(const forms::Control& field, bool redo) const;

  private:
    std::optional<std::string> move(const forms::Control& field, bool redo);

    struct Step {
        std::string before, after;
        How how;
    };
    struct Steps {
        std::vector<Step> done, undone;
    };
    std::map<const forms::Control*, Steps> m_fields;
    const forms::Control* m_growing = nullptr;
    How m_growingHow = How::Changed;
};

} // namespace sheetmass::behaviour
