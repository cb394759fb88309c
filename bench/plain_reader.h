#pragma once
// The yardstick the program's readers are measured against: one acquisition request and its
// bytes taken in chunks as large as have arrived, nothing checked or converted between reads.

#include "link/board_link.h"
#include "link/frames.h"
#include "link/protocol.h"

#include <cstdint>

// Requests count items and reads their count * 4 bytes into buffer; false when the request or
// a read fails before all have come.
inline bool ReadItemsPlainly(BoardLink &link, uint8_t *buffer, int count) {
    if (RequestItems(link, count) != 0)
        return false;
    const uint32_t total = static_cast<uint32_t>(count) * kItemSize;
    uint32_t received = 0;
    while (received < total) {
        uint32_t got = 0;
        const int result = link.readAvailable(buffer + received, 1, total - received, got);
        received += got;
        if (result != 0)
            return received == total;
    }
    return true;
}
