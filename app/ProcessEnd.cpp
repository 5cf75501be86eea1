#include "app/ProcessEnd.h"

#include <QString>
#include <QtGlobal>

#include <cstdlib>

namespace sheetmass {
namespace {

void (*g_last)() = nullptr;
QtMessageHandler g_shown = nullptr;

// What Qt's platform plugins warn just before they end the process.
constexpr const char* kDisplayGone[] = {"The Wayland connection", "The X11 connection broke"};

bool endsTheProcess(QtMsgType type, const QString& text) {
    if (type == QtFatalMsg)
        return true;
    for (const char* start : kDisplayGone)
        if (text.startsWith(QLatin1String(start)))
            return true;
    return false;
}

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    g_shown(type, context, text);
    if (endsTheProcess(type, text))
        g_last();
}

} // namespace

void runBeforeAnyEnd(void (*last)()) {
    g_last = last;
    std::atexit([] { g_last(); });
    g_shown = qInstallMessageHandler(onMessage);
}

} // namespace sheetmass
