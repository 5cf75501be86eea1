#include "platform/Process.h"

#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace sheetmass::platform {
namespace {

int g_wakeUp[2] = {-1, -1};

// Only async-signal-safe work here: the event loop does the rest. The
// socket never blocks: when it is full, a quit is on its way already.
void onSignal(int) {
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
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
    return g_wakeUp[1];
}

void takeEndRequests() {
    char bytes[64];
    while (::read(g_wakeUp[1], bytes, sizeof bytes) > 0) {
    }
}

} // namespace sheetmass::platform
