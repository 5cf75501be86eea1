#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {
namespace {

int g_wakeUp[2] = {-1, -1};

// Every signal whose default ends the program and that may be caught,
// crashes aside: after those nothing is safe to run.
constexpr int kEndRequests[] = {SIGTERM, SIGHUP,  SIGINT,  SIGQUIT,   SIGPWR,  SIGXCPU,
                                SIGXFSZ, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGALRM};

// Only async-signal-safe work here: the event loop does the rest. The
// socket never blocks: when it is full, a quit is on its way already.
void onSignal(int signal, siginfo_t* info, void*) {
    // The system's own SIGXFSZ, at a write past the file-size limit: that
    // write fails, and the program goes on.
    if (signal == SIGXFSZ && info && info->si_code == SI_USER && info->si_pid == ::getpid())
        return;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_wakeUp[0], &byte, 1);
    errno = saved;
}

} // namespace

void failWritesInsteadOfEnding() {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

std::optional<Native> watchEndRequests() {
    // Close-on-exec, so that the mail program the About window starts does
    // not inherit them.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_wakeUp) != 0)
        return std::nullopt;
    struct sigaction action {};
    action.sa_sigaction = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_SIGINFO;
    for (int signal : kEndRequests)
        ::sigaction(signal, &action, nullptr);
    return g_wakeUp[1];
}

void takeEndRequests() {
    char bytes[64];
    while (::read(g_wakeUp[1], bytes, sizeof bytes) > 0) {
    }
}

void startNoDaemons() {
    if (const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS"); bus && *bus)
        return;
    // D-Bus finds the session's bus in the runtime folder by itself; with
    // none there it would launch a bus of its own that outlives the program.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (runtime && *runtime == '/' && ::stat((std::string(runtime) + "/bus").c_str(), &st) == 0 &&
        S_ISSOCK(st.st_mode))
        return;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

} // namespace sheetmass::platform
