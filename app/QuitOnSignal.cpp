#include "app/QuitOnSignal.h"

#include "platform/Process.h"

#include <QCoreApplication>
#include <QSocketNotifier>

namespace sheetmass {

void quitOnSignals() {
    const auto requests = platform::watchEndRequests();
    if (!requests)
        return;
    auto* notifier = new QSocketNotifier(*requests, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        platform::takeEndRequests();
        QCoreApplication::quit();
    });
}

} // namespace sheetmass
