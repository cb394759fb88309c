#include "event_cadence.h"

EventCadence::EventCadence(std::function<void()> pump, int intervalMs)
    : m_pump(std::move(pump)), m_interval(std::chrono::milliseconds(intervalMs)),
      m_last(Clock::now()) {}

void EventCadence::item() {
    if (Clock::now() - m_last >= m_interval)
        now();
}

void EventCadence::now() {
    if (m_pump)
        m_pump();
    ++m_pumps;
    // Measured after the pump: time spent in a handler does not count toward the next one.
    m_last = Clock::now();
}
