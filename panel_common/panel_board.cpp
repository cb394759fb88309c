#include "panel_board.h"

#include "platform/message_service.h"

#include "link/protocol.h"
#include "link/register_range.h"
#include "link/result_codes.h"

bool PanelBoard::refusedAsLost(QObject *owner) const {
    const QString lost = m_session ? m_session->lost() : QString();
    if (lost.isEmpty())
        return false;
    platform::ShowMessage(owner,
                          QStringLiteral("The board was lost (%1). Press \"Detect EVM\" when it is "
                                         "back.")
                              .arg(lost),
                          QStringLiteral("Error"));
    return true;
}

int PanelBoard::sendCommand(uint8_t code, uint8_t argument) {
    if (!m_session || refusedAsLost(nullptr))
        return result::kNoPort;
    return SendCommand(m_session->link(), code, argument);
}

int PanelBoard::writeRegister(uint8_t address, uint8_t value) {
    if (!m_session || refusedAsLost(nullptr))
        return result::kNoPort;
    return WriteRegister(m_session->link(), address, value);
}

int PanelBoard::readRegister(uint8_t address, uint8_t &value) {
    if (!m_session || refusedAsLost(nullptr))
        return result::kNoPort;
    return ReadRegister(m_session->link(), address, value);
}

int PanelBoard::readRange(QObject *owner, uint8_t *image, int count) {
    if (!m_session || refusedAsLost(owner))
        return result::kNoPort;
    return ReadRegisterRange(m_session->link(), image, count, owner);
}

int PanelBoard::writeRange(QObject *owner, const uint8_t *pending, uint8_t *current, int count) {
    if (!m_session || refusedAsLost(owner))
        return result::kNoPort;
    return WriteRegisterRange(m_session->link(), pending, current, count, owner);
}
