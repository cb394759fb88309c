#pragma once
// The two register images of a panel, indexed by register address: the chip's values as last
// read or confirmed written, and the values waiting to be written. No widgets.

#include <cstdint>
#include <vector>

namespace panel_common {

struct RegisterImages {
    // count bytes each, all 0. Sized once: pages keep pointers into both.
    explicit RegisterImages(int count)
        : m_current(static_cast<size_t>(count), 0), m_pending(static_cast<size_t>(count), 0) {}

    std::vector<uint8_t> m_current;
    std::vector<uint8_t> m_pending;

    int registerCount() const { return static_cast<int>(m_current.size()); }
    // A confirmed write: the pending byte is now the chip's.
    void Confirm(int address) { m_current[address] = m_pending[address]; }
};

} // namespace panel_common
