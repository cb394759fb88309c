#include "capture_reader.h"

#include "file_names.h"

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

FilePiece ReadHdf5(const QString &path, std::vector<int32_t> &codes) {
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
    ReadNumber(*root, "reference_volts", H5T_NATIVE_DOUBLE, facts.referenceVolts);
    ReadNumber(*root, "pga_gain", H5T_NATIVE_DOUBLE, facts.pgaGain);
    ReadNumber(*root, "data_rate_sps", H5T_NATIVE_DOUBLE, facts.dataRateSps);
    ReadNumber(*root, "volts_per_code", H5T_NATIVE_DOUBLE, facts.voltsPerCode);
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
    }
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
    } else if (key == "reference_volts")
        facts.referenceVolts = value.toDouble();
    else if (key == "pga_gain")
        facts.pgaGain = value.toDouble();
    else if (key == "data_rate_sps")
        facts.dataRateSps = value.toDouble();
    else if (key == "volts_per_code")
        facts.voltsPerCode = value.toDouble();
    else if (key == "program_version")
        facts.programVersion = value;
    else if (key == "start_time")
        facts.startTime = value;
    else if (key == "file_number")
        piece.fileNumber = value.toInt();
    else if (key == "first_sample")
        piece.firstSample = value.toULongLong();
    else if (key == "stopped_by")
        piece.stoppedBy = value;
}

FilePiece ReadCsv(const QString &path, std::vector<int32_t> &codes) {
    FilePiece piece;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        piece.cause = file.errorString();
        return piece;
    }
    piece.stoppedBy = QStringLiteral("unfinished");
    bool header = false;
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
    }
    if (!header)
        piece.cause = QStringLiteral("Not a capture file that can be read (CSV)");
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

CaptureRead ReadCapture(const QString &path) {
    CaptureRead read;
    for (const QString &file : CaptureRunFiles(path)) {
        const uint64_t before = read.codes.size();
        FilePiece piece;
        if (!QFileInfo::exists(file))
            piece.cause = QStringLiteral("No such file or directory");
        else
            piece = IsHdf5(file) ? ReadHdf5(file, read.codes) : ReadCsv(file, read.codes);
        QString cause = piece.cause;
        if (cause.isEmpty() && piece.firstSample != before)
            cause = QStringLiteral("Starts at sample %1, not %2: a file of the run is missing")
                        .arg(piece.firstSample)
                        .arg(before);
        if (!cause.isEmpty()) {
            read.codes.resize(before);
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
    // A file closed for a split has a successor: the run is not whole without it.
    if (read.stoppedBy == QLatin1String("split")) {
        read.errorPath = read.paths.last();
        read.errorCause = QStringLiteral("The run goes on in a next file, which is missing");
        read.error = QStringLiteral("%1: %2").arg(read.errorPath, read.errorCause);
    }
    return read;
}

} // namespace capture
