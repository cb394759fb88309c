// TZ420Dlg: moving register bytes between the images and the chip.

#include "tz420_dlg.h"

#include "tz420_all_dlg.h"
#include "tz420_mux_dlg.h"

#include "link/protocol.h"
#include "panel_common/register_transfer.h"

#include <QPushButton>
#include <QTabBar>

using namespace vxc5420;
using namespace panel_common;

void TZ420Dlg::WriteFromTab(int tab) {
    if (tab == kTabAll)
        writeAllTab();
    else
        writeMuxTab();
}

void TZ420Dlg::RefreshAllPages() {
    SelectRateFromCurrent();
    SelectPgaFromCurrent();
    m_muxPage->ShowCurrent();
    m_allPage->ShowCurrent();
}

void TZ420Dlg::writeMuxTab() {
    if (m_muxPage->sameInputChosen()) {
        TellSameChannel(this);
        return;
    }
    // CR0 goes only after MUX went; CR1 goes whatever happened to them. No message here.
    auto writeOne = [this](uint8_t address) {
        if (board().writeRegister(address, m_pending[address]) != 0)
            return false;
        Confirm(address);
        return true;
    };
    if (writeOne(kMux) && writeOne(kCr0))
        m_muxPage->ShowCurrent();
    if (writeOne(kCr1)) {
        SelectRateFromCurrent();
        SelectPgaFromCurrent();
    }
    m_allPage->ShowCurrent();
}

void TZ420Dlg::writeAllTab() {
    for (int address = 0; address < kRegisterCount; ++address)
        m_pending[address] = static_cast<uint8_t>(ParseHex(m_allPage->writeText(address), 2));
    ApplyForcedBits(m_pending);
    // The Write column keeps the text as typed; the forced bits show in the Read column.
    if (WriteRegistersOrTell(board(), this, m_pending.data(), m_current.data(), kRegisterCount) ==
        0)
        RefreshAllPages();
}
