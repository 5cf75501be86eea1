// Starts a program on the current X display and measures, from the moment
// before exec, how long its first top-level window takes to map and its user
// interface thread to fall idle, and its peak resident memory by then.
// Prints "<map ms> <idle ms> <peak KiB>". Needs no window manager.

#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Time the main (user interface) thread has spent on a CPU, in ns.
long long cpuNs(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/schedstat");
    long long ns = -1;
    stat >> ns;
    return ns;
}

long peakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s program [args...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }

    double mapped = -1;
    while (mapped < 0) {
        xcb_generic_event_t* event = xcb_wait_for_event(x);
        if (!event)
            break;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
            mapped = msSince(start);
        std::free(event);
    }

    // Idle: the interface thread's CPU time has not moved for 200 ms; the
    // moment it last moved is when the window was ready.
    long long last = cpuNs(pid);
    double lastChange = msSince(start);
    while (msSince(start) - lastChange < 200) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        const long long now = cpuNs(pid);
        if (now != last) {
            last = now;
            lastChange = msSince(start);
        }
    }
    const long peak = peakKiB(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(x);
    std::printf("%.1f %.1f %ld\n", mapped, lastChange, peak);
    return mapped < 0 ? 1 : 0;
}
