#pragma once
// The module's exceptions: what went wrong, in the program's own words, with what a script
// needs to act on it. Thrown as C++ exceptions anywhere in the module and turned into
// pellorin.NoBoardError, ExchangeError, ChecksumError, FileError or ValueError at the edge.

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellorin_py {

enum class ErrorKind { NoBoard, Exchange, Checksum, File, Value, State };

class BoardError : public std::runtime_error {
  public:
    BoardError(ErrorKind kind, const QString &text)
        : std::runtime_error(text.toStdString()), kind(kind) {}

    ErrorKind kind;
    int code = 0;                   // the link's result code (ExchangeError, ChecksumError)
    int64_t index = -1;             // the first bad item (ChecksumError)
    std::vector<int32_t> goodCodes; // the samples before it (ChecksumError)
    QString path;                   // FileError
    QString cause;                  // FileError
};

BoardError NoBoard(const QString &text);
BoardError Exchange(const QString &text, int code);
BoardError Checksum(const QString &text, int64_t index, std::vector<int32_t> goodCodes);
// "PATH: cause", the form every file message takes.
BoardError File(const QString &path, const QString &cause);
BoardError Value(const QString &text);
// A call that this Board cannot take now (closed, another thread, another Board open).
BoardError State(const QString &text);

} // namespace pellorin_py
