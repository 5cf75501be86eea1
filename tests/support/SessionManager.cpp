// A desktop session manager (X Session Management Protocol) small enough for
// tests: it takes one client at a time and is driven line by line on
// standard input:
//   save    ask the client to save, as at the start of a logout
//   cancel  the logout is cancelled
//   die     the session ends
// and reports on standard output: "listening <address>" once, then
// "registered", "save-done", "closed". The address is what a client finds
// in SESSION_MANAGER.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

SmsConn g_client = nullptr;

void say(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
}

Status registerClient(SmsConn conn, SmPointer, char*) {
    char* id = SmsGenerateClientID(conn);
    const Status ok = SmsRegisterClientReply(conn, id);
    std::free(id);
    say("registered");
    return ok;
}

void interactRequest(SmsConn conn, SmPointer, int) {
    SmsInteract(conn);
}
void interactDone(SmsConn, SmPointer, Bool) {}
void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}
void phase2Request(SmsConn conn, SmPointer) {
    SmsSaveYourselfPhase2(conn);
}
void saveYourselfDone(SmsConn, SmPointer, Bool) {
    say("save-done");
}
void closeConnection(SmsConn conn, SmPointer, int count, char** reasons) {
    SmFreeReasons(count, reasons);
    SmsCleanUp(conn);
    if (conn == g_client)
        g_client = nullptr;
    say("closed");
}
void setProperties(SmsConn, SmPointer, int count, SmProp** props) {
    for (int i = 0; i < count; ++i)
        SmFreeProperty(props[i]);
    std::free(props);
}
void deleteProperties(SmsConn, SmPointer, int count, char** names) {
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}
void getProperties(SmsConn conn, SmPointer) {
    SmsReturnProperties(conn, 0, nullptr);
}

Status newClient(SmsConn conn, SmPointer, unsigned long* mask, SmsCallbacks* cb, char**) {
    g_client = conn;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
            SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
            SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    cb->register_client.callback = registerClient;
    cb->interact_request.callback = interactRequest;
    cb->interact_done.callback = interactDone;
    cb->save_yourself_request.callback = saveYourselfRequest;
    cb->save_yourself_phase2_request.callback = phase2Request;
    cb->save_yourself_done.callback = saveYourselfDone;
    cb->close_connection.callback = closeConnection;
    cb->set_properties.callback = setProperties;
    cb->delete_properties.callback = deleteProperties;
    cb->get_properties.callback = getProperties;
    return 1;
}

// No cookies: any local client is let in.
Bool anyHost(char*) {
    return True;
}

void command(const std::string& line) {
    if (g_client == nullptr)
        return;
    if (line == "save")
        SmsSaveYourself(g_client, SmSaveBoth, True, SmInteractStyleAny, False);
    else if (line == "cancel")
        SmsShutdownCancelled(g_client);
    else if (line == "die")
        SmsDie(g_client);
}

} // namespace

int main() {
    // A client that goes away is no reason to end the session.
    IceSetIOErrorHandler([](IceConn) {});
    char error[256] = {};
    if (!SmsInitialize("sheetmass-tests", "1", newClient, nullptr, anyHost, sizeof error, error)) {
        std::fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    int count = 0;
    IceListenObj* listeners = nullptr;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    for (int i = 0; i < count; ++i)
        IceSetHostBasedAuthProc(listeners[i], anyHost);
    char* address = IceComposeNetworkIdList(count, listeners);
    std::printf("listening %s\n", address);
    std::fflush(stdout);
    std::free(address);

    std::vector<IceConn> connections;
    std::string pending;
    for (;;) {
        std::vector<pollfd> fds{{STDIN_FILENO, POLLIN, 0}};
        for (int i = 0; i < count; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn c : connections)
            fds.push_back({IceConnectionNumber(c), POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents) {
            char buffer[256];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                return 0;
            pending.append(buffer, static_cast<std::size_t>(n));
            for (auto nl = pending.find('\n'); nl != std::string::npos; nl = pending.find('\n')) {
                command(pending.substr(0, nl));
                pending.erase(0, nl + 1);
            }
        }
        for (int i = 0; i < count; ++i) {
            if (!fds[1 + static_cast<std::size_t>(i)].revents)
                continue;
            IceAcceptStatus status;
            IceConn c = IceAcceptConnection(listeners[i], &status);
            if (c == nullptr)
                continue;
            while (IceConnectionStatus(c) == IceConnectPending)
                IceProcessMessages(c, nullptr, nullptr);
            if (IceConnectionStatus(c) == IceConnectAccepted)
                connections.push_back(c);
            else
                IceCloseConnection(c);
        }
        for (std::size_t k = 0; k < connections.size(); ++k) {
            if (!fds[1 + static_cast<std::size_t>(count) + k].revents)
                continue;
            if (IceProcessMessages(connections[k], nullptr, nullptr) ==
                IceProcessMessagesConnectionClosed) {
                IceCloseConnection(connections[k]);
                connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(k));
                break;
            }
        }
    }
}
