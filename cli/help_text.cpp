#include "help_text.h"

#include <QStringList>

namespace cli {

namespace {
const char *const kName = "pellorin-cli";
const char *const kSummary = "the EVM board from scripts and test rigs";
const char *const kSynopsis =
    "pellorin-cli [--port PATH]... [--no-scan] [--simulate[=CHIP]] [--chip VXC5480|VXC5420] "
    "[--json] "
    "COMMAND [ARGUMENTS]";
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
    "Every number (a register's address or value, a count, a command's argument) is decimal, "
    "or hexadecimal after 0x, with any number of leading zeros. An option's value never "
    "begins with \"--\": \"--port --json\" is refused, not taken for a port named --json.";
} // namespace

const std::vector<HelpEntry> &OptionHelp() {
    static const std::vector<HelpEntry> options = {
        {"--port", "--port PATH",
         "Try this serial device first. May be given several times; the devices are tried in "
         "the order given, before those the system lists. When no board is found, each of "
         "these devices is named with the reason: missing, not a serial device, permission "
         "denied, busy (another program, or a lock file left by a run that ended), no answer, "
         "or a board of the other chip."},
        {"--no-scan", "--no-scan",
         "Try only the devices given with --port (and the virtual board of --simulate), not "
         "the serial devices the system lists: a rig with several boards names the one it "
         "means, and a missing board is reported without waiting on other ports."},
        {"--simulate", "--simulate[=VXC5480|VXC5420]",
         "Serve a virtual board carrying the chip (VXC5480 when none is named) inside the "
         "program, at the wire rate of the real board, and try it first."},
        {"--chip", "--chip VXC5480|VXC5420",
         "The chip the board is expected to carry; the handshake names it. Default: the "
         "simulated chip, else VXC5480."},
        {"--json", "--json",
         "Machine-readable output: the result is one JSON object on one line. detect gives "
         "port, chip and chip id; regs, get and set give chip, port and the registers read "
         "(set: read back); acquire gives count and samples, or with --stats the figures; capture "
         "gives its summary, scan its rows. A "
         "command that prints no result (command, profile, firmware-update, acquire --out or "
         "--spectrum without --stats) refuses --json, as acquire refuses --json with --format. "
         "May also follow the command's name."},
        {"--help", "--help",
         "This text. After a command's name, that command's help (pellorin-cli COMMAND --help)."},
    };
    return options;
}

const std::vector<HelpEntry> &CommandHelp() {
    static const std::vector<HelpEntry> commands = {
        {"detect", "detect",
         "Runs the handshake over the candidate ports and prints the port that answered and "
         "the chip, separated by a tab."},
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
         "Sends one of the chip's commands. VXC5480: self-calibration, self-offset, self-gain, "
         "system-offset, system-gain, power-down, standby, wake-up. VXC5420: set-mode 1..4 "
         "(the position in the window's \"Mode\" list). Nothing is read back."},
        {"acquire",
         "acquire [--count N] [--out PREFIX] [--format txt|bin|csv] [--stats] "
         "[--spectrum FILE] [--window hann|blackman-harris]",
         "Reads the chip's registers as the window does before every acquisition, takes N "
         "conversion results (1 to 65535, default 45) and checks every item's checksum.\n\n"
         "With --out, writes PREFIX.bin (the items as received) and PREFIX.txt (one \"%9d\" "
         "sample per CR LF line), byte for byte the files of the window's \"Save File\"; "
         "--format writes only PREFIX.txt, PREFIX.bin or PREFIX.csv. Existing files are "
         "replaced: both files of the pair, or neither.\n\n"
         "Without --out, --stats or --spectrum, the samples go to standard output: one "
         "decimal number per line, the chosen format (bin gives the raw items), or with --json "
         "one object of count and samples.\n\n"
         "--stats prints count, minimum, maximum, average (as the window shows them), "
         "peak-to-peak and the analysis window's noise figures: mean, RMS noise (codes), "
         "effective and noise-free resolution (bits), skewness and excess kurtosis, then "
         "clipped, the number of samples at either code limit (-8388608 or 8388607). When "
         "the spectrum shows a tone, its figures follow: tone-frequency (Hz), tone-amplitude "
         "(dBFS), snr, thd, sinad (dB), sfdr (dBc) and enob (bits, referred to full scale); "
         "in JSON they are the object \"tone\", null when there is none. Without --out, only "
         "these figures are printed. A figure without a finite value (the resolutions of a "
         "record without noise) is null, in text as in JSON. A clipped record is also told on "
         "standard error: \"Clipped: N of M samples at the code limits\".\n\n"
         "--spectrum FILE writes the analysis window's spectrum of the samples to FILE as CSV, "
         "one line per bin: frequency_hz,dbfs (0 dBFS is a full-scale sine). It needs a "
         "--count of 8 or more. --window chooses the window of the spectrum and of the tone "
         "figures: hann (the default) or blackman-harris (4 terms). Frequencies follow the "
         "data rate the chip's registers show when they are read before the acquisition; "
         "when that read fails, the file's first column is cycles_per_sample and the tone's "
         "frequency is in cycles per sample."},
        {"capture",
         "capture --out FILE [--format h5|csv] [--block N] [--duration SECONDS|H:MM:SS] "
         "[--samples N] [--split H:MM:SS] [--force]",
         "Captures samples continuously, block after block (N items per request, 1 to 65535; "
         "by default about one second of conversions at the chip's data rate, at most the "
         "wire's 2880 a second), to FILE: HDF5 (datasets codes, time_s and blocks, the chip, "
         "register image and scale as attributes) or CSV (# lines with the same facts, then "
         "index,time_s,code,volts). time_s is each sample's time since the start, from when "
         "its items arrived (the time_rule line or attribute says how). The samples are "
         "written and synced to disk a fraction of a second at a time, so a crash loses at "
         "most that. The capture uses the same engine as the window's \"Continuous "
         "Capture...\".\n\n"
         "It runs until --duration has passed, --samples have been written, or SIGINT or "
         "SIGTERM: then it keeps the item in flight, closes the file and exits 0. The board "
         "still sends the rest of a block after a stop; the command reads it off the line "
         "before it ends (a second SIGINT ends that wait at once).\n\n"
         "--split starts a new file at that interval, at a block's end (the block before is "
         "cut to end there): FILE's name with "
         "_0001, _0002 ... before its suffix; no sample is lost or doubled between files. An "
         "existing file is refused (exit 6, the file untouched) unless --force is given.\n\n"
         "At the end it prints a summary (with --json one object: samples, seconds, blocks, "
         "files, lastFile, deadSeconds, longestDeadSeconds, stoppedBy). A fault ends the "
         "capture with every sample received before it in the file: exit 4 when the board "
         "hangs up or falls silent, 5 for a bad item checksum, 6 when the file cannot be "
         "written."},
        {"scan",
         "scan (--single-ended | --pairs | --inputs P-N[,P-N...]) --count N [--discard K] "
         "[--repeat R] [--reference VOLTS] [--out FILE.csv] [--json]",
         "Measures the noise of several inputs in one run, as the window's \"Input Scan\" "
         "does: for each input it writes only the MUX register, takes K + N conversion "
         "results in one request (K default 3: the first samples after a switch are the "
         "digital filter settling, and are thrown away) and computes the analysis window's "
         "figures of the last N. With --repeat R it passes over every input R times; each row "
         "then gives the mean of the repeats and their spread. When the scan ends or fails, "
         "the MUX register is written back to the value it held before, if the board still "
         "answers.\n\n"
         "--single-ended scans AIN0 to AIN7 each against AINCOM (VXC5480 only: the VXC5420 "
         "has no common input, exit status 1). --pairs scans AIN0-AIN1, AIN2-AIN3, AIN4-AIN5, "
         "AIN6-AIN7 (AIN0-AIN1 on the VXC5420). --inputs names the pairs, AIN+ first, in the "
         "chip's input names in any letter case: AIN0 to AIN7 and AINCOM on the VXC5480, AIN0 "
         "and AIN1 on the VXC5420. N is 1 to 65535 and N + K at most 65535.\n\n"
         "Prints a table with one row per input: mean and standard deviation in codes and "
         "uV, peak-to-peak, effective and noise-free resolution (bits), minimum, maximum and "
         "the samples at the code limits. Microvolts follow the analysis window's scale: the "
         "full-scale range (4 x VRef / PGA on the VXC5480, 2 x VRef / PGA on the VXC5420) over "
         "2^24 codes, with the gain the chip's registers show and the reference --reference "
         "(default 2.5 V). --json prints one object instead: {\"rows\": [{\"positive\", "
         "\"negative\", \"repeats\", \"samples\", \"mean\", \"rms\", \"peakToPeak\", "
         "\"effectiveBits\", \"noiseFreeBits\", \"minimum\", \"maximum\", \"clipped\", "
         "\"meanSpread\", \"rmsSpread\"}, ...], \"complete\": true}, figures in codes, "
         "null where a figure has no finite value. --out writes the table to FILE.csv as "
         "well, whole or not at all; the path is checked before the board is touched.\n\n"
         "After a failed MUX write or acquisition the rows measured before are still printed "
         "(and written), \"complete\" is false, and the exit status is 4 or 5."},
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
         "A file could not be read or written (standard output included), or a profile was "
         "refused."},
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
    QString help = QStringLiteral("Usage: %1\n\n").arg(QLatin1String(kSynopsis));
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
    page += QStringLiteral(".SH SYNOPSIS\n.B %1\n").arg(roffEscape(QLatin1String(kSynopsis)));
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
