// pellorin.VirtualBoard: the program's virtual board for tests and demonstrations, with its
// faults, on a pseudo-terminal of its own that pellorin.open(port) reaches like a real board.

#include "bindings.h"
#include "errors.h"
#include "simulation.h"

#include <pybind11/stl.h>

#include <chrono>
#include <cmath>
#include <map>

namespace pellorin_py {

namespace {
struct Virtual {
    std::unique_ptr<sim::VirtualBoard> board;

    sim::VirtualBoard &get() {
        if (!board)
            throw State(QStringLiteral("the virtual board is stopped"));
        return *board;
    }
};
} // namespace

void BindVirtualBoard(py::module_ &module) {
    py::class_<Virtual>(module, "VirtualBoard",
                        R"(The virtual board on a pseudo-terminal of its own, served from a thread
of this process: pellorin.open(board.port) reaches it as a real board. For tests and
demonstrations; set_faults() makes it misbehave as a real one can.)")
        .def(py::init([](const std::string &chip, const std::string &pace,
                         std::optional<std::string> signal) {
                 return Virtual{
                     StartVirtualBoard(Text(chip), Text(signal.value_or("")), Text(pace))};
             }),
             py::arg("chip") = "VXC5480", py::kw_only(), py::arg("pace") = "none",
             py::arg("signal") = py::none(),
             "chip \"VXC5480\" or \"VXC5420\"; pace \"none\", \"wire\" or \"real\"; signal "
             "\"sine:HZ:VOLTS\" or \"count\".")
        .def_property_readonly(
            "port", [](Virtual &v) { return v.get().linkPath(); },
            "The device path to open: a stable link to the board's pseudo-terminal, as a USB "
            "bridge's name under /dev/serial/by-id/, the same after an unplug.")
        .def(
            "unplug",
            [](Virtual &v, double seconds, bool reset) {
                if (!(seconds >= 0 && seconds < 1e6))
                    throw Value(QStringLiteral("seconds must be 0 or more"));
                v.get().unplug(std::chrono::milliseconds(std::llround(seconds * 1000)), reset);
            },
            py::arg("seconds"), py::kw_only(), py::arg("reset") = false,
            R"(Pulls the board out for seconds, returning at once: the line hangs up, and the board
comes back behind the same port afterwards; with reset, its chip as it powers up.)")
        .def(
            "set_faults",
            [](Virtual &v, bool silent, int badItem, int stopAfterItems, int hangUpAfterItems,
               int replyDelayMs, std::map<int, int> statusForCommand) {
                sim::Faults faults;
                faults.silent = silent;
                faults.badItemIndex = badItem;
                faults.stopAfterItems = stopAfterItems;
                faults.hangUpAfterItems = hangUpAfterItems;
                faults.replyDelayMs = replyDelayMs;
                faults.statusForCommand = std::move(statusForCommand);
                v.get().setFaults(faults);
            },
            py::kw_only(), py::arg("silent") = false, py::arg("bad_item") = -1,
            py::arg("stop_after_items") = -1, py::arg("hang_up_after_items") = -1,
            py::arg("reply_delay_ms") = 0, py::arg("status_for_command") = std::map<int, int>{},
            R"(Makes the board misbehave from now on (the defaults are a healthy board):
silent (takes frames, answers none), bad_item (this item of each acquisition carries a wrong
checksum), stop_after_items (the stream falls silent), hang_up_after_items (the line hangs
up), reply_delay_ms, status_for_command ({command code: status}).)")
        .def(
            "register", [](Virtual &v, int address) { return v.get().registerValue(address); },
            py::arg("address"), "What the chip's register holds now.")
        .def(
            "idle", [](Virtual &v) { return v.get().idle(); },
            "Nothing queued or streaming, and every byte sent was read.")
        .def(
            "close", [](Virtual &v) { v.board.reset(); }, "Stops the board.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](Virtual &v, const py::args &) {
            v.board.reset();
            return false;
        });
}

} // namespace pellorin_py
