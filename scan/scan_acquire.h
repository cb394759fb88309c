#pragma once
// One acquisition of the scan: discard + count items in one request (the first samples after a
// switch are the chip's filter settling), the figures of the last count. No widgets.

#include "analysis/noise_figures.h"

#include <QObject>

#include <cstdint>
#include <vector>

class BoardLink;

namespace scan {

class ScanAcquirer {
  public:
    ScanAcquirer(BoardLink &link, QObject *owner);

    // 0, or the link's failure code after the acquisition's own message (13 after "The checksum
    // of item %d is invalid !"); figures is set only on success.
    int acquire(int discard, int count, analysis::NoiseFigures &figures);

  private:
    BoardLink &m_link;
    QObject *m_owner;
    std::vector<uint8_t> m_items;
    std::vector<int32_t> m_codes;
};

} // namespace scan
