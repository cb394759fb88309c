// pellorin.capture_all and pellorin.BoardsFailed: one capture on many Boards at once.

#include "bindings.h"
#include "capture_all.h"
#include "capture_args.h"
#include "errors.h"

#include <pybind11/eval.h>
#include <pybind11/stl.h>

#include <set>

namespace pellorin_py {

namespace {
py::handle g_boardsFailed; // kept for the life of the interpreter, as the other exceptions

// The Python exception a C++ failure becomes, through the module's own translation.
py::object ExceptionOf(std::exception_ptr failure) {
    const py::cpp_function raise([failure] { std::rethrow_exception(failure); });
    try {
        raise();
    } catch (py::error_already_set &error) {
        return error.value();
    }
    return py::none();
}

void DefineBoardsFailed(py::module_ &module) {
    py::dict scope;
    scope["__builtins__"] = py::module_::import("builtins");
    scope["__name__"] = "pellorin";
    scope["Error"] = module.attr("Error");
    py::exec(R"(
class BoardsFailed(ExceptionGroup, Error):
    """Some boards of capture_all failed: .exceptions holds one exception per failed board (its
.port names the board, and a note says which), .results one entry per board in the order
given: the summary dict of a board that ended well, None for a failed one."""

    results = None
)",
             scope);
    g_boardsFailed = py::object(scope["BoardsFailed"]).release();
    module.attr("BoardsFailed") = g_boardsFailed;
}

std::vector<Board *> BoardsOf(const py::sequence &given) {
    std::vector<Board *> boards;
    std::set<Board *> seen;
    for (const py::handle item : given) {
        if (!py::isinstance<Board>(item))
            throw py::type_error("capture_all takes a list of pellorin.Board");
        Board *board = &item.cast<Board &>();
        if (!seen.insert(board).second)
            throw Value(QStringLiteral("%1 is in the list twice").arg(board->port()));
        boards.push_back(board);
    }
    if (boards.empty())
        throw Value(QStringLiteral("capture_all needs at least one Board"));
    return boards;
}
} // namespace

void BindCaptureAll(py::module_ &module) {
    DefineBoardsFailed(module);
    module.def(
        "capture_all",
        [](const py::sequence &given, const std::string &path, const py::object &duration,
           std::optional<int64_t> samples, const py::object &split, std::optional<int> block,
           std::optional<std::string> format, bool force, const py::object &reconnectWithin) {
            const std::vector<Board *> boards = BoardsOf(given);
            const capture::CaptureSettings settings = CaptureSettingsOf(
                path, duration, samples, split, block, format, force, reconnectWithin);
            // Every Board is handed over before any starts: one that cannot be refuses the call.
            for (Board *board : boards)
                board->handOver();
            const std::vector<BoardCaptureEnd> ends = WithoutGil(
                [&](Interrupt &interrupt) { return CaptureAll(boards, settings, interrupt); });
            py::list results;
            py::list failures;
            QStringList failed;
            for (size_t i = 0; i < ends.size(); ++i) {
                const BoardCaptureEnd &end = ends[i];
                if (!end.failure) {
                    results.append(CaptureSummary(*end.result, end.file));
                    continue;
                }
                results.append(py::none());
                const QString port = boards[i]->port();
                py::object failure = ExceptionOf(end.failure);
                failure.attr("port") = Str(port);
                failure.attr("add_note")(
                    Str(QStringLiteral("board %1 (%2)")
                            .arg(port, QLatin1String(boards[i]->chip().name))));
                failures.append(failure);
                failed << port;
            }
            if (failures.empty())
                return results;
            py::object group =
                g_boardsFailed(Str(QStringLiteral("capture_all: %1 of %2 boards failed (%3)")
                                       .arg(failed.size())
                                       .arg(ends.size())
                                       .arg(failed.join(QStringLiteral(", ")))),
                               failures);
            group.attr("results") = results;
            PyErr_SetObject(g_boardsFailed.ptr(), group.ptr());
            throw py::error_already_set();
        },
        py::arg("boards"), py::arg("path"), py::kw_only(), py::arg("duration") = py::none(),
        py::arg("samples") = py::none(), py::arg("split") = py::none(),
        py::arg("block") = py::none(), py::arg("format") = py::none(), py::arg("force") = false,
        py::arg("reconnect_within") = 0,
        R"(One continuous capture on every Board of the list at once, as Board.capture runs it.

Each board writes its own files, named from path as pellorin-cli --all-boards names them:
night.h5 becomes night_board-ttyUSB0.h5 for /dev/ttyUSB0 (the port's file name; a name two
boards share gets "-2", ...). The keyword arguments are Board.capture's, for every board.

Each board runs on a thread of its own; the boards start streaming together, once every one
is ready (files checked, registers read), on one clock: their files record the same
run_start_utc and their time_s line up. A Board belongs to the first thread that calls it: a
Board this thread owns, or one nobody owns yet (open_all), is handed to its worker and given
back at the end (the next thread that makes a call on it takes it).

Ctrl-C stops every board after its item in flight: each file is closed with stopped_by
"user", then KeyboardInterrupt. Returns one summary dict per board, in the order given (see
Board.capture). When some boards failed, raises BoardsFailed (an ExceptionGroup and a
pellorin.Error) once every board has ended: one exception per failed board, whose .port names
it, and .results with the others' summaries (None where a board failed).)");
}

} // namespace pellorin_py
