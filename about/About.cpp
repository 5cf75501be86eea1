#include "about/About.h"

#include "about/Form2.h"

#include <QCoreApplication>

namespace sheetmass {
namespace {

// The one About window of the run. It has no owner, so nothing deletes it
// but the routine below, which QApplication runs first thing in its
// destructor, while widgets can still be torn down.
Форма2* aboutWindow = nullptr;

void DeleteAboutWindow() {
    delete aboutWindow;
    aboutWindow = nullptr;
}

} // namespace

void showAbout(const QWidget* from) {
    if (aboutWindow == nullptr) {
        aboutWindow = new Форма2;
        qAddPostRoutine(DeleteAboutWindow);
    }
    if (aboutWindow->isVisible()) {
        aboutWindow->raise();
        aboutWindow->activateWindow();
    } else {
        aboutWindow->showOn(from->screen());
    }
}

} // namespace sheetmass
