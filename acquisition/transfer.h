#pragma once
// The item stream of one acquisition: the request frame out, count items of 4 bytes in, one
// read per item (the line's bytes gathered a few milliseconds at a time) with the window kept
// alive between items, then every checksum verified.

#include "event_cadence.h"

#include <QObject>

#include <cstdint>
#include <functional>

struct TransferHooks {
    QObject *owner = nullptr;             // owner of the messages shown
    std::function<void(int)> setProgress; // 0 ... 100; called only when the value changes
    std::function<void()> pumpEvents;     // between items (EventCadence); must not block
    int pumpIntervalMs = kEventIntervalMs;
    int gatherMs = kReadGatherMs; // see ReadAvailableWaiting
};

// items holds count * 4 bytes, 1 <= count <= kMaxItemsPerRequest. Returns 0, the link's failure
// code after "Send command failed !" or "Get item %d failed !", or 13 after "The checksum of item
// %d is invalid !" naming the first bad item. Items that arrived stay in the buffer either way.
int TransferSamples(uint8_t *items, int count, const TransferHooks &hooks);
