#include "about/About.h"

#include "about/Form2.h"

#include <QCoreApplication>

namespace sheetmass {
namespace {

// The one About window of the run. It has no owner, so nothing deletes it
// but the routine below, which QApplication runs first thing in its
// destructor, while widgets can still be torn down.
Форма2* theWindow = nullptr;

void deleteTheWindow() {
    delete theWindow;
    theWindow = nullptr;
}

} // namespace

void showAbout(const QWidget* from) {
    if (theWindow == nullptr) {
        theWindow = new Форма2;
        qAddPostRoutine(deleteTheWindow);
    }
    if (theWindow->isVisible()) {
        theWindow->raise();
        theWindow->activateWindow();
    } else {
        theWindow->showOn(from != nullptr ? from->screen() : nullptr);
    }
}

void closeAbout() {
    if (theWindow != nullptr)
        theWindow->close();
}

} // namespace sheetmass
