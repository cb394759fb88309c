#pragma once
// Result codes of every exchange with the board: 0 is success, the rest are numbered as Windows
// numbers its system errors, on every platform Pellorin runs on, so that a code in a message or
// a log means the same failure wherever it was seen.

namespace result {
constexpr int kOk = 0;
constexpr int kNoPort = 6;    // no port is open
constexpr int kBadReply = 13; // reply checksum mismatch or nonzero status
constexpr int kOutOfMemory = 14;
constexpr int kShortRead = 30; // a read ended with fewer bytes than asked for
constexpr int kWaitTimeout = 258;
constexpr int kAborted = 995; // the program gave the read up (a detection wants the port)
constexpr int kTimeout = 997; // nothing arrived within the reply time limit
// Other platform failures: this base plus QSerialPort::SerialPortError, so each stays distinct.
constexpr int kPortErrorBase = 0x1000;
} // namespace result
