// pellorin.detect, pellorin.open and the Board a script holds.

#include "bindings.h"
#include "board.h"
#include "capture_args.h"
#include "detection.h"

#include "capture/block_plan.h"
#include "link/frames.h"
#include "scan/scan_figures.h"
#include "scan/scan_inputs.h"

#include <pybind11/stl.h>

#include <cmath>

namespace pellorin_py {

namespace {
Board &Open(Board &board) {
    if (!board.isOpen())
        throw State(QStringLiteral("the board is closed"));
    return board;
}

py::dict RegisterDict(const cli::ChipSupport &chip, const std::vector<uint8_t> &image) {
    py::dict registers;
    for (size_t address = 0; address < image.size(); ++address)
        registers[py::str(chip.registerNames[address])] = image[address];
    return registers;
}

// Volts per code for to_volts; ValueError where the facts give none.
double VoltsPerCode(const Board &board) {
    const conversion::ConversionFacts facts = board.facts();
    if (const double lsb = conversion::ClaimedVoltsPerCode(facts); lsb > 0)
        return lsb;
    if (!facts.modeKnown && facts.voltsPerCode > 0)
        throw Value(QStringLiteral("%1: %2; no volts before command(\"set-mode\", n)")
                        .arg(QLatin1String(board.chip().name), QString::fromStdString(facts.mode)));
    throw Value(QStringLiteral("%1: the gain is not known (the registers could not be read); no "
                               "volts")
                    .arg(QLatin1String(board.chip().name)));
}

std::vector<scan::ScanInput> ScanInputs(const panel_common::MuxLayout &mux, const char *chipName,
                                        const py::handle &inputs) {
    std::vector<scan::ScanInput> chosen;
    if (py::isinstance<py::str>(inputs)) {
        const QString text = Text(inputs.cast<std::string>());
        if (text == QLatin1String("single-ended")) {
            chosen = scan::SingleEndedInputs(mux);
            if (chosen.empty())
                throw Value(QStringLiteral("scan \"single-ended\": the %1 has no common input")
                                .arg(QLatin1String(chipName)));
            return chosen;
        }
        if (text == QLatin1String("pairs"))
            return scan::PairInputs(mux);
        QString error;
        if (!scan::ParseInputList(mux, text, chosen, error))
            throw Value(error);
        return chosen;
    }
    // A list of (AIN+, AIN-) name pairs.
    QStringList pairs;
    for (const py::handle pair : inputs) {
        const auto names = pair.cast<std::pair<std::string, std::string>>();
        pairs << QStringLiteral("%1-%2").arg(Text(names.first), Text(names.second));
    }
    QString error;
    if (!scan::ParseInputList(mux, pairs.join(u','), chosen, error))
        throw Value(error);
    return chosen;
}

py::dict RowDict(const panel_common::MuxLayout &mux, const scan::ScanRow &row, double lsbVolts) {
    const scan::RowFigures f = scan::SummarizeRow(row);
    const double uv = lsbVolts > 0 ? lsbVolts * 1e6 : std::nan("");
    py::dict d;
    d["positive"] = Str(panel_common::InputName(mux, row.input.positive));
    d["negative"] = Str(panel_common::InputName(mux, row.input.negative));
    d["repeats"] = f.repeats;
    d["samples"] = f.samples;
    d["mean_codes"] = f.mean;
    d["mean_uv"] = f.mean * uv;
    d["std_dev_codes"] = f.stdDev;
    d["std_dev_uv"] = f.stdDev * uv;
    d["peak_to_peak_codes"] = f.peakToPeak;
    d["effective_bits"] = f.effectiveBits;
    d["noise_free_bits"] = f.noiseFreeBits;
    d["minimum"] = f.minimum;
    d["maximum"] = f.maximum;
    d["clipped"] = f.clipped;
    d["mean_spread_codes"] = f.meanSpread;
    d["std_dev_spread_codes"] = f.stdDevSpread;
    d["no_noise"] = f.noNoise;
    return d;
}

// The iterator board.stream() returns.
struct Stream {
    Board *board;
    py::object owner; // keeps the Board alive
    int token;
    int blockItems;
    int64_t blocksLeft; // -1: until the loop breaks
    int64_t nextIndex = 0;
    bool done = false;

    py::array_t<int32_t> next() {
        if (done || blocksLeft == 0)
            throw py::stop_iteration();
        std::vector<int32_t> codes;
        try {
            codes = WithoutGil([&](Interrupt &interrupt) {
                return board->nextBlock(token, blockItems, nextIndex, blocksLeft == 1, interrupt);
            });
        } catch (...) {
            done = true;
            throw;
        }
        nextIndex += blockItems;
        if (blocksLeft > 0)
            --blocksLeft;
        return ArrayOf(std::move(codes));
    }
};
} // namespace

void BindBoard(py::module_ &module) {
    // Classes first: the signatures in the docstrings name them.
    py::class_<Stream>(module, "Stream", "The blocks of board.stream(), an iterator.")
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__", &Stream::next)
        .def_readonly("block", &Stream::blockItems, "Samples per block.")
        .def(
            "close", [](Stream &s) { s.done = true; },
            "Ends the stream; the board's next call reads off what it still sends.");

    py::class_<Board>(module, "Board", R"(An open board. Use it as a context manager, or close() it.

Every method waits for the board with the GIL released; Ctrl-C stops it (KeyboardInterrupt)
and what the board still sends of a stopped request is read off before the next call.)")
        .def_property_readonly(
            "chip", [](Board &b) { return std::string(Open(b).chip().name); },
            "The chip on the board: \"VXC5480\" or \"VXC5420\".")
        .def_property_readonly(
            "port", [](Board &b) { return Open(b).port().toStdString(); },
            "The serial device the board answered on.")
        .def_property_readonly("closed", [](Board &b) { return !b.isOpen(); })
        .def_property_readonly(
            "registers",
            [](Board &b) {
                const std::vector<uint8_t> image = WithoutGil(
                    [&](Interrupt &interrupt) { return Open(b).readRegisters(interrupt); });
                return RegisterDict(b.chip(), image);
            },
            R"(The chip's registers read now, by name in address order: {"STATUS": 0x01, ...}.)")
        .def(
            "write",
            [](Board &b, const py::kwargs &registers) {
                std::vector<std::pair<QString, int64_t>> writes;
                for (const auto &[name, value] : registers) {
                    writes.emplace_back(Text(name.cast<std::string>()),
                                        py::isinstance<py::int_>(value) ? value.cast<int64_t>()
                                                                        : -1);
                }
                const std::vector<WrittenRegister> done = WithoutGil(
                    [&](Interrupt &interrupt) { return Open(b).write(writes, interrupt); });
                py::dict readBack;
                const py::object warn = py::module_::import("warnings").attr("warn");
                for (const WrittenRegister &row : done) {
                    readBack[py::str(b.chip().registerNames[static_cast<size_t>(row.address)])] =
                        row.readBack;
                    if (!row.note.isEmpty())
                        warn(Str(row.note), py::module_::import("builtins").attr("UserWarning"), 2);
                }
                return readBack;
            },
            R"(Writes registers by name (or profile key): write(MUX=0x23, DRATE=0x82).

Every name and value (0 to 255) is checked before the first write; a broken one raises
ValueError with the program's message ("VXC5480 has no register FOO"). Each register is then
written and read back; returns the values read back. A read-back that differs (read-only
bits) is a UserWarning, not an error. A failed exchange raises ExchangeError.)")
        .def(
            "command",
            [](Board &b, const std::string &name, int argument) {
                WithoutGil([&](Interrupt &interrupt) {
                    Open(b).command(Text(name), argument, interrupt);
                });
            },
            py::arg("name"), py::arg("argument") = 0,
            R"(Sends a chip command by its pellorin-cli name: "self-offset", "standby" ... on the
VXC5480, "set-mode" with the mode 1 to 4 on the VXC5420. Raises ExchangeError with the panel's
message when the board refuses it.)")
        .def_property_readonly(
            "facts",
            [](Board &b) {
                return FactsDict(WithoutGil(
                    [&](Interrupt &interrupt) { return Open(b).freshFacts(interrupt); }));
            },
            R"(The chip core's conversion facts of the registers read now, at the reference
set and, for the VXC5420, in the mode last set through command("set-mode", n).

Named as the capture files record them: reference_volts, reference_source ("given" or
"default"), mode (VXC5420), pga_gain, data_rate_sps, volts_per_code; then mode_known,
span_volts, span_per_reference, settling_conversions, reference_min_volts,
reference_max_volts. A VXC5420 whose mode was not set has its gain and rate read from CR1,
which may not be what it converts with: they are pga_gain_from_registers,
data_rate_sps_from_registers and volts_per_code_from_registers, and mode says so.)")
        .def_property(
            "reference", [](Board &b) { return b.reference(); },
            [](Board &b, std::optional<double> volts) { Open(b).setReference(volts); },
            R"(The reference in volts the facts use; None for the chip's default. Within the
chip's bounds (board.facts["reference_min_volts"] to ["reference_max_volts"]), else
ValueError naming them.)")
        .def(
            "acquire",
            [](Board &b, int count) {
                if (count < 1 || count > kMaxItemsPerRequest)
                    throw Value(QStringLiteral("count must be a number from 1 to %1")
                                    .arg(kMaxItemsPerRequest));
                return ArrayOf(WithoutGil(
                    [&](Interrupt &interrupt) { return Open(b).acquire(count, interrupt); }));
            },
            py::arg("count") = 1000,
            R"(One acquisition of count samples (1 to 65535) as a numpy int32 array of codes.

The registers are read first, as the window does, and to_volts() uses their facts. A bad item
raises ChecksumError (its index, the good samples before it); a missing one ExchangeError
("Get item 5 failed !").)")
        .def(
            "to_volts",
            [](Board &b, const py::handle &codes) {
                const py::array_t<int32_t, py::array::c_style> in = CodesArray(codes);
                const double lsb = VoltsPerCode(Open(b));
                py::array_t<double> volts(in.size());
                const int32_t *from = in.data();
                double *to = volts.mutable_data();
                for (py::ssize_t i = 0; i < in.size(); ++i)
                    to[i] = from[i] * lsb;
                return volts;
            },
            py::arg("codes"),
            R"(Codes to volts (float64) with the facts of the registers as last read.

ValueError where those give no volts: a VXC5420 whose mode was not set (its gain would be a
guess from CR1; command("set-mode", n) first), or registers that could not be read.)")
        .def(
            "stream",
            [](py::object self, double seconds, const py::object &block, const py::object &blocks) {
                Board &b = Open(self.cast<Board &>());
                // Given as Python objects: None or a number.
                const int64_t items = block.is_none() ? 0 : block.cast<int64_t>();
                const int64_t limit = blocks.is_none() ? -1 : blocks.cast<int64_t>();
                if (!block.is_none() && (items < 1 || items > kMaxItemsPerRequest))
                    throw Value(QStringLiteral("block must be a number from 1 to %1")
                                    .arg(kMaxItemsPerRequest));
                if (!blocks.is_none() && limit < 0)
                    throw Value(QStringLiteral("blocks must be 0 or more"));
                if (block.is_none() && !(std::isfinite(seconds) && seconds > 0))
                    throw Value(QStringLiteral("seconds must be more than 0"));
                const int token =
                    WithoutGil([&](Interrupt &interrupt) { return b.beginStream(interrupt); });
                int blockItems = static_cast<int>(items);
                if (block.is_none()) {
                    const double rate = b.facts().dataRateSps;
                    if (!(rate > 0))
                        throw Value(QStringLiteral("the data rate is not known: give block="));
                    // The capture's rule: what reaches the program in that time, which the wire
                    // caps at 2880 items a second whatever the chip's rate.
                    blockItems = capture::BlockItemsFor(seconds, rate);
                }
                return Stream{&b, self, token, blockItems, limit};
            },
            py::arg("seconds") = 1.0, py::kw_only(), py::arg("block") = py::none(),
            py::arg("blocks") = py::none(),
            R"(Samples block after block as numpy int32 arrays, until the loop breaks.

A block holds `seconds` of conversions as they reach the program (the data rate the
registers show, at most the wire's 2880 a second; at most 65535), or `block` samples; `blocks` ends the stream after that many. The next block is asked for as
soon as one is in, so the board streams on while the loop works. Any other call on the board
ends the stream; what the board still sends of it is read off first.)")
        .def(
            "capture",
            [](Board &b, const std::string &path, const py::object &duration,
               std::optional<int64_t> samples, const py::object &split, std::optional<int> block,
               std::optional<std::string> format, bool force, const py::object &reconnectWithin) {
                const capture::CaptureSettings settings = CaptureSettingsOf(
                    path, duration, samples, split, block, format, force, reconnectWithin);
                QString file;
                const capture::CaptureResult result = WithoutGil([&](Interrupt &interrupt) {
                    return Open(b).capture(settings, interrupt, file);
                });
                return CaptureSummary(result, file);
            },
            py::arg("path"), py::kw_only(), py::arg("duration") = py::none(),
            py::arg("samples") = py::none(), py::arg("split") = py::none(),
            py::arg("block") = py::none(), py::arg("format") = py::none(), py::arg("force") = false,
            py::arg("reconnect_within") = 0,
            R"(The continuous capture to an HDF5 (.h5) or CSV (.csv) file, as the window runs it.

duration  seconds or "H:MM:SS"; samples: a count; neither: until Ctrl-C.
split     seconds or "H:MM:SS": a new numbered file (run_0001.h5, ...) at that interval.
block     items per request (1 to 65535); None: about a second of conversions at the data
          rate the registers show. format "h5" or "csv" (default: by the suffix).
force     replace an existing file (refused otherwise, before the board is touched; with a
          split, every numbered file of the name already there counts).
reconnect_within  seconds or "H:MM:SS" a lost board (a hang-up, a read error, a board silent
          past the reply time limit) is waited for, looked for every second at its port or
          where its identity is now; its registers (and the mode set through this Board) are
          brought back as at the start. The gap is recorded in the file and the capture goes
          on. 0 (the default): the loss ends the capture with ExchangeError, as before.

The files record the codes, each sample's time (time_s) and the facts of board.facts at the
start. 
Ctrl-C stops it after the item in flight: what arrived is written, the file closed with
stopped_by "user", then KeyboardInterrupt. Returns the summary: stopped_by, samples, seconds,
blocks, files, dead_seconds, longest_dead_seconds, clipped_samples (at either code limit),
path (the last file), losses (one dict per loss: start_utc, start_s, cause, length_s,
lost_conversions) and lost_seconds.)")
        .def(
            "scan",
            [](Board &b, const py::object &inputs, int count, std::optional<int> discard,
               int repeat) {
                Board &board = Open(b);
                const cli::ChipSupport &chip = board.chip();
                if (!chip.mux)
                    throw Value(QStringLiteral("this build has no input multiplexer for %1")
                                    .arg(QLatin1String(chip.name)));
                scan::ScanSettings settings;
                settings.inputs = ScanInputs(*chip.mux, chip.name, inputs);
                settings.count = count;
                settings.repeats = repeat;
                conversion::ConversionFacts facts;
                const scan::ScanOutcome outcome = WithoutGil([&](Interrupt &interrupt) {
                    return board.scan(settings, discard, interrupt, facts);
                });
                const double lsb = scan::ScanVoltsPerCode(facts);
                py::list rows;
                for (const scan::ScanRow &row : outcome.rows)
                    rows.append(RowDict(*chip.mux, row, lsb));
                return rows;
            },
            py::arg("inputs") = "pairs", py::kw_only(), py::arg("count") = 1000,
            py::arg("discard") = py::none(), py::arg("repeat") = 1,
            R"(The input scan: per input a MUX write and one acquisition, one dict per input.

inputs   "single-ended" (each input against AINCOM), "pairs" (AIN0-AIN1, AIN2-AIN3 ...),
         "AIN0-AIN1,AIN3-AINCOM", or a list of (AIN+, AIN-) names.
count    samples kept per input; repeat: passes.
discard  samples dropped after each switch; None: the conversions the chip still settles at
         the data rate the registers show (settling_conversions of board.facts).

Each row has positive, negative, repeats, samples, mean_codes, mean_uv, std_dev_codes,
std_dev_uv, peak_to_peak_codes, effective_bits, noise_free_bits, minimum, maximum, clipped,
mean_spread_codes, std_dev_spread_codes, no_noise; mean_uv and std_dev_uv are NaN where the
facts give no volts. MUX is put back when the scan ends, fails
or is stopped; Ctrl-C takes effect after the acquisition in flight.)")
        .def(
            "load_profile",
            [](Board &b, const std::string &path, bool lenient) {
                WithoutGil([&](Interrupt &interrupt) {
                    Open(b).loadProfile(Text(path), lenient, interrupt);
                });
            },
            py::arg("path"), py::kw_only(), py::arg("lenient") = false,
            R"(Writes the registers of a profile file (INI) to the chip, in address order, as the
"All Regs" Write sends them. A profile of the other chip, or (unless lenient) one whose
register values are missing or unreadable, raises FileError before the board is touched.)")
        .def(
            "save_profile",
            [](Board &b, const std::string &path) {
                WithoutGil(
                    [&](Interrupt &interrupt) { Open(b).saveProfile(Text(path), interrupt); });
            },
            py::arg("path"),
            "Saves the chip's registers, read now, as a profile file; other lines of an existing "
            "file stay.")
        .def(
            "close",
            [](Board &b) {
                // From any thread: a call in flight on the Board's own thread ends first.
                const py::gil_scoped_release release;
                b.close();
            },
            "Closes the port at once, without waiting for what the board still sends of a "
            "stopped request, and stops a virtual board. From any thread: a call running on the "
            "Board's thread ends first.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__",
             [](Board &b, const py::args &) {
                 const py::gil_scoped_release release;
                 b.close();
                 return false;
             })
        .def("__repr__", [](Board &b) {
            if (!b.isOpen())
                return std::string("<pellorin.Board closed>");
            return "<pellorin.Board " + std::string(b.chip().name) + " on " +
                   b.port().toStdString() + ">";
        });

    module.def(
        "detect",
        [](std::optional<std::vector<std::string>> ports, bool system) {
            EnsureApplication();
            QStringList paths;
            for (const std::string &port : ports.value_or(std::vector<std::string>{}))
                paths << Text(port);
            const std::vector<DetectedBoard> found =
                WithoutGil([&](Interrupt &interrupt) { return Detect(paths, system, interrupt); });
            std::vector<std::pair<std::string, std::string>> list;
            for (const DetectedBoard &board : found)
                list.emplace_back(board.port.toStdString(), board.chip.toStdString());
            return list;
        },
        py::arg("ports") = py::none(), py::kw_only(), py::arg("system") = true,
        R"(The boards that answer, as (port, chip) pairs: [("/dev/ttyACM0", "VXC5480")].

Tries the ports given, then (system=True) the serial devices the system lists, USB ones first.
Each port is asked the handshake's first command for each chip and closed again. A silent port
costs the link's 3 s time limit. Ports that an open Board of this process holds are passed
over.)");

    module.def(
        "open",
        [](std::optional<std::string> port, std::optional<std::string> chip,
           std::optional<std::string> simulate, std::optional<std::string> signal,
           std::optional<std::string> pace, std::optional<double> reference) {
            EnsureApplication();
            OpenRequest request;
            request.port = Text(port.value_or(""));
            request.chip = Text(chip.value_or(""));
            request.simulate = Text(simulate.value_or(""));
            request.signal = Text(signal.value_or(""));
            request.pace = Text(pace.value_or(""));
            if (request.simulate.isEmpty() &&
                (!request.signal.isEmpty() || !request.pace.isEmpty()))
                throw Value(QStringLiteral("signal and pace go with simulate"));
            std::unique_ptr<Board> board =
                WithoutGil([&](Interrupt &interrupt) { return Board::open(request, interrupt); });
            board->setReference(reference);
            return board;
        },
        py::arg("port") = py::none(), py::kw_only(), py::arg("chip") = py::none(),
        py::arg("simulate") = py::none(), py::arg("signal") = py::none(),
        py::arg("pace") = py::none(), py::arg("reference") = py::none(),
        R"(Opens the board and returns it as a Board (a context manager).

port      the serial device ("/dev/ttyACM0"); None: the first board the system's devices hold.
chip      "VXC5480" or "VXC5420": the chip expected (a board of the other is refused); None:
          whichever answers.
simulate  "VXC5480" or "VXC5420": a virtual board of that chip, served in this process.
signal    with simulate: "sine:HZ:VOLTS" adds a sine to the inputs; "count" sends 0, 1, 2 ...
pace      with simulate: "none" (as fast as the line takes), "wire" (115200 baud) or "real"
          (the default, as the board: the chip's data rate too, items no faster than the line).
reference the reference in volts for the facts; None: the chip's default. Within the chip's
          bounds (board.facts["reference_min_volts"] to ["reference_max_volts"]), else
          ValueError naming them.

Runs the program's handshake ("Detect EVM") and reads the registers. Raises NoBoardError when
no board answers, with the reason for each port named. Several Boards may be open at once, one
per board; each is used from the thread that opened it. A port another Board of this process
holds raises RuntimeError.)");
}

} // namespace pellorin_py
