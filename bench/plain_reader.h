#pragma once
// The yardstick the program's readers are measured against: one acquisition request and its
// bytes taken in large chunks, nothing checked or converted between reads.

#include "link/board_link.h"
#include "link/frames.h"
#include "link/protocol.h"

#include <algorithm>
#include <cstdint>

// Requests count items and reads their count * 4 bytes into buffer; false when the request or
// a read fails before all have come.
inline bool ReadItemsPlainly(BoardLink &link, uint8_t *buffer, int count) {
    // Each read waits for its whole chunk: well within a read's time limit even at the wire's
    // pace, and few enough returns that the reader's own cost is nil.
    constexpr uint32_t kChunkBytes = 16384;
    if (RequestItems(link, count) != 0)
        return false;
    const uint32_t total = static_cast<uint32_t>(count) * kItemSize;
    for (uint32_t received = 0; received < total;) {
        const uint32_t chunk = std::min(kChunkBytes, total - received);
        uint32_t got = 0;
        if (link.readAvailable(buffer + received, chunk, chunk, got) != 0)
            return false;
        received += got;
    }
    return true;
}
