#include "about/About.h"

#include "about/Form2.h"

#include <QCoreApplication>

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

void ShowAbout() {
    if (aboutWindow == nullptr) {
        aboutWindow = new Форма2;
        qAddPostRoutine(DeleteAboutWindow);
    }
    if (aboutWindow->isVisible()) {
        aboutWindow->raise();
        aboutWindow->activateWindow();
    } else {
        aboutWindow->show();
    }
}

Форма2* AboutWindow() {
    return aboutWindow;
}
