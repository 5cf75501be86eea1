#include "win/FileGiven.h"

#include "forms/Form1.h"
#include "win/Design.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>

namespace sheetmass::win {
namespace {

constexpr int kOpenButton = 100;

void open(HWND window, const std::wstring& file) {
    const auto done = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(window, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (done > 32)
        return;
    const std::wstring select = L"/select,\"" + file + L"\"";
    ::ShellExecuteW(window, nullptr, L"explorer.exe", select.c_str(), nullptr, SW_SHOWNORMAL);
}

} // namespace

std::wstring givenFile() {
    return __argc == 2 && __wargv != nullptr ? std::wstring(__wargv[1]) : std::wstring();
}

void showFileBox(HWND window, const behaviour::Answer::FileBox& box) {
    const std::wstring title = wide(forms::kForm1.title), text = wide(box.text);
    const std::wstring openText = wide(behaviour::kOpenResult);
    const TASKDIALOG_BUTTON button{kOpenButton, openText.c_str()};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = window;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = box.result.empty() ? TD_WARNING_ICON : TD_INFORMATION_ICON;
    config.pszContent = text.c_str();
    config.cButtons = box.result.empty() ? 0 : 1;
    config.pButtons = &button;
    config.nDefaultButton = IDOK;
    int pressed = 0;
    if (FAILED(::TaskDialogIndirect(&config, &pressed, nullptr, nullptr)))
        ::MessageBoxW(window, text.c_str(), title.c_str(),
                      box.result.empty() ? MB_ICONWARNING : MB_ICONINFORMATION);
    else if (pressed == kOpenButton)
        open(window, wide(box.result));
}

} // namespace sheetmass::win
