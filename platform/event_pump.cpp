#include "event_pump.h"

#include <QCoreApplication>

namespace platform {

void PumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace platform
