#pragma once

#include "behaviour/Answer.h"

#include <QString>

class QMimeData;
class QWidget;

namespace sheetmass {

// The local file a drag carries, the first of its URLs; empty when it
// carries none, and then what it carries is text for a field.
QString droppedFile(const QMimeData* data);

// The box that tells of a file given to the window; its button opens the
// result in the desktop's program for it.
void showFileBox(QWidget* window, const behaviour::Answer::FileBox& box);

} // namespace sheetmass
