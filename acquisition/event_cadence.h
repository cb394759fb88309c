#pragma once
// How often a loop that reads items one by one lets the window's events run: when about 8 ms
// have passed since the last time, also while it waits for an item, and after the last item.
// A person sees the same as with events after every item (a frame lasts 16 ms), at a fraction
// of the cost. Only a stream read on the window's thread needs it (the capture's); the one-shot
// acquisition and the scan read on a PortWorker. kReadGatherMs serves every stream read.

#include <chrono>
#include <functional>

constexpr int kEventIntervalMs = 8;
// How long a read of the item stream rests for more items when it has too few (see
// ReadAvailableWaiting): half the event interval, so events stay on time.
constexpr int kReadGatherMs = 4;

class EventCadence {
  public:
    // pump dispatches the waiting events and returns; it must not block.
    explicit EventCadence(std::function<void()> pump, int intervalMs = kEventIntervalMs);

    // After each item: pumps when the interval has passed since the last pump.
    void item();
    // After the last item, or whenever the loop is about to wait or stop: pumps at once.
    void now();
    // While the loop waits for its next item: pumps when items came since the last pump and
    // the interval has passed; returns the milliseconds until the next pump is due (a read's
    // wait hook).
    int waiting();

  private:
    using Clock = std::chrono::steady_clock;
    std::function<void()> m_pump;
    Clock::duration m_interval;
    Clock::time_point m_last;
    bool m_owed = false; // items were taken since the last pump
};
