#pragma once

class QString;
class QWidget;

namespace sheetmass {

// Tells that a field refused what a key or a text at once brought: the
// tooltip at it, where the behaviour puts it, and the desktop's beep.
void showRefusal(QWidget* field, const QString& tip);

} // namespace sheetmass
