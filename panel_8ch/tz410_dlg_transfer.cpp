// TZ410Dlg: moving register bytes between the images and the chip, and the profile file.

#include "tz410_dlg.h"

#include "platform/busy_flags.h"
#include "profile_8ch.h"
#include "tz410_all_dlg.h"
#include "tz410_cal_dlg.h"
#include "tz410_clock_dlg.h"
#include "tz410_io_dlg.h"
#include "tz410_mux_dlg.h"
#include "tz410_power_dlg.h"
#include "tz410_status_dlg.h"

#include "link/protocol.h"
#include "platform/message_service.h"

#include <QPushButton>
#include <QTabBar>

using namespace vxc5480;

namespace {
QString addressMessage(const char *format, int address) {
    return QString::fromLatin1(format).arg(HexByteText(static_cast<uint8_t>(address)));
}
} // namespace

int TZ410Dlg::ReadAllRegisters() {
    for (int address = 0; address < kRegisterCount; ++address) {
        const int status = ReadRegister(static_cast<uint8_t>(address), m_current[address]);
        if (status != 0) {
            platform::ShowMessage(this,
                                  addressMessage("Read Register Address %1 Failed !", address),
                                  QStringLiteral("Error occured !"));
            return status;
        }
    }
    return 0;
}

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

int TZ410Dlg::RefreshFromChip() {
    // The acquisition holds g_acquiring around this call; no flag is looked at here.
    const int status = ReadAllRegisters();
    if (status == 0)
        RefreshAllPages();
    return status;
}

void TZ410Dlg::OnRead() {
    if (g_acquiring || g_registerBusy)
        return;
    g_registerBusy = 1;
    m_readButton->setEnabled(false);
    if (ReadAllRegisters() == 0)
        RefreshAllPages();
    g_registerBusy = 0;
    m_readButton->setEnabled(true);
}

void TZ410Dlg::OnWrite() {
    if (g_acquiring || g_registerBusy)
        return;
    g_registerBusy = 1;
    m_writeButton->setEnabled(false);
    const int tab = m_tabs->currentIndex();
    if (tab == kTabAll)
        writeAllRegisters();
    else
        writeTabSequence(tab);
    g_registerBusy = 0;
    m_writeButton->setEnabled(true);
}

bool TZ410Dlg::sameChannelChosen() const {
    return m_muxPage->m_ainNegId == m_muxPage->m_ainPosId + 9;
}

void TZ410Dlg::writeTabSequence(int tab) {
    if (tab == kTabMux && sameChannelChosen()) {
        platform::ShowMessage(this,
                              QStringLiteral("AIN+ and AIN- cannot select the same channel !"),
                              QStringLiteral("Error"), platform::MessageIcon::Error);
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

bool TZ410Dlg::writeStep(uint8_t address) {
    if (WriteRegister(address, m_pending[address]) != 0)
        return false;
    m_current[address] = m_pending[address];
    followUp(address);
    return true;
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
    for (int address = 0; address < kRegisterCount; ++address) {
        if (WriteRegister(static_cast<uint8_t>(address), m_pending[address]) != 0) {
            platform::ShowMessage(this,
                                  addressMessage("Write Register Address %1 Failed !", address),
                                  QStringLiteral("Error occured !"));
            return;
        }
        m_current[address] = m_pending[address];
    }
    RefreshAllPages();
}

int TZ410Dlg::SaveProfile(const QString &path) {
    // The chip's state is saved, not edits that were never written.
    if (!SaveRegisterProfile(path, m_current)) {
        platform::ShowMessage(this, QStringLiteral("Save Profile Failed !"),
                              QStringLiteral("Error !"));
        return -1;
    }
    return 0;
}

int TZ410Dlg::LoadProfile(const QString &path) {
    if (LoadRegisterProfile(path, m_pending) != ProfileLoad::Loaded) {
        platform::ShowMessage(this, InvalidProfileMessage(), QStringLiteral("Error !"));
        return 0;
    }
    RefreshAllPages();
    return 0;
}
