// import pellorin: the board from Python scripts and notebooks, on the program's widget-free
// libraries.

#include "bindings.h"

#include <QCoreApplication>

#include <clocale>
#include <string>

namespace pellorin_py {

void EnsureApplication() {
    if (QCoreApplication::instance())
        return;
    // Qt sets the C locale from the environment; Python's stays as it was.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    static int argc = 1;
    static char name[] = "pellorin";
    static char *argv[] = {name, nullptr};
    // Kept for the life of the process, as an application object is.
    new QCoreApplication(argc, argv);
    std::setlocale(LC_ALL, locale.c_str());
}

} // namespace pellorin_py

PYBIND11_MODULE(pellorin, module) {
    module.doc() =
        "The ADC evaluation board from Python, on Pellorin's own libraries.\n\n"
        "pellorin.detect() lists the boards on the serial ports; pellorin.open() opens one (or a\n"
        "virtual board: open(simulate=\"VXC5420\")) as a Board, which reads and writes the chip's\n"
        "registers, acquires samples as numpy arrays, streams them, captures them to HDF5 or CSV\n"
        "files and scans the inputs, with the same rules and messages as the Pellorin window and\n"
        "pellorin-cli. noise_figures() and spectrum() are the analysis window's figures;\n"
        "read_capture() reads a capture back. open_all() opens every board found, and\n"
        "capture_all() captures on all of them at once, on one clock, a file each.\n\n"
        "Errors raise NoBoardError, ExchangeError (with the link's result code), ChecksumError\n"
        "(with the item's index and the good samples before it) and FileError (with the path and\n"
        "the cause), each carrying the program's own message; broken rules raise ValueError.\n"
        "Ctrl-C stops any call within about 0.1 s while the board answers, and leaves the board\n"
        "clean. The GIL is released while the board is waited for.";
    module.attr("__version__") = PELLORIN_VERSION_TEXT;
    pellorin_py::BindErrors(module);
    pellorin_py::BindBoard(module);
    pellorin_py::BindOpenAll(module);
    pellorin_py::BindCaptureAll(module);
    pellorin_py::BindAnalysis(module);
    pellorin_py::BindLongRun(module);
    pellorin_py::BindVirtualBoard(module);
}
