// TZ410Dlg: moving register bytes between the images and the chip.

#include "tz410_dlg.h"

#include "panel_common/register_transfer.h"
#include "tz410_all_dlg.h"
#include "tz410_cal_dlg.h"
#include "tz410_clock_dlg.h"
#include "tz410_io_dlg.h"
#include "tz410_mux_dlg.h"
#include "tz410_power_dlg.h"
#include "tz410_status_dlg.h"

#include "link/protocol.h"

#include <QPushButton>
#include <QTabBar>

using namespace vxc5480;
using namespace panel_common;

void TZ410Dlg::RefreshAllPages() {
    SelectRateFromCurrent();
    SelectPgaFromCurrent();
    m_muxPage->ShowCurrent();
    m_clockPage->ShowCurrent();
    m_ioPage->ShowCurrent();
    m_powerPage->ShowCurrent();
    m_statusPage->ShowCurrent();
    m_calPage->ShowCalibrationValues();
    m_allPage->ShowCurrent();
}

void TZ410Dlg::WriteFromTab(int tab) {
    if (tab == kTabAll)
        writeAllRegisters();
    else
        writeTabSequence(tab);
}

bool TZ410Dlg::sameChannelChosen() const {
    return m_muxPage->sameInputChosen();
}

void TZ410Dlg::writeTabSequence(int tab) {
    if (tab == kTabMux && sameChannelChosen()) {
        TellSameChannel(this);
        return;
    }
    const std::vector<uint8_t> sequence = WriteSequence(tab);
    if (sequence.empty())
        return;
    // A failed step leaves the chip's byte as it was and the sequence goes on.
    for (uint8_t address : sequence)
        writeStep(address);
    m_allPage->ShowCurrent();
}

void TZ410Dlg::writeStep(uint8_t address) {
    if (board().writeRegister(address, m_pending[address]) != 0)
        return;
    Confirm(address);
    followUp(address);
}

void TZ410Dlg::followUp(uint8_t address) {
    switch (address) {
    case kStatus:
        m_statusPage->ShowCurrent();
        break;
    case kMux:
        m_muxPage->ShowCurrent();
        break;
    case kAdcon:
        m_clockPage->ShowCurrent();
        m_powerPage->ShowCurrent();
        SelectPgaFromCurrent();
        break;
    case kDrate:
        SelectRateFromCurrent();
        break;
    case kIo:
        m_ioPage->ShowCurrent();
        break;
    default:
        break;
    }
}

void TZ410Dlg::writeAllRegisters() {
    for (int address = 0; address < kRegisterCount; ++address)
        m_pending[address] = static_cast<uint8_t>(ParseHex(m_allPage->writeText(address), 2));
    if (WriteRegistersOrTell(board(), this, m_pending.data(), m_current.data(), kRegisterCount) ==
        0)
        RefreshAllPages();
}
