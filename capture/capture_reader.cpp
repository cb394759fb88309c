#include "capture_reader.h"

#include "capture_facts.h"
#include "file_names.h"

#include "analysis/sample_times.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <hdf5.h>

#include <memory>

namespace capture {

namespace {
// What one file holds and the facts of its place in the run.
struct FilePiece {
    CaptureFacts facts;
    QString stoppedBy;
    int fileNumber = 1;
    uint64_t firstSample = 0;
    bool timed = false; // the file holds each sample's time (appended to the run's times)
    QString timeRule;
    QString cause; // empty when read
};

bool IsHdf5(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("h5") || suffix == QLatin1String("hdf5");
}

// --- HDF5 ---------------------------------------------------------------------------------

struct Closer {
    herr_t (*close)(hid_t);
    void operator()(hid_t *id) const {
        if (*id >= 0)
            close(*id);
        delete id;
    }
};
using Hid = std::unique_ptr<hid_t, Closer>;
Hid Own(hid_t id, herr_t (*close)(hid_t)) {
    return Hid(new hid_t(id), Closer{close});
}

bool ReadString(hid_t object, const char *name, QString &value) {
    if (H5Aexists(object, name) <= 0)
        return false;
    const Hid attribute = Own(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    const Hid type = Own(H5Tcopy(H5T_C_S1), H5Tclose);
    H5Tset_size(*type, H5T_VARIABLE);
    H5Tset_cset(*type, H5T_CSET_UTF8);
    char *text = nullptr;
    if (*attribute < 0 || H5Aread(*attribute, *type, &text) < 0)
        return false;
    value = QString::fromUtf8(text);
    H5free_memory(text);
    return true;
}

template <typename T> bool ReadNumber(hid_t object, const char *name, hid_t type, T &value) {
    if (H5Aexists(object, name) <= 0)
        return false;
    const Hid attribute = Own(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    return *attribute >= 0 && H5Aread(*attribute, type, &value) >= 0;
}

bool ReadBytes(hid_t object, const char *name, std::vector<uint8_t> &bytes) {
    if (H5Aexists(object, name) <= 0)
        return false;
    const Hid attribute = Own(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    const Hid space = Own(H5Aget_space(*attribute), H5Sclose);
    const hssize_t count = H5Sget_simple_extent_npoints(*space);
    if (count < 0)
        return false;
    bytes.resize(static_cast<size_t>(count));
    return H5Aread(*attribute, H5T_NATIVE_UINT8, bytes.data()) >= 0;
}

// The time of each sample the file holds, when it holds them (the "time_s" dataset, count
// long): appended to times.
void ReadTimes(hid_t file, size_t count, FilePiece &piece, std::vector<double> &times) {
    if (H5Lexists(file, "time_s", H5P_DEFAULT) <= 0)
        return;
    const Hid dataset = Own(H5Dopen2(file, "time_s", H5P_DEFAULT), H5Dclose);
    const Hid space = Own(*dataset >= 0 ? H5Dget_space(*dataset) : -1, H5Sclose);
    if (*space < 0 || H5Sget_simple_extent_npoints(*space) != static_cast<hssize_t>(count))
        return;
    const size_t before = times.size();
    times.resize(before + count);
    if (count > 0 && H5Dread(*dataset, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT,
                             times.data() + before) < 0) {
        times.resize(before);
        return;
    }
    piece.timed = true;
    ReadString(*dataset, "time_rule", piece.timeRule);
}

FilePiece ReadHdf5(const QString &path, std::vector<int32_t> &codes, std::vector<double> *times) {
    FilePiece piece;
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    const QByteArray name = path.toLocal8Bit();
    const Hid file = Own(H5Fopen(name.constData(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
    if (*file < 0) {
        piece.cause = QStringLiteral("Not a capture file that can be read (HDF5)");
        return piece;
    }
    const Hid root = Own(H5Gopen2(*file, "/", H5P_DEFAULT), H5Gclose);
    CaptureFacts &facts = piece.facts;
    ReadString(*root, "chip", facts.chipName);
    ReadBytes(*root, "registers", facts.registers);
    for (const RecordedFact &fact : RecordedFactNames()) {
        QString text;
        double number = 0.0;
        const bool read = std::holds_alternative<QString>(fact.value)
                              ? ReadString(*root, fact.name, text)
                              : ReadNumber(*root, fact.name, H5T_NATIVE_DOUBLE, number);
        if (read)
            TakeRecordedFact(facts.conversion, QLatin1String(fact.name), text, number);
    }
    ReadString(*root, "program_version", facts.programVersion);
    ReadString(*root, "start_time", facts.startTime);
    ReadNumber(*root, "file_number", H5T_NATIVE_INT, piece.fileNumber);
    ReadNumber(*root, "first_sample", H5T_NATIVE_UINT64, piece.firstSample);
    ReadString(*root, "stopped_by", piece.stoppedBy);
    const Hid dataset = Own(H5Dopen2(*file, "codes", H5P_DEFAULT), H5Dclose);
    const Hid space = Own(*dataset >= 0 ? H5Dget_space(*dataset) : -1, H5Sclose);
    const hssize_t count = *space >= 0 ? H5Sget_simple_extent_npoints(*space) : -1;
    if (count < 0) {
        piece.cause = QStringLiteral("Holds no codes");
        return piece;
    }
    const size_t before = codes.size();
    codes.resize(before + static_cast<size_t>(count));
    if (count > 0 && H5Dread(*dataset, H5T_NATIVE_INT32, H5S_ALL, H5S_ALL, H5P_DEFAULT,
                             codes.data() + before) < 0) {
        codes.resize(before);
        piece.cause = QStringLiteral("The codes cannot be read");
        return piece;
    }
    if (times)
        ReadTimes(*file, static_cast<size_t>(count), piece, *times);
    return piece;
}

// --- CSV ----------------------------------------------------------------------------------

void TakeFact(FilePiece &piece, const QByteArray &line) {
    const qsizetype colon = line.indexOf(": ");
    if (colon < 0)
        return;
    const QByteArray key = line.mid(2, colon - 2);
    const QString value = QString::fromUtf8(line.mid(colon + 2)).trimmed();
    CaptureFacts &facts = piece.facts;
    if (key == "chip")
        facts.chipName = value;
    else if (key == "registers") {
        for (const QString &byte : value.split(u' ', Qt::SkipEmptyParts))
            facts.registers.push_back(static_cast<uint8_t>(byte.toUInt(nullptr, 16)));
    } else if (key == "program_version")
        facts.programVersion = value;
    else if (key == "start_time")
        facts.startTime = value;
    else if (key == "file_number")
        piece.fileNumber = value.toInt();
    else if (key == "first_sample")
        piece.firstSample = value.toULongLong();
    else if (key == "stopped_by")
        piece.stoppedBy = value;
    else if (key == "time_rule")
        piece.timeRule = value;
    else
        TakeRecordedFact(facts.conversion, QString::fromUtf8(key), value, value.toDouble());
}

FilePiece ReadCsv(const QString &path, std::vector<int32_t> &codes, std::vector<double> *times) {
    FilePiece piece;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        piece.cause = file.errorString();
        return piece;
    }
    piece.stoppedBy = QStringLiteral("unfinished");
    bool header = false;
    // The time column counts when the file says by which rule it was made.
    const size_t timesBefore = times ? times->size() : 0;
    bool timed = times != nullptr;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith("# ")) {
            TakeFact(piece, line);
            continue;
        }
        if (line.startsWith("index,")) {
            header = true;
            continue;
        }
        if (line.isEmpty())
            continue;
        // index,time_s,code,volts
        const QList<QByteArray> cells = line.split(',');
        bool ok = false;
        const int32_t code = cells.size() >= 3 ? cells.at(2).toInt(&ok) : 0;
        if (!header || !ok) {
            piece.cause = QStringLiteral("Not a capture file that can be read (CSV)");
            return piece;
        }
        codes.push_back(code);
        if (timed) {
            const double seconds = cells.at(1).toDouble(&timed);
            times->push_back(seconds);
        }
    }
    if (!header)
        piece.cause = QStringLiteral("Not a capture file that can be read (CSV)");
    piece.timed = timed && !piece.timeRule.isEmpty();
    if (times && !piece.timed)
        times->resize(timesBefore);
    return piece;
}
} // namespace

QStringList CaptureRunFiles(const QString &path) {
    QString run = path;
    // run_0003.h5 belongs to the run run.h5.
    static const QRegularExpression numbered(QStringLiteral("^(.*)_(\\d{4,})(\\.[^./]*)?$"));
    const QRegularExpressionMatch match = numbered.match(path);
    if (match.hasMatch() && QFileInfo::exists(path))
        run = match.captured(1) + match.captured(3);
    else if (QFileInfo::exists(path) || !QFileInfo::exists(PartPath(path, 1, true)))
        return {path};
    QStringList files;
    for (int number = 1; QFileInfo::exists(PartPath(run, number, true)); ++number)
        files << PartPath(run, number, true);
    return files;
}

CaptureRead ReadCapture(const QString &path, bool withTimes) {
    CaptureRead read;
    // Each sample's time as the files record it, while every file so far has them by one rule.
    bool recorded = withTimes;
    for (const QString &file : CaptureRunFiles(path)) {
        const uint64_t before = read.codes.size();
        FilePiece piece;
        std::vector<double> *times = recorded ? &read.times : nullptr;
        if (!QFileInfo::exists(file))
            piece.cause = QStringLiteral("No such file or directory");
        else
            piece =
                IsHdf5(file) ? ReadHdf5(file, read.codes, times) : ReadCsv(file, read.codes, times);
        if (recorded &&
            (!piece.timed || (!read.paths.isEmpty() && piece.timeRule != read.timeRule)))
            recorded = false;
        if (recorded)
            read.timeRule = piece.timeRule;
        QString cause = piece.cause;
        if (cause.isEmpty() && piece.firstSample != before)
            cause = QStringLiteral("Starts at sample %1, not %2: a file of the run is missing")
                        .arg(piece.firstSample)
                        .arg(before);
        if (!cause.isEmpty()) {
            read.codes.resize(before);
            read.times.clear();
            read.timeRule.clear();
            read.errorPath = file;
            read.errorCause = cause;
            read.error = QStringLiteral("%1: %2").arg(file, cause);
            return read;
        }
        if (read.paths.isEmpty())
            read.facts = piece.facts;
        read.stoppedBy = piece.stoppedBy;
        read.paths << file;
    }
    // Files without their samples' times (older captures) are given index / data rate.
    if (withTimes && !recorded) {
        // A rate guessed from the registers (a mode not known) is no clock to claim.
        const analysis::ConversionFacts &conversion = read.facts.conversion;
        const double rate = conversion.modeKnown ? conversion.dataRateSps : 0.0;
        read.times.clear();
        read.timeRule.clear();
        if (rate > 0) {
            read.times.resize(read.codes.size());
            for (size_t i = 0; i < read.times.size(); ++i)
                read.times[i] = static_cast<double>(i) / rate;
            read.timeRule = QString::fromLatin1(analysis::kRateTimeRule);
        }
    }
    // A file closed for a split has a successor: the run is not whole without it.
    if (read.stoppedBy == QLatin1String("split")) {
        read.errorPath = read.paths.last();
        read.errorCause = QStringLiteral("The run goes on in a next file, which is missing");
        read.error = QStringLiteral("%1: %2").arg(read.errorPath, read.errorCause);
    }
    return read;
}

} // namespace capture
