#include "win/FileGiven.h"
#include "win/Form1Window.h"
#include "win/Form2Window.h"

// The calculator for Windows: its windows on the system's own controls,
// over the same rules as every other front end.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    HWND window = sheetmass::win::showForm1(instance, show, sheetmass::win::givenFile());
    if (window == nullptr)
        return 1;
    MSG message;
    for (;;) {
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // The window is up and drawn, and the program idle (a wait on
            // its queue says so): its controls are made now.
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
            sheetmass::win::finishForm1(window);
            if (::GetMessageW(&message, nullptr, 0, 0) <= 0)
                break;
        } else if (message.message == WM_QUIT) {
            break;
        }
        sheetmass::win::beforeDispatch(window, message);
        if (sheetmass::win::form2Keys(message) || ::IsDialogMessageW(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return int(message.wParam);
}
