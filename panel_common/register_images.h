#pragma once
// The two register images every panel host keeps, indexed by register address: the chip's
// values as last read or confirmed written, and the values waiting to be written. No widgets.

#include <array>
#include <cstdint>

namespace panel_common {

template <int Count> struct RegisterImages {
    using Image = std::array<uint8_t, Count>;

    Image m_current{};
    Image m_pending{};

    // A confirmed write: the pending byte is now the chip's.
    void Confirm(int address) { m_current[address] = m_pending[address]; }
};

} // namespace panel_common
