#include "behaviour/EditHistory.h"

#include <utility>

namespace sheetmass::behaviour {
namespace {

// As far back as a field's undo reaches.
constexpr std::size_t kSteps = 100;

} // namespace

void EditHistory::record(const forms::Control& field, const std::string& before,
                         const std::string& after, How how) {
    Steps& steps = m_fields[&field];
    steps.undone.clear();
    const bool grows = how == How::Typed || how == How::Spelled;
    if (grows && m_growing == &field && m_growingHow == how && !steps.done.empty()) {
        steps.done.back().after = after;
        return;
    }
    if (steps.done.size() == kSteps)
        steps.done.erase(steps.done.begin());
    steps.done.push_back({before, after, how});
    m_growing = grows ? &field : nullptr;
    m_growingHow = how;
}

std::optional<std::string> EditHistory::move(const forms::Control& field, bool redo) {
    m_growing = nullptr;
    Steps& steps = m_fields[&field];
    std::vector<Step>& from = redo ? steps.undone : steps.done;
    if (from.empty())
        return std::nullopt;
    Step step = std::move(from.back());
    from.pop_back();
    std::string text = redo ? step.after : step.before;
    (redo ? steps.done : steps.undone).push_back(std::move(step));
    return text;
}

bool EditHistory::has(const forms::Control& field, bool redo) const {
    const auto at = m_fields.find(&field);
    return at != m_fields.end() && !(redo ? at->second.undone : at->second.done).empty();
}

} // namespace sheetmass::behaviour
