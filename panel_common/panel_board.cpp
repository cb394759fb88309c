#include "panel_board.h"

#include "link/protocol.h"
#include "link/register_range.h"
#include "link/result_codes.h"

int PanelBoard::sendCommand(uint8_t code, uint8_t argument) {
    return m_session ? SendCommand(m_session->link(), code, argument) : result::kNoPort;
}

int PanelBoard::writeRegister(uint8_t address, uint8_t value) {
    return m_session ? WriteRegister(m_session->link(), address, value) : result::kNoPort;
}

int PanelBoard::readRegister(uint8_t address, uint8_t &value) {
    return m_session ? ReadRegister(m_session->link(), address, value) : result::kNoPort;
}

int PanelBoard::readRange(QObject *owner, uint8_t *image, int count) {
    return m_session ? ReadRegisterRange(m_session->link(), image, count, owner) : result::kNoPort;
}

int PanelBoard::writeRange(QObject *owner, const uint8_t *pending, uint8_t *current, int count) {
    return m_session ? WriteRegisterRange(m_session->link(), pending, current, count, owner)
                     : result::kNoPort;
}
