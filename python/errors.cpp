#include "errors.h"

#include "platform/file_error.h"

namespace pellorin_py {

BoardError NoBoard(const QString &text) {
    return BoardError(ErrorKind::NoBoard, text);
}

BoardError Exchange(const QString &text, int code) {
    BoardError error(ErrorKind::Exchange, text);
    error.code = code;
    return error;
}

BoardError Checksum(const QString &text, int64_t index, std::vector<int32_t> goodCodes) {
    BoardError error(ErrorKind::Checksum, text);
    error.code = 13;
    error.index = index;
    error.goodCodes = std::move(goodCodes);
    return error;
}

BoardError File(const QString &path, const QString &cause) {
    BoardError error(ErrorKind::File, platform::FileError{path, cause}.text());
    error.path = path;
    error.cause = cause;
    return error;
}

BoardError Value(const QString &text) {
    return BoardError(ErrorKind::Value, text);
}

BoardError State(const QString &text) {
    return BoardError(ErrorKind::State, text);
}

} // namespace pellorin_py
