// Starts a window program and prints the milliseconds until its first idle
// (WaitForInputIdle: its window shown and its message loop waiting), then,
// given a window class and a control id, until that control is there too;
// then ends it. Usage: idle_probe PROGRAM [CLASS ID]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

namespace {

// The window of that class the process shows, and its control.
bool made(DWORD process, const wchar_t* cls, int id) {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, cls, nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, cls, nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == process && ::GetDlgItem(w, id) != nullptr)
            return true;
    }
    return false;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 4)
        return 2;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION run{};
    std::wstring line = L"\"" + std::wstring(argv[1]) + L"\"";
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    const auto began = Clock::now();
    if (!::CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &start, &run))
        return 1;
    const DWORD idle = ::WaitForInputIdle(run.hProcess, 30000);
    const auto idleAfter = Clock::now() - began;
    bool ready = argc == 4;
    auto readyAfter = idleAfter;
    if (ready) {
        const int id = int(std::wcstol(argv[3], nullptr, 10));
        while (!(ready = made(run.dwProcessId, argv[2], id)) &&
               Clock::now() - began < std::chrono::seconds(30))
            std::this_thread::yield();
        readyAfter = Clock::now() - began;
    }
    ::TerminateProcess(run.hProcess, 0);
    ::WaitForSingleObject(run.hProcess, 10000);
    ::CloseHandle(run.hThread);
    ::CloseHandle(run.hProcess);
    if (idle != 0 || (argc == 4 && !ready))
        return 1;
    if (argc == 4)
        std::printf("%.1f %.1f\n", ms(idleAfter), ms(readyAfter));
    else
        std::printf("%.1f\n", ms(idleAfter));
    return 0;
}
