#pragma once
// The input scan against a virtual board on a pty, through the program's own transport: the
// board's inputs (sim::DefaultSignal) give what every row must read, its frames what the scan
// sent.

#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5420/register_map.h"
#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/register_map.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "platform/busy_flags.h"
#include "scan/scan_figures.h"
#include "scan/scan_settings.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace scantest {

inline const panel_common::MuxLayout &LayoutOf(sim::Chip chip) {
    return chip == sim::Chip::VXC5480 ? vxc5480::kMuxLayout : vxc5420::kMuxLayout;
}

// The facts of the board's registers (the VXC5420's CR1, as in "Command Mode") at the board's
// own reference.
inline conversion::ConversionFacts BoardFacts(const sim::VirtualBoard &board) {
    const double reference = sim::DefaultSignal(board.chip()).referenceVolts;
    std::vector<uint8_t> image;
    const int count =
        board.chip() == sim::Chip::VXC5480 ? vxc5480::kRegisterCount : vxc5420::kRegisterCount;
    for (int address = 0; address < count; ++address)
        image.push_back(board.registerValue(static_cast<uint8_t>(address)));
    return board.chip() == sim::Chip::VXC5480
               ? vxc5480::Facts(image, reference)
               : vxc5420::Facts(image, vxc5420::kCommandMode, reference);
}

// Volts of one code at the gain the board's registers hold.
inline double BoardLsbVolts(const sim::VirtualBoard &board) {
    return scan::ScanVoltsPerCode(BoardFacts(board));
}

// What the pair sees, in volts, as the board's inputs are wired.
inline double InputVolts(sim::Chip chip, scan::ScanInput input) {
    const sim::SignalModel signal = sim::DefaultSignal(chip);
    return signal.inputVolts[static_cast<size_t>(input.positive)] -
           signal.inputVolts[static_cast<size_t>(input.negative)];
}

// A board of the chip, found by the handshake as "Detect EVM" finds it.
class ScanBoard {
  public:
    explicit ScanBoard(sim::Chip chip) : m_pty(chip) {
        m_started = m_pty.start();
        m_found = m_started && m_pty.detect() == 1;
    }
    bool ready() const { return m_started && m_found; }
    sim::VirtualBoard &board() { return m_pty.board(); }
    BoardSession &session() { return *m_pty.session(); }
    BoardLink &link() { return m_pty.link(); }

  private:
    BoardOnPty m_pty;
    bool m_started = false;
    bool m_found = false;
};

} // namespace scantest
