#include "help_text.h"

#include "chips/tables/chip_table.h"

#include "acquisition/data_count.h"
#include "capture/capture_settings.h"
#include "link/chip_catalog.h"
#include "link/frames.h"
#include "scan/scan_inputs.h"

#include <QStringList>

#include <deque>

namespace cli {

namespace {
const char *const kName = "pellorin-cli";
const char *const kSummary = "the EVM board from scripts and test rigs";
const char *const kDescription =
    "pellorin-cli reaches the EVM board through the same libraries as the Pellorin window: "
    "it finds the board with the same handshake, reads and writes the chip's registers, sends "
    "its commands, takes conversion results with their checksums and writes the same data and "
    "profile files.\n\n"
    "Results go to standard output; the program's messages go to standard error, one per "
    "line after \"pellorin-cli: \". A progress line is drawn on standard error while an "
    "acquisition runs, when standard error is a terminal.\n\n"
    "Every command but firmware-update first finds the board: the ports given with --port, "
    "then (unless --no-scan) the serial devices of the system, at most 256; the first that "
    "answers the handshake for the expected chip is used.\n\n"
    "Every file is written whole or not at all: the bytes go to a new file beside it, which "
    "takes the old one's place only once all of it is on the disk. A file that cannot be read "
    "or written is named with the cause (pellorin-cli: PATH: reason), and the files a command "
    "will write are checked before the board is touched.\n\n"
    "Every number (a register's address or value, a count, a command's argument, seconds) is "
    "decimal, or hexadecimal after 0x, with any number of leading zeros and no blanks; one "
    "out of its range is refused with the range: \"WHAT must be a number from LOWEST to "
    "HIGHEST (decimal or 0x hex)\". An option's value never begins with \"--\": \"--port "
    "--json\" is refused, not taken for a port named --json. Every option but --port is "
    "given once: \"--out a --out b\" is refused.\n\n"
    "Results are written to files before standard output, so a reader that has gone "
    "(pellorin-cli scan --out F | head -1) costs no file; the write to standard output then "
    "fails with exit status 6 (\"standard output: Broken pipe\").";

// A text made once from the chips' own names and numbers, kept for the program's life (the
// entries point into it).
const char *made(const QString &text) {
    static std::deque<QByteArray> texts;
    texts.push_back(text.toLatin1());
    return texts.back().constData();
}

QString chipNames(const char *separator) {
    return QString::fromStdString(ChipNames(separator));
}

QString firstChip() {
    return QLatin1String(ChipTable().front().name);
}

// Phrases that list every chip of the table: "A on the VXC5480, B on the VXC5420".
template <typename Phrase> QString perChip(Phrase phrase) {
    QStringList parts;
    for (const ChipSupport &chip : ChipTable()) {
        const QString part = phrase(chip);
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QStringLiteral(", "));
}

// "AIN0 to AIN7 and AINCOM", "AIN0 and AIN1": a chip's input names from its core's MuxLayout.
QString inputNames(const panel_common::MuxLayout &mux) {
    QStringList own;
    for (int input = 0; input < mux.inputCount; ++input) {
        if (input != mux.commonInput)
            own << panel_common::InputName(mux, input);
    }
    QString text = own.size() > 2 ? own.front() + QStringLiteral(" to ") + own.back()
                                  : own.join(QStringLiteral(" and "));
    if (mux.commonInput >= 0)
        text += QStringLiteral(" and ") + panel_common::InputName(mux, mux.commonInput);
    return text;
}

QString pairNames(const panel_common::MuxLayout &mux, const std::vector<scan::ScanInput> &pairs) {
    QStringList names;
    for (const scan::ScanInput &pair : pairs)
        names << panel_common::InputName(mux, pair.positive) + u'-' +
                     panel_common::InputName(mux, pair.negative);
    return names.join(QStringLiteral(", "));
}

QString commandList() {
    QStringList chips;
    for (const ChipSupport &chip : ChipTable()) {
        QStringList commands;
        for (const CommandEntry &command : chip.commands) {
            QString text = QLatin1String(command.name);
            if (command.maxArgument > 0)
                text += QStringLiteral(" %1..%2").arg(command.minArgument).arg(command.maxArgument);
            if (chip.lastMode > 0 && command.maxArgument == chip.lastMode)
                text += QStringLiteral(" (the position in the window's \"Mode\" list)");
            commands << text;
        }
        chips << QLatin1String(chip.name) + QStringLiteral(": ") +
                     commands.join(QStringLiteral(", ")) + u'.';
    }
    return chips.join(u' ');
}

// What --reference and --mode do, for the commands that take them.
QString conversionOptionsText(const char *what) {
    const QString references = perChip([](const ChipSupport &chip) {
        const conversion::ReferenceRange &range = chip.referenceRange;
        return QStringLiteral("%1 to %2 on the %3 (default %4)")
            .arg(range.minVolts)
            .arg(range.maxVolts)
            .arg(QLatin1String(chip.name))
            .arg(range.defaultVolts);
    });
    const QString modes = perChip([](const ChipSupport &chip) {
        if (chip.lastMode == 0 || !chip.facts)
            return QString();
        return QStringLiteral("%1 to %2 on the %3, as set with \"command set-mode\" (without it "
                              "the gain and rate are read from the registers, and the facts "
                              "say mode \"%4\")")
            .arg(chip.firstMode)
            .arg(chip.lastMode)
            .arg(QLatin1String(chip.name),
                 QString::fromStdString(chip.facts({}, 0, std::nullopt).mode));
    });
    return QStringLiteral("--reference V is the reference in volts for %1: %2. --mode N is the "
                          "mode the chip converts in: %3; a chip without modes refuses it. A "
                          "gain that was only read from the registers is never claimed: the "
                          "volts are left out and the recorded gain, rate and volts per code "
                          "say _from_registers in their names.")
        .arg(QLatin1String(what), references, modes);
}
} // namespace

const std::vector<HelpEntry> &OptionHelp() {
    static const std::vector<HelpEntry> options = {
        {"--port", "--port PATH",
         "Try this serial device first. May be given several times; the devices are tried in "
         "the order given, before those the system lists. When no board is found, each of "
         "these devices is named with the reason: missing, not a serial device, permission "
         "denied, busy (another program, or a lock file left by a run that ended), its lock "
         "file cannot be written (the cause: a file-size limit, a full disk), no answer, or a "
         "board of the other chip."},
        {"--no-scan", "--no-scan",
         "Try only the devices given with --port (and the virtual board of --simulate), not "
         "the serial devices the system lists: a rig with several boards names the one it "
         "means, and a missing board is reported without waiting on other ports."},
        {"--simulate", made(QStringLiteral("--simulate[=CHIP[,CHIP...]]")),
         made(QStringLiteral("Serve a virtual board carrying the chip (%1 when none is named) "
                             "inside the program, paced as --pace says, and try it first. A "
                             "list of chips (%2) serves one virtual board for each, each with "
                             "its own signal, for --all-boards and detect --all.")
                  .arg(firstChip(), chipNames("|")))},
        {"--all-boards", "--all-boards",
         "Run the command (acquire, capture, scan, regs, set or profile load) on every board "
         "found, whatever its chip: the ports given with --port (and the virtual boards of "
         "--simulate) are the whole set; without them, every serial device of the system. Each "
         "board runs on its own thread, all started together (captures start streaming "
         "together and share one run start instant). Files are named per board from the name "
         "given: --out night.h5 gives night_board-ttyUSB0.h5 (then night_board-ttyUSB0_0002.h5 "
         "after it with --split). Standard error carries each board's messages and, every 10 "
         "s, its progress, each line naming its board. Standard output gives each board's "
         "result under a line naming it, then a table with a row per board (its exit status "
         "and how it ended) and the count of boards that succeeded; with --json one object per "
         "board ({\"board\", \"chip\", \"identity\", \"exitStatus\", \"messages\", "
         "\"result\": the board's result as the command prints it for one board}), then "
         "{\"summary\": {\"boards\", \"succeeded\", \"failed\", \"exitStatus\"}}. One "
         "board's failure ends only its own run. SIGINT or SIGTERM stops every capture and "
         "scan as for one board. Exit status 0 when every board succeeded, 7 when some failed, "
         "8 when none did, 3 when no board answered."},
        {"--pace", "--pace=real|wire|none",
         "How the virtual board of --simulate keeps time. real (the default): conversions at "
         "the chip's data rate, as the real board makes them, and items no faster than its "
         "115200-baud line; above what the line carries (2880 items a second) each item is the "
         "newest conversion, and conversions not read in time are lost. wire: items at the "
         "line's pace whatever the data rate. none: as fast as the program reads them, nothing "
         "lost. A 2-channel board starts at 10 SPS, so 1000 samples take 100 s at real pace."},
        {"--chip", made(QStringLiteral("--chip %1").arg(chipNames("|"))),
         made(QStringLiteral("The chip the board is expected to carry; the handshake names it. "
                             "Default: the simulated chip, else %1.")
                  .arg(firstChip()))},
        {"--json", "--json",
         "Machine-readable output: the result is one JSON object on one line. detect gives "
         "port, chip and chip id; regs, get and set give chip, port and the registers read "
         "(set: read back); acquire gives count and samples, or with --stats the figures; capture "
         "gives its summary, scan its rows, analyze its figures; with the figures, the summary "
         "and the rows come the conversion facts under the names the capture files give them "
         "(reference_volts, reference_source, mode, pga_gain ...). A "
         "command that prints no result (command, profile, firmware-update, acquire --out or "
         "--spectrum without --stats) refuses --json, as acquire refuses --json with --format. "
         "A run that fails before it prints its result (a usage error, a file refused, no "
         "board, a failed exchange) prints one object instead: {\"error\": its messages, one "
         "per line, \"exitStatus\": the exit status}. May also follow the command's name, "
         "once."},
        {"--help", "--help",
         "This text. After a command's name, that command's help (pellorin-cli COMMAND --help)."},
    };
    return options;
}

const std::vector<HelpEntry> &CommandHelp() {
    static const std::vector<HelpEntry> commands = {
        {"detect", "detect [--all] [--json]",
         "Runs the handshake over the candidate ports and prints the port that answered and "
         "the chip, separated by a tab.\n\n"
         "With --all, asks every candidate for every chip (--chip narrows it) and prints a "
         "table with a row per board found: port, chip, identity (the board's "
         "/dev/serial/by-id/ link or USB serial number where the system has them, else the "
         "port) and its registers as hex bytes; with --json one object per board: {\"port\", "
         "\"chip\", \"chipId\", \"identity\", \"registers\"}."},
        {"regs", "regs",
         "Reads every register of the chip and prints a table of address, name and value."},
        {"get", "get NAME|ADDR",
         "Reads one register, named as on the \"All Regs\" page (or by its profile key), or "
         "given by its address (decimal or 0x..), and prints its value as 0xNN."},
        {"set", "set NAME|ADDR=VALUE...",
         "Writes each register in the order given, reads it back and prints NAME=0xNN of the "
         "value read. VALUE is decimal or 0x.., 0 to 255. Every argument is checked before the "
         "first write. A read-back that differs from the value written (read-only bits) is "
         "noted on standard error and is not an error."},
        {"command", "command NAME [ARGUMENT]",
         made(QStringLiteral("Sends one of the chip's commands. %1 Nothing is read back.")
                  .arg(commandList()))},
        {"acquire",
         "acquire [--count N] [--out PREFIX] [--format txt|bin|csv] [--stats] "
         "[--spectrum FILE] [--window hann|blackman-harris] [--reference V] [--mode N]",
         made(QStringLiteral(
                  "Reads the chip's registers as the window does before every acquisition, takes N "
                  "conversion results (1 to %1, default %2) and checks every item's checksum.\n\n"
                  "With --out, writes PREFIX.bin (the items as received) and PREFIX.txt (one "
                  "\"%4\" sample per CR LF line), byte for byte the files of the window's \"Save "
                  "File\"; --format writes only PREFIX.txt, PREFIX.bin or PREFIX.csv. Existing "
                  "files are replaced: both files of the pair, or neither.\n\n"
                  "Without --out, --stats or --spectrum, the samples go to standard output: one "
                  "decimal number per line, the chosen format (bin gives the raw items), or with "
                  "--json one object of count and samples.\n\n"
                  "--stats prints count, minimum, maximum, average (as the window shows them), "
                  "peak-to-peak and the analysis window's noise figures: mean, RMS noise (codes), "
                  "effective and noise-free resolution (bits), skewness and excess kurtosis, then "
                  "clipped, the number of samples at either code limit (-8388608 or 8388607), the "
                  "RMS noise and peak-to-peak in microvolts (rms-noise-uv, peak-to-peak-uv; "
                  "rmsNoiseMicrovolts and peakToPeakMicrovolts in JSON) and the conversion facts "
                  "under the capture files' names. When the spectrum shows a tone, its figures "
                  "follow: tone-frequency (Hz), tone-amplitude (dBFS), snr, thd, sinad (dB), sfdr "
                  "(dBc) and enob (bits, referred to full scale); in JSON they are the object "
                  "\"tone\", null when there is none. Without --out, only these figures are "
                  "printed. A figure without a finite value (the resolutions of a record without "
                  "noise) is null, in text as in JSON. A clipped record is also told on standard "
                  "error: \"Clipped: N of M samples at the code limits\".\n\n"
                  "--spectrum FILE writes the analysis window's spectrum of the samples to FILE as "
                  "CSV, one line per bin: frequency_hz,dbfs (0 dBFS is a full-scale sine). It "
                  "needs a --count of 8 or more. --window chooses the window of the spectrum and "
                  "of the tone figures: hann (the default) or blackman-harris (4 terms). "
                  "Frequencies follow the data rate the chip's registers (and --mode) show when "
                  "they are read before the acquisition; when that read fails, the file's first "
                  "column is cycles_per_sample and the tone's frequency is in cycles per "
                  "sample.\n\n%3 --reference goes with --stats, --mode with --stats or "
                  "--spectrum.")
                  .arg(kMaxItemsPerRequest)
                  .arg(kDefaultDataCount)
                  .arg(conversionOptionsText("the microvolts"))
                  .arg(QLatin1String("%9d")))},
        {"capture",
         "capture --out FILE [--format h5|csv] [--block N] [--duration SECONDS|H:MM:SS] "
         "[--samples N] [--split H:MM:SS] [--reconnect-within SECONDS|H:MM:SS] [--force] "
         "[--reference V] [--mode N]",
         made(
             QStringLiteral(
                 "Captures samples continuously, block after block (N items per request, 1 to "
                 "%1; by default about one second of conversions at the chip's data rate, at most "
                 "the wire's %2 a second), to FILE: HDF5 (datasets codes, time_s and blocks, the "
                 "chip, register image and conversion facts as attributes) or CSV (# lines with "
                 "the same facts, then index,time_s,code,volts). time_s is each sample's time "
                 "since the start, from when its items arrived (the time_rule line or attribute "
                 "says how). The conversion facts are reference_volts, reference_source (given or "
                 "default), mode (on a chip with modes), pga_gain, data_rate_sps and "
                 "volts_per_code. The samples are written and synced to disk a fraction of a "
                 "second at a time, so a crash loses at most that. The capture uses the same "
                 "engine as the window's \"Continuous Capture...\".\n\n"
                 "It runs until --duration has passed (SECONDS, 1 to 999999999, or H:MM:SS up to "
                 "277777:46:39), --samples have been written (1 to 1000000000000000), or SIGINT or "
                 "SIGTERM: then it keeps the item in flight, closes the file and exits 0. The "
                 "board still sends the rest of a block after a stop; the command reads it off "
                 "the line before it ends (a second SIGINT ends that wait at once).\n\n"
                 "--split starts a new file at that interval (as --duration), at a block's end "
                 "(the block before is cut to end there): "
                 "FILE's name with _0001, _0002 ... before its suffix; no sample is lost or "
                 "doubled "
                 "between files. An existing file is refused (exit 6, the file untouched) unless "
                 "--force is given, and so is a link to a file that does not exist yet (--force "
                 "writes through it). Every name the capture may write is checked before the board "
                 "is touched: with --split, each numbered file of FILE's name already in the "
                 "folder "
                 "too.\n\n%3\n\n"
                 "At the end it prints a summary (with --json one object: samples, seconds, "
                 "blocks, files, lastFile, deadSeconds, longestDeadSeconds, clippedSamples, "
                 "stoppedBy, and the conversion facts); lastFile is the last file written, none "
                 "(null) when none was; clippedSamples counts the samples at either code limit. "
                 "A fault ends the capture with every sample received before it in the file: exit "
                 "4 when the board hangs up or falls silent (the message, then the result code: "
                 "\"Get item N failed !\", \"capture failed: result code 997\"), 5 for a bad "
                 "item checksum, 6 when the file cannot be written.\n\n"
                 "--reconnect-within (0, the default, ends the capture as above) keeps a capture "
                 "whose board is lost (a hang-up, a read error, a board silent longer than the "
                 "reply time limit) going: it says \"Board lost at HH:MM:SS (cause); waiting for "
                 "it to come back\" and looks for the board every second for that long: its "
                 "port again, or where its identity (its /dev/serial/by-id/ link or USB serial "
                 "number) is now. A board that answers the handshake for the same chip has its "
                 "registers compared with those read at the start and, where they differ (a "
                 "bridge that reset has the chip at its defaults), written back, with --mode "
                 "sent again, and read once more; the conversions it then settles are dropped. "
                 "The file goes on: the gap is recorded where it falls (its start, cause, "
                 "length and the conversions lost, by which the samples' index runs on), the "
                 "summary lists every loss (--json: losses [{startUtc, startS, cause, lengthS, "
                 "lostConversions}] and lostSeconds), and a capture that then runs to its end "
                 "exits 0. A board not back in time, another chip or board there, or registers "
                 "that do not take end it with exit 4 and the reason.")
                 .arg(capture::kMaxBlockItems)
                 .arg(kWireItemsPerSecond)
                 .arg(conversionOptionsText("the volts column and the file's facts")))},
        {"scan",
         "scan (--single-ended | --pairs | --inputs P-N[,P-N...]) --count N [--discard K] "
         "[--repeat R] [--reference V] [--mode N] [--out FILE.csv] [--json] "
         "[--limits FILE [--report NAME]]",
         made(QStringLiteral(
                  "Measures the noise of several inputs in one run, as the window's \"Input "
                  "Scan\" does: for each input it writes only the MUX register, takes K + N "
                  "conversion results in one request (the first K samples after a switch are the "
                  "digital filter settling, and are thrown away; K defaults to the conversions "
                  "the chip's core says still settle at the data rate its registers show) and "
                  "computes the analysis window's figures of the last N. With --repeat R it "
                  "passes over every input R times; each row then gives the mean of the repeats "
                  "and their spread. When the scan ends or fails, the MUX register is written "
                  "back to the value it held before, if the board still answers.\n\n"
                  "--single-ended scans each input against the common input (%1); a chip "
                  "without one gives exit status 1. --pairs scans %2. --inputs names the pairs, "
                  "AIN+ "
                  "first, in the chip's input names in any letter case: %3. N is 1 to %4, K 0 to "
                  "%4 - 1, N + K at most %4 (one request), R 1 to 1000.\n\n"
                  "Prints a table with one row per input: mean and standard deviation in codes "
                  "and uV, peak-to-peak, effective and noise-free resolution (bits), minimum, "
                  "maximum and the samples at the code limits. Microvolts follow the analysis "
                  "window's scale: the full-scale range (%5) over 2^24 codes, with the gain the "
                  "chip's registers show. %6 --json prints one object instead: {\"rows\": "
                  "[{\"positive\", \"negative\", \"repeats\", \"samples\", \"mean\", \"rms\", "
                  "\"peakToPeak\", \"effectiveBits\", \"noiseFreeBits\", \"minimum\", "
                  "\"maximum\", \"clipped\", \"meanSpread\", \"rmsSpread\"}, ...], \"complete\": "
                  "true, and the conversion facts}, figures in codes, null where a figure has no "
                  "finite value. --out writes the table to FILE.csv as well, whole or not at "
                  "all; the path is checked before the board is touched.\n\n"
                  "After a failed MUX write or acquisition the rows measured before are still "
                  "written and printed, \"complete\" is false, and the exit status is 4 or 5.\n\n"
                  "SIGINT or SIGTERM stops the scan after the acquisition in flight (its samples "
                  "must be off the line first; a second signal changes nothing), MUX is put back, "
                  "the rows measured are written and printed with \"complete\": false (the text "
                  "ends with \"Scan interrupted by SIGINT; 2 of 8 inputs measured.\" and where "
                  "MUX was left), and the exit status is 0, as for a capture stopped so.\n\n"
                  "A batch test (with --all-boards): --limits FILE gives, one line per chip and "
                  "input, the largest RMS noise and the largest |mean| allowed, each with its "
                  "unit (nV, uV, mV or V), e.g. \"VXC5480 AIN0-AINCOM 2.5 uV 20 mV\"; blank "
                  "lines and lines starting with # are skipped. A broken file is refused with its "
                  "line and the cause (exit status 6) before any board is touched. Each input "
                  "with a limit is marked pass or fail (an input without one is not judged), "
                  "each board passes when all of its inputs do, and a board that fails its "
                  "limits has exit status 9 in its row. --report NAME writes NAME.csv (a row per "
                  "board and input, then a row per board) and NAME.json (the same with the "
                  "summary).")
                  .arg(perChip([](const ChipSupport &chip) {
                           if (!chip.mux)
                               return QString();
                           const std::vector<scan::ScanInput> single =
                               scan::SingleEndedInputs(*chip.mux);
                           if (single.empty())
                               return QStringLiteral("the %1 has none")
                                   .arg(QLatin1String(chip.name));
                           return QStringLiteral("%1 to %2 each against %3 on the %4")
                               .arg(panel_common::InputName(*chip.mux, single.front().positive),
                                    panel_common::InputName(*chip.mux, single.back().positive),
                                    panel_common::InputName(*chip.mux, chip.mux->commonInput),
                                    QLatin1String(chip.name));
                       }),
                       perChip([](const ChipSupport &chip) {
                           if (!chip.mux)
                               return QString();
                           return QStringLiteral("%1 on the %2")
                               .arg(pairNames(*chip.mux, scan::PairInputs(*chip.mux)),
                                    QLatin1String(chip.name));
                       }),
                       perChip([](const ChipSupport &chip) {
                           if (!chip.mux)
                               return QString();
                           return QStringLiteral("%1 on the %2")
                               .arg(inputNames(*chip.mux), QLatin1String(chip.name));
                       }),
                       QString::number(kMaxItemsPerRequest), perChip([](const ChipSupport &chip) {
                           if (!chip.mux)
                               return QString();
                           return QStringLiteral("%1 x VRef / PGA on the %2")
                               .arg(chip.mux->spanPerReference)
                               .arg(QLatin1String(chip.name));
                       }),
                       conversionOptionsText("the microvolts")))},
        {"analyze",
         "analyze FILE... [--psd FILE.csv] [--allan FILE.csv] [--detrend] [--accept-gaps] "
         "[--json]",
         "Reads a capture's file (HDF5 or CSV, as capture writes them) and prints what the "
         "whole run says, as the window's \"Open Capture...\" shows it: the file's facts "
         "(chip, registers, reference, mode, gain, data rate, start, why it stopped, samples, "
         "length, sample rate), the mean, the RMS noise, the drift (a least-squares line, "
         "with its standard error, in volts per hour where the file gives a scale), the white "
         "noise density and the 1/f corner (Welch's averaged periodogram, Hann window, half "
         "overlap, segments an eighth of the run), and the overlapping Allan deviation from "
         "one sample period to a third of the run in octaves, with a 68 % interval. Times are "
         "the samples' own (time_s), else index / data rate. Does not touch a board. The file "
         "is read in pieces: a run of any length fits in memory.\n\n"
         "A file whose capture did not know the chip's mode gives its gain, rate and volts per "
         "code only as read from the registers (pga_gain_from_registers ...): they are shown "
         "as such and the figures stay in codes.\n\n"
         "The parts of a split set (run_0001.h5, run_0002.h5 ...) are given as one run, in any "
         "order. A part missing from the set is named, and the run is refused (exit 6) unless "
         "--accept-gaps is given: then nothing is measured across a gap. A capture that was "
         "killed is read with every sample it wrote whole (an HDF5 file without time_s: every "
         "complete block). A file that is not a capture, an HDF5 file without the capture's "
         "datasets or a CSV file with a broken line is named with the cause (exit 6).\n\n"
         "--detrend takes the drift line out of the samples before the noise density, the "
         "Allan deviation and the RMS noise are computed. --psd writes the density, one line "
         "per frequency: frequency_hz,codes2_per_hz,codes_per_rthz and, with a scale, "
         "v2_per_hz,v_per_rthz. --allan writes the Allan deviation: tau_s,m,terms,edf,"
         "adev_codes,low_codes,high_codes and, with a scale, adev_v,low_v,high_v. Both are "
         "written whole or not at all, their paths checked before the file is read, and "
         "before the figures are printed; a path that names a file of the run, or --psd and "
         "--allan naming one file, is refused (exit 2). --json prints one object: files, "
         "chip, startTime, stoppedBy, samples, gaps, sampleRateSps, rateFromTimes, "
         "voltsPerCode, detrended, mean, rms, driftCodesPerHour, driftErrorCodesPerHour, "
         "driftMicrovoltsPerHour, driftErrorMicrovoltsPerHour, whiteDensityCodes, "
         "whiteDensityVolts, cornerHz, segmentLength, segments and allan (tau, m, terms, edf, "
         "adev, low, high, in codes), then the file's conversion facts under its names; null "
         "where a figure is unknown (the drift per hour without a sample rate, volts without "
         "a scale)."},
        {"profile", "profile save FILE | profile load [--lenient] FILE",
         "save reads the chip's registers and writes them to the profile FILE in the window's "
         "format, keeping the file's other lines. load reads FILE, refuses a profile of another "
         "chip as the window does, and writes all its registers to the chip in address order. "
         "Since the values go straight to the chip, load also refuses a profile in which a "
         "register's key is missing or does not hold one byte in hex (5A, 0x5A), naming the "
         "keys; --lenient loads such a profile as the window does (a missing value as 0, "
         "0x1FF as 0xFF). A profile is at most 1 MiB."},
        {"firmware-update", "firmware-update [--image FILE]",
         "Writes the board's firmware over USB HID with the window's procedure and messages: "
         "the image FILE, else the image this build carries (with --simulate and neither, a "
         "small generated image goes to the simulated update device). Does not use the serial "
         "port. Exit status 3 when no update device is found, 4 when the update fails, 6 when "
         "the image cannot be used."},
    };
    return commands;
}

const std::vector<HelpEntry> &ExitStatusHelp() {
    static const std::vector<HelpEntry> codes = {
        {"0", "0", "Success."},
        {"1", "1", "The command is not available for this chip or in this build."},
        {"2", "2", "The command line could not be understood."},
        {"3", "3", "No board answered the handshake."},
        {"4", "4",
         "An exchange with the board failed; the message gives the result code (13 bad "
         "reply, 30 short reply, 997 no reply in time, 6 no port, 4096 and above a port "
         "error)."},
        {"5", "5", "An acquired item carried a wrong checksum."},
        {"6", "6",
         "A file could not be read or written (standard output included, a closed pipe too), "
         "or a profile was refused."},
        {"7", "7", "--all-boards: the command failed on some of the boards."},
        {"8", "8", "--all-boards: the command failed on every board."},
        {"9", "9", "--all-boards scan --limits: in a board's row, its inputs broke the limits."},
    };
    return codes;
}

const HelpEntry *FindCommandHelp(const QString &name) {
    for (const HelpEntry &entry : CommandHelp()) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

namespace {
QString synopsis() {
    return QStringLiteral("pellorin-cli [--port PATH]... [--no-scan] [--simulate[=CHIP[,CHIP...]]] "
                          "[--pace=real|wire|none] [--chip %1] [--all-boards] [--json] COMMAND "
                          "[ARGUMENTS]")
        .arg(chipNames("|"));
}

// Paragraphs filled to 76 columns, indented.
QString fill(const char *text, int indent) {
    QString result;
    const QString pad(indent, u' ');
    for (const QString &paragraph : QString::fromLatin1(text).split(QStringLiteral("\n\n"))) {
        QString line;
        for (const QString &word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && indent + line.size() + 1 + word.size() > 78) {
                result += pad + line + u'\n';
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        result += pad + line + u'\n';
        result += u'\n';
    }
    result.chop(1);
    return result;
}

QString roffEscape(const QString &text) {
    QString escaped = text;
    escaped.replace(u'\\', QLatin1String("\\e"));
    escaped.replace(u'-', QLatin1String("\\-"));
    // A line starting with a dot or quote would be taken for a request.
    escaped.replace(QLatin1String("\n."), QLatin1String("\n\\&."));
    escaped.replace(QLatin1String("\n'"), QLatin1String("\n\\&'"));
    if (escaped.startsWith(u'.') || escaped.startsWith(u'\''))
        escaped.prepend(QLatin1String("\\&"));
    return escaped;
}

// Paragraphs after the first start with .PP at the margin, or with .IP inside an entry, so
// they keep the entry's indent.
QString roffParagraphs(const char *text, const char *request) {
    return roffEscape(QString::fromLatin1(text))
        .replace(QLatin1String("\n\n"), QStringLiteral("\n%1\n").arg(QLatin1String(request)));
}

void roffEntries(QString &page, const std::vector<HelpEntry> &entries) {
    for (const HelpEntry &entry : entries) {
        page +=
            QStringLiteral(".TP\n.B %1\n%2\n")
                .arg(roffEscape(QLatin1String(entry.synopsis)), roffParagraphs(entry.text, ".IP"));
    }
}
} // namespace

QString ProgramHelpText() {
    QString help = QStringLiteral("Usage: %1\n\n").arg(synopsis());
    help += fill(kDescription, 0) + u'\n';
    help += QStringLiteral("Options:\n");
    for (const HelpEntry &entry : OptionHelp())
        help += QStringLiteral("  %1\n").arg(QLatin1String(entry.synopsis)) + fill(entry.text, 6);
    help += QStringLiteral("\nCommands (pellorin-cli COMMAND --help for more):\n");
    for (const HelpEntry &entry : CommandHelp())
        help += QStringLiteral("  %1\n").arg(QLatin1String(entry.synopsis));
    help += QStringLiteral("\nExit status:\n");
    for (const HelpEntry &entry : ExitStatusHelp())
        help +=
            QStringLiteral("  %1  ").arg(QLatin1String(entry.name)) + fill(entry.text, 5).mid(5);
    return help;
}

QString CommandHelpText(const HelpEntry &entry) {
    return QStringLiteral("Usage: %1 [OPTIONS] %2\n\n")
               .arg(QLatin1String(kName), QLatin1String(entry.synopsis)) +
           fill(entry.text, 0);
}

QString ManPage() {
    QString page = QStringLiteral(".TH PELLORIN\\-CLI 1 \"\" \"Pellorin\" \"User Commands\"\n");
    page += QStringLiteral(".SH NAME\npellorin\\-cli \\- %1\n").arg(QLatin1String(kSummary));
    page += QStringLiteral(".SH SYNOPSIS\n.B %1\n").arg(roffEscape(synopsis()));
    page += QStringLiteral(".SH DESCRIPTION\n%1\n").arg(roffParagraphs(kDescription, ".PP"));
    page += QStringLiteral(".SH OPTIONS\n");
    roffEntries(page, OptionHelp());
    page += QStringLiteral(".SH COMMANDS\n");
    roffEntries(page, CommandHelp());
    page += QStringLiteral(".SH EXIT STATUS\n");
    roffEntries(page, ExitStatusHelp());
    return page;
}

} // namespace cli
