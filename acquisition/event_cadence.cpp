#include "event_cadence.h"

#include <algorithm>

EventCadence::EventCadence(std::function<void()> pump, int intervalMs)
    : m_pump(std::move(pump)), m_interval(std::chrono::milliseconds(intervalMs)),
      m_last(Clock::now()) {}

void EventCadence::item() {
    m_owed = true;
    if (Clock::now() - m_last >= m_interval)
        now();
}

void EventCadence::now() {
    if (m_pump)
        m_pump();
    m_owed = false;
    // Measured after the pump: time spent in a handler does not count toward the next one.
    m_last = Clock::now();
}

int EventCadence::waiting() {
    // Only items taken since the last pump make one due: a board silent from the start leaves
    // the events waiting, as they always did.
    if (m_owed && Clock::now() - m_last >= m_interval)
        now();
    const auto left = m_interval - (Clock::now() - m_last);
    return std::max(1,
                    static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
}
