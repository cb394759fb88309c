#include "platform/event_pump.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <gtest/gtest.h>

TEST(EventPump, DispatchesWaitingEventsAndReturnsWhenNoneAreLeft) {
    int ran = 0;
    QMetaObject::invokeMethod(
        qApp, [&] { ++ran; }, Qt::QueuedConnection);
    platform::PumpEvents();
    EXPECT_EQ(ran, 1);
    // Nothing is waiting now: the pump must come straight back.
    platform::PumpEvents();
    EXPECT_EQ(ran, 1);
}
