#include "win/Form1Window.h"
#include "win/Form2Window.h"

#include <commctrl.h>

// The calculator for Windows: its windows on the system's own controls,
// over the same rules as every other front end.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND window = sheetmass::win::showForm1(instance, show);
    if (window == nullptr)
        return 1;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (sheetmass::win::form2Keys(message) || ::IsDialogMessageW(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return int(message.wParam);
}
