// pellorin.open_all: a list of Boards, found or simulated.

#include "bindings.h"
#include "board.h"
#include "errors.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

namespace pellorin_py {

namespace {
QStringList Texts(const std::optional<std::vector<std::string>> &texts) {
    QStringList list;
    for (const std::string &text : texts.value_or(std::vector<std::string>{}))
        list << Text(text);
    return list;
}
} // namespace

void BindOpenAll(py::module_ &module) {
    module.def(
        "open_all",
        [](std::optional<std::vector<std::string>> simulate,
           std::optional<std::vector<std::string>> ports, std::optional<std::string> chip,
           std::optional<std::string> signal, std::optional<std::string> pace, bool system) {
            EnsureApplication();
            OpenAllRequest request;
            request.simulate = Texts(simulate);
            request.ports = Texts(ports);
            request.chip = Text(chip.value_or(""));
            request.signal = Text(signal.value_or(""));
            request.pace = Text(pace.value_or(""));
            request.scanSystem = system;
            if (request.simulate.isEmpty() &&
                (!request.signal.isEmpty() || !request.pace.isEmpty()))
                throw Value(QStringLiteral("signal and pace go with simulate"));
            std::vector<std::unique_ptr<Board>> boards = WithoutGil(
                [&](Interrupt &interrupt) { return Board::openAll(request, interrupt); });
            py::list list;
            for (std::unique_ptr<Board> &board : boards)
                list.append(py::cast(std::move(board)));
            return list;
        },
        py::arg("simulate") = py::none(), py::arg("ports") = py::none(), py::kw_only(),
        py::arg("chip") = py::none(), py::arg("signal") = py::none(), py::arg("pace") = py::none(),
        py::arg("system") = true,
        R"(Opens every board found and returns them as a list of Boards (maybe empty).

simulate  chip names, e.g. ["VXC5480", "VXC5420"]: one virtual board for each, served in this
          process, each with its own serial, port and inputs (its samples differ from the
          others'); each Board owns its virtual board and stops it when closed.
ports     the serial devices to try; None: the system's devices (none when simulate is given).
chip      "VXC5480" or "VXC5420": boards of this chip only; None: every chip.
signal    with simulate: as for open(), on every virtual board.
pace      with simulate: as for open().
system    False: never the system's devices.

Each board found is opened as open() opens it: the handshake runs and the registers are read.
Ports that an open Board of this process holds are passed over. Each Board belongs to the first
thread that makes a call on it, so one thread may open them all and hand each to a thread of
its own.)");
}

} // namespace pellorin_py
