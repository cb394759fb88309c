#pragma once
// Tests of the VXC5420 panel drive a real TZ420Dlg whose exchanges go through the program's
// serial transport to a virtual 2-channel board on a pty.

#include "panel_2ch/tz420_all_dlg.h"
#include "panel_2ch/tz420_dlg.h"
#include "panel_2ch/tz420_mux_dlg.h"
#include "tests/support/panel_board_test.h"

namespace tz420test {

// A register image as the panel keeps it, from a table's bytes.
inline std::vector<uint8_t> PanelImage(const vxc5420::RegisterImage &bytes) {
    return {bytes.begin(), bytes.end()};
}

using Frames2 = BoardFrames<2, 6>;
constexpr auto WriteFrameOf = &Frames2::write;
constexpr auto ReadFrameOf = &Frames2::read;
constexpr auto ReadAllFrames = &Frames2::readAll;
inline Frame SetModeFrameOf(uint8_t mode) {
    return Frames2::command(command::kSetMode, mode);
}

class Panel2Test : public PanelBoardTest<TZ420Dlg> {
  protected:
    Panel2Test() : PanelBoardTest(sim::Chip::VXC5420) {}

    // Sets the chip's registers as stored bytes (the board's own rules not applied).
    void loadChip(const std::array<uint8_t, 6> &values) {
        for (uint8_t a = 0; a < 6; ++a)
            m_board.setRegisterValue(a, values[a]);
    }
    QComboBox *list(int id) const { return static_cast<QComboBox *>(m_panel->control(id)); }
    void write() { click(m_panel->control(TZ420Dlg::kWriteButton)); }
    void read() { click(m_panel->control(TZ420Dlg::kReadButton)); }
    void typeWrite(int row, const QString &text) { m_panel->m_allPage->setWriteText(row, text); }
};

} // namespace tz420test
