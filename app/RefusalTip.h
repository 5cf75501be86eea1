#pragma once

class QString;
class QWidget;

namespace sheetmass {
namespace forms {
struct Control;
}

// Tells that a field of the main window refused what a key or a text at
// once brought: the tooltip beside it, where the behaviour puts it, and the
// desktop's beep.
void showRefusal(QWidget* field, const forms::Control& design, const QString& tip);

} // namespace sheetmass
