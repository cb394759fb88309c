// The module's exceptions, and the translation of the C++ ones into them.

#include "bindings.h"
#include "errors.h"

namespace pellorin_py {

namespace {
// Kept for the life of the interpreter: module objects outlive any static destructor.
py::handle g_error, g_noBoard, g_exchange, g_checksum, g_file, g_state, g_rule;

py::handle MakeClass(py::module_ &module, const char *name, const char *doc, py::handle base) {
    const std::string qualified = std::string("pellorin.") + name;
    const py::handle type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, base.ptr(), nullptr);
    module.attr(name) = type;
    return type;
}

void Raise(py::handle type, const py::object &instance) {
    PyErr_SetObject(type.ptr(), instance.ptr());
}

void RaiseBoardError(const BoardError &error) {
    const py::str text(error.what());
    switch (error.kind) {
    case ErrorKind::NoBoard:
        Raise(g_noBoard, g_noBoard(text));
        return;
    case ErrorKind::Exchange: {
        py::object instance = g_exchange(text);
        instance.attr("code") = error.code;
        Raise(g_exchange, instance);
        return;
    }
    case ErrorKind::Checksum: {
        py::object instance = g_checksum(text);
        instance.attr("code") = error.code;
        instance.attr("index") = error.index;
        py::array_t<int32_t> good(static_cast<py::ssize_t>(error.goodCodes.size()));
        std::copy(error.goodCodes.begin(), error.goodCodes.end(), good.mutable_data());
        instance.attr("good") = good;
        Raise(g_checksum, instance);
        return;
    }
    case ErrorKind::File: {
        py::object instance = g_file(text);
        instance.attr("path") = Str(error.path);
        instance.attr("cause") = Str(error.cause);
        Raise(g_file, instance);
        return;
    }
    case ErrorKind::Value:
        PyErr_SetString(g_rule.ptr(), error.what());
        return;
    case ErrorKind::State:
        PyErr_SetString(g_state.ptr(), error.what());
        return;
    }
}
} // namespace

void BindErrors(py::module_ &module) {
    g_error = MakeClass(module, "Error", "Base of the errors the board and its files raise.",
                        PyExc_Exception);
    g_noBoard = MakeClass(module, "NoBoardError",
                          "No board answered: the program's message (\"Can't find VXC5480 !\"), "
                          "then why each port named gave none.",
                          g_error);
    g_exchange = MakeClass(module, "ExchangeError",
                           "An exchange with the board failed: the program's message, and the "
                           "link's result code in .code (997 time-out, 30 short read, 13 bad "
                           "reply, 6 no port, 4096 + the port's error for others).",
                           g_error);
    g_checksum = MakeClass(module, "ChecksumError",
                           "An item's checksum was wrong: .index is the item (counted from 0), "
                           ".good the samples before it (numpy int32), .code 13.",
                           g_exchange);
    g_file = MakeClass(module, "FileError",
                       "A file could not be read or written: .path and .cause (\"No space left "
                       "on device\"); the message is \"PATH: cause\".",
                       g_error);
    // Also Python's own kinds, so that "except pellorin.Error" catches every failure of the
    // module and "except ValueError" a broken rule.
    g_state = MakeClass(module, "StateError",
                        "The Board cannot take the call now: closed, used from another thread or "
                        "process, a stream that has ended, a port another Board holds.",
                        py::make_tuple(g_error, py::handle(PyExc_RuntimeError)));
    g_rule = MakeClass(module, "RuleError",
                       "An argument breaks a rule of the chip or the call: the message says which "
                       "and what is allowed.",
                       py::make_tuple(g_error, py::handle(PyExc_ValueError)));
    py::register_exception_translator([](std::exception_ptr failure) {
        try {
            if (failure)
                std::rethrow_exception(failure);
        } catch (const BoardError &error) {
            RaiseBoardError(error);
        }
    });
}

} // namespace pellorin_py
