#pragma once
// The exit statuses of pellorin-cli, documented in its help and man page.

namespace cli::exit_code {
constexpr int kOk = 0;
constexpr int kUnavailable = 1;  // the command is not available for this chip or in this build
constexpr int kUsage = 2;        // the command line could not be understood
constexpr int kNoBoard = 3;      // no candidate port answered the handshake
constexpr int kExchange = 4;     // an exchange with the board failed (result code in the message)
constexpr int kItemChecksum = 5; // an acquired item carried a wrong checksum
constexpr int kFile = 6;         // a file could not be read or written, or was refused
// --all-boards: the command failed on some boards, on every board; a board's own status when
// its scan broke the limits of a batch test.
constexpr int kSomeBoardsFailed = 7;
constexpr int kNoBoardSucceeded = 8;
constexpr int kOutsideLimits = 9;
} // namespace cli::exit_code
