#pragma once
// The exchanges of the register panels, the chip commands and the acquisition request, each on
// the link it is given.

#include <QString>

#include <cstdint>

class BoardLink;

// Sends a command whose reply is a plain status; on a failure status the link tells the
// bridge's status message.
int SendCommand(BoardLink &link, uint8_t code, uint8_t argument);
int WriteRegister(BoardLink &link, uint8_t address, uint8_t value);
// On a well-formed reply with a failure status, value becomes 0; on other failures it is kept.
int ReadRegister(BoardLink &link, uint8_t address, uint8_t &value);

// The handshake's first command for chipId, with no message: 0 when the board answers for that
// chip. One probe tells which chip a board carries when it refused the one expected.
int ProbeChip(BoardLink &link, int chipId);
// Both commands of the handshake for the link's chip, with no message: 0 when the board is
// there.
int Handshake(BoardLink &link);

// The acquisition request for count items (1 to 65535); 0 or the link's failure code.
int RequestItems(BoardLink &link, int count);

// "Can't find VXC5480 !": what the user hears when no candidate answers for the chip.
QString CantFindText(int chipId);
