#pragma once
// Panel tests drive a real TZ410Dlg whose exchanges go through the program's serial transport
// to a virtual board on a pty.

#include "panel_8ch/tz410_all_dlg.h"
#include "panel_8ch/tz410_cal_dlg.h"
#include "panel_8ch/tz410_clock_dlg.h"
#include "panel_8ch/tz410_dlg.h"
#include "panel_8ch/tz410_io_dlg.h"
#include "panel_8ch/tz410_mux_dlg.h"
#include "panel_8ch/tz410_power_dlg.h"
#include "panel_8ch/tz410_status_dlg.h"
#include "tests/support/panel_board_test.h"

using Frames8 = BoardFrames<1, 11>;
constexpr auto WriteFrameOf = &Frames8::write;
constexpr auto ReadFrameOf = &Frames8::read;
constexpr auto ReadAllFrames = &Frames8::readAll;
inline Frame CommandFrameOf(uint8_t code) {
    return Frames8::command(code);
}

// A register image as the panel keeps it, from a table's bytes.
inline std::vector<uint8_t> PanelImage(const vxc5480::RegisterImage &bytes) {
    return {bytes.begin(), bytes.end()};
}

class PanelTest : public PanelBoardTest<TZ410Dlg> {
  protected:
    PanelTest() : PanelBoardTest(sim::Chip::VXC5480) {}
};
