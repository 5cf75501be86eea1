// Starts a window program and prints the milliseconds until its first idle
// (WaitForInputIdle: its window made and its message loop waiting), then
// ends it. Usage: idle_probe PROGRAM
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION run{};
    std::wstring line = L"\"" + std::wstring(argv[1]) + L"\"";
    const auto began = std::chrono::steady_clock::now();
    if (!::CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &start, &run))
        return 1;
    const DWORD idle = ::WaitForInputIdle(run.hProcess, 30000);
    const auto took = std::chrono::steady_clock::now() - began;
    ::TerminateProcess(run.hProcess, 0);
    ::WaitForSingleObject(run.hProcess, 10000);
    ::CloseHandle(run.hThread);
    ::CloseHandle(run.hProcess);
    if (idle != 0)
        return 1;
    std::printf("%.1f\n", std::chrono::duration<double, std::milli>(took).count());
    return 0;
}
