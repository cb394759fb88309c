#pragma once
// The item stream of one acquisition: the request frame out and count items of 4 bytes in,
// through the one item reader (items::ItemReader), each item checked as it comes. The exchanges
// run on whichever thread owns the link; how they ended is told to the user afterwards, on the
// thread that shows messages. The window reads on a PortWorker and tells on its own thread; the
// command line and the scan do both on theirs (TransferSamples).

#include "event_cadence.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>

class BoardLink;

struct TransferHooks {
    QObject *owner = nullptr; // owner of the messages shown
    // 0 ... 100; called only when the value changes, on the thread that calls it: the
    // exchanges' for the values while items come in, the teller's for the last 0.
    std::function<void(int)> setProgress;
    // Once set, the read in flight gives up (within a few milliseconds) and its item fails as
    // one that never came: a detection wants the link, or the window closes. What the board
    // still sends of the request is then owed to the link, never waited for here.
    const std::atomic<bool> *abort = nullptr;
    int gatherMs = kReadGatherMs; // see ReadWaitHook
};

// How the exchanges of a transfer ended.
struct TransferReport {
    enum class End { Received, SendFailed, ItemFailed, BadChecksum };
    End end = End::Received;
    int status = 0; // 0, the link's failure code, or 13 for a bad checksum
    int item = -1;  // the item that failed, or the first whose checksum is wrong
    int shown = -1; // the last value given to setProgress
};

// The exchanges alone: the bar at 0, at each new percent as items arrive and at 100 once all
// have; no message. The good items before the end stay in the buffer, in order; an item whose
// checksum is wrong and those after it never reach it (the rest of the request is read off the
// line, so the next exchange meets a quiet line). count: 1 ... kMaxItemsPerRequest.
TransferReport ReceiveItems(BoardLink &link, uint8_t *items, int count, const TransferHooks &hooks);

// What the user hears of a transfer, in order: "Send command failed !", "Get item %d failed !"
// or "The checksum of item %d is invalid !" when it failed, then the bar back at 0. Returns the
// report's status.
int TellTransferEnd(const TransferReport &report, const TransferHooks &hooks);

// Both on the calling thread. items holds count * 4 bytes, 1 <= count <= kMaxItemsPerRequest.
// Returns 0, the link's failure code after "Send command failed !" or "Get item %d failed !", or 13
// after "The checksum of item %d is invalid !" naming the first bad item.
int TransferSamples(BoardLink &link, uint8_t *items, int count, const TransferHooks &hooks);
