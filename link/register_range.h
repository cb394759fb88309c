#pragma once
// Moving a chip's whole register file between the board and a byte image, address by address,
// as both panels' Read and "All Regs" Write do (and the command line with them).

#include <QObject>

class BoardLink;

#include <cstdint>

// One register read or write; on failure the link tells "Read Register Address %02X Failed !"
// or "Write Register Address %02X Failed !" and returns the result code.
int ReadRegisterAt(BoardLink &link, uint8_t address, uint8_t &value, QObject *owner);
int WriteRegisterAt(BoardLink &link, uint8_t address, uint8_t value, QObject *owner);

// Reads registers 0 to count - 1 into image in address order. At the first failure tells the
// user "Read Register Address %02X Failed !" and returns its result code; the registers read
// before it keep their new values, later ones are not read.
int ReadRegisterRange(BoardLink &link, uint8_t *image, int count, QObject *owner);

// Writes pending[0] to pending[count - 1] in address order; each byte the chip confirms is
// copied into current. At the first failure tells the user "Write Register Address %02X
// Failed !" and returns its result code; later registers are not written. failedAddress, when
// given, receives the address that failed.
int WriteRegisterRange(BoardLink &link, const uint8_t *pending, uint8_t *current, int count,
                       QObject *owner, int *failedAddress = nullptr);
