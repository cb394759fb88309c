#include "stop_signals.h"

#include <atomic>
#include <mutex>

namespace cli {

namespace {
std::atomic<int> g_count{0};
std::atomic<int> g_first{0};
// Boards run together each make their own; the outermost one holds the handlers.
std::mutex g_depthMutex;
int g_depth = 0;

extern "C" void OnStopSignal(int number) {
    int none = 0;
    g_first.compare_exchange_strong(none, number);
    g_count.fetch_add(1);
}
} // namespace

StopSignals::StopSignals() {
    const std::lock_guard lock(g_depthMutex);
    if (g_depth++ > 0)
        return;
    g_count = 0;
    g_first = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_interrupt);
    sigaction(SIGTERM, &action, &m_terminate);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &m_fileSize);
}

StopSignals::~StopSignals() {
    const std::lock_guard lock(g_depthMutex);
    if (--g_depth > 0)
        return;
    sigaction(SIGINT, &m_interrupt, nullptr);
    sigaction(SIGTERM, &m_terminate, nullptr);
    sigaction(SIGXFSZ, &m_fileSize, nullptr);
}

int StopSignals::count() {
    return g_count.load();
}

QString StopSignals::firstName() {
    switch (g_first.load()) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    default:
        return QString();
    }
}

} // namespace cli
