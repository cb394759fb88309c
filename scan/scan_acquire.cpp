#include "scan_acquire.h"

#include "acquisition/samples.h"
#include "acquisition/transfer.h"
#include "link/frames.h"

#include <span>

namespace scan {

ScanAcquirer::ScanAcquirer(BoardLink &link, QObject *owner) : m_link(link), m_owner(owner) {}

int ScanAcquirer::acquire(int discard, int count, analysis::NoiseFigures &figures) {
    const int total = discard + count;
    m_items.resize(static_cast<size_t>(total) * kItemSize);
    TransferHooks hooks;
    hooks.owner = m_owner;
    if (const int status = TransferSamples(m_link, m_items.data(), total, hooks))
        return status;
    ConvertSamples(m_items.data(), total, m_codes);
    figures = analysis::ComputeNoiseFigures(
        std::span<const int32_t>(m_codes).subspan(static_cast<size_t>(discard)));
    return 0;
}

} // namespace scan
