#pragma once
// The three exchanges of the register panels and the detection handshake.

#include <QString>

#include <cstdint>

// Chip id of the module chosen at the last "Detect EVM"; its low byte is byte 1 of every frame.
extern int g_chipId;
// Catalogue name of g_chipId, set by a successful detection.
extern QString g_chipName;

// Sends a command whose reply is a plain status; shows the bridge's status message on failure.
int SendCommand(uint8_t code, uint8_t argument);
int WriteRegister(uint8_t address, uint8_t value);
// On a well-formed reply with a failure status, value becomes 0; on other failures it is kept.
int ReadRegister(uint8_t address, uint8_t &value);

// The handshake's first command for chipId on the open port, with no message: 0 when the
// board answers for that chip. One probe tells which chip a board carries when it refused
// the one expected.
int ProbeChip(int chipId);

// Finds the board carrying g_chipId; returns the candidate number with its port left open,
// or -1 (after telling the user) when no candidate answers.
int DetectEvm();
