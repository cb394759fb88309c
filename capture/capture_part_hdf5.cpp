// A capture's HDF5 file read back: the samples written whole, in pieces (hyperslabs).

#include "capture_file_format.h"
#include "capture_part.h"
#include "hdf5_handle.h"

#include <algorithm>
#include <cmath>

namespace capture {
namespace {

QString StringAttribute(hid_t object, const char *name) {
    if (H5Aexists(object, name) <= 0)
        return {};
    const Hid attribute(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    const Hid type(H5Aget_type(attribute), H5Tclose);
    if (!type.ok() || H5Tget_class(type) != H5T_STRING)
        return {};
    if (H5Tis_variable_str(type) > 0) {
        const Hid memory(H5Tget_native_type(type, H5T_DIR_ASCEND), H5Tclose);
        char *text = nullptr;
        if (H5Aread(attribute, memory, &text) < 0 || !text)
            return {};
        const QString value = QString::fromUtf8(text);
        H5free_memory(text);
        return value;
    }
    const size_t size = H5Tget_size(type);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (H5Aread(attribute, type, bytes.data()) < 0)
        return {};
    return QString::fromUtf8(bytes.constData());
}

// A scalar number of any numeric type, as double; fallback where missing or not a number.
double NumberAttribute(hid_t object, const char *name, double fallback = 0.0) {
    if (H5Aexists(object, name) <= 0)
        return fallback;
    const Hid attribute(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    const Hid type(H5Aget_type(attribute), H5Tclose);
    const H5T_class_t kind = type.ok() ? H5Tget_class(type) : H5T_NO_CLASS;
    const Hid space(H5Aget_space(attribute), H5Sclose);
    double value = fallback;
    if ((kind != H5T_INTEGER && kind != H5T_FLOAT) || H5Sget_simple_extent_npoints(space) != 1 ||
        H5Aread(attribute, H5T_NATIVE_DOUBLE, &value) < 0)
        return fallback;
    return value;
}

std::vector<uint8_t> BytesAttribute(hid_t object, const char *name) {
    std::vector<uint8_t> bytes;
    if (H5Aexists(object, name) <= 0)
        return bytes;
    const Hid attribute(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    const Hid type(H5Aget_type(attribute), H5Tclose);
    const Hid space(H5Aget_space(attribute), H5Sclose);
    if (!type.ok() || H5Tget_class(type) != H5T_INTEGER)
        return bytes;
    const hssize_t n = H5Sget_simple_extent_npoints(space);
    bytes.resize(static_cast<size_t>(std::max<hssize_t>(0, n)));
    if (!bytes.empty() && H5Aread(attribute, H5T_NATIVE_UINT8, bytes.data()) < 0)
        bytes.clear();
    return bytes;
}

// Elements of a one-dimensional dataset; -1 when it is not one.
int64_t Length(hid_t dataset) {
    const Hid space(H5Dget_space(dataset), H5Sclose);
    hsize_t size = 0;
    if (!space.ok() || H5Sget_simple_extent_ndims(space) != 1 ||
        H5Sget_simple_extent_dims(space, &size, nullptr) < 0)
        return -1;
    return static_cast<int64_t>(size);
}

bool ReadSlab(hid_t dataset, hid_t memoryType, uint64_t first, size_t count, void *out) {
    if (count == 0)
        return true;
    const Hid fileSpace(H5Dget_space(dataset), H5Sclose);
    const hsize_t start = first, n = count;
    if (!fileSpace.ok() ||
        H5Sselect_hyperslab(fileSpace, H5S_SELECT_SET, &start, nullptr, &n, nullptr) < 0)
        return false;
    const Hid memorySpace(H5Screate_simple(1, &n, nullptr), H5Sclose);
    return H5Dread(dataset, memoryType, memorySpace, fileSpace, H5P_DEFAULT, out) >= 0;
}

class Hdf5Part : public CapturePart {
  public:
    Hdf5Part(const QString &path, hid_t file, hid_t codes, hid_t times)
        : m_file(file, H5Fclose), m_codes(codes, H5Dclose), m_times(times, H5Dclose) {
        m_path = path;
    }
    bool open(QString &error);
    bool keepGapsWithin(QString &error);
    bool hasTimes() const override { return m_times.ok(); }
    bool read(uint64_t first, std::span<int32_t> codes, std::span<double> times) override {
        if (first > m_count || codes.size() > m_count - first) {
            m_error = QStringLiteral("%1: read beyond its samples").arg(m_path);
            return false;
        }
        if (!ReadSlab(m_codes, H5T_NATIVE_INT32, first, codes.size(), codes.data()) ||
            (!times.empty() &&
             !ReadSlab(m_times, H5T_NATIVE_DOUBLE, first, times.size(), times.data()))) {
            m_error = QStringLiteral("%1: the samples cannot be read").arg(m_path);
            return false;
        }
        return true;
    }

  private:
    Hid m_file, m_codes, m_times;
};

// The samples of the leading blocks whose codes are all there: a capture killed in the middle
// of a block leaves that block out.
bool CompleteBlocks(hid_t file, uint64_t codes, uint64_t &count) {
    const Hid blocks(H5Dopen2(file, format::kBlocks, H5P_DEFAULT), H5Dclose);
    if (!blocks.ok())
        return false;
    const Hid type(H5Dget_type(blocks), H5Tclose);
    if (!type.ok() || H5Tget_class(type) != H5T_COMPOUND ||
        H5Tget_member_index(type, format::kBlockSamples) < 0)
        return false;
    const int64_t records = Length(blocks);
    if (records < 0)
        return false;
    const Hid field(H5Tcreate(H5T_COMPOUND, sizeof(uint64_t)), H5Tclose);
    H5Tinsert(field, format::kBlockSamples, 0, H5T_NATIVE_UINT64);
    std::vector<uint64_t> samples(static_cast<size_t>(records));
    if (!samples.empty() &&
        H5Dread(blocks, field, H5S_ALL, H5S_ALL, H5P_DEFAULT, samples.data()) < 0)
        return false;
    count = 0;
    for (uint64_t n : samples) {
        if (count + n > codes)
            break;
        count += n;
    }
    return true;
}

// Samples from..available whose times go on from the one before (above 0, never back): the
// pieces a killed capture wrote after its last whole block. A time the library never wrote
// reads as its fill value, 0, which ends them.
uint64_t TimedTail(hid_t times, uint64_t from, uint64_t available) {
    constexpr uint64_t kChunk = 65536;
    double before = 0.0;
    if (from > 0 && !ReadSlab(times, H5T_NATIVE_DOUBLE, from - 1, 1, &before))
        return from;
    std::vector<double> chunk;
    for (uint64_t at = from; at < available; at += chunk.size()) {
        chunk.resize(static_cast<size_t>(std::min(kChunk, available - at)));
        if (!ReadSlab(times, H5T_NATIVE_DOUBLE, at, chunk.size(), chunk.data()))
            return at;
        for (size_t i = 0; i < chunk.size(); ++i) {
            if (!std::isfinite(chunk[i]) || !(chunk[i] > 0.0) || chunk[i] < before)
                return at + i;
            before = chunk[i];
        }
    }
    return available;
}

// The records of /gaps, in the order written; false when it is there but not as written.
bool ReadGaps(hid_t file, std::vector<GapRecord> &gaps) {
    gaps.clear();
    if (H5Lexists(file, format::kGaps, H5P_DEFAULT) <= 0)
        return true;
    const Hid dataset(H5Dopen2(file, format::kGaps, H5P_DEFAULT), H5Dclose);
    const int64_t records = dataset.ok() ? Length(dataset) : -1;
    if (records < 0)
        return false;
    struct Row {
        uint64_t atSample;
        uint64_t lost;
        double start;
        double length;
        char *startUtc;
        char *cause;
    };
    const Hid text(H5Tcopy(H5T_C_S1), H5Tclose);
    H5Tset_size(text, H5T_VARIABLE);
    H5Tset_cset(text, H5T_CSET_UTF8);
    const Hid type(H5Tcreate(H5T_COMPOUND, sizeof(Row)), H5Tclose);
    H5Tinsert(type, format::kGapAtSample, HOFFSET(Row, atSample), H5T_NATIVE_UINT64);
    H5Tinsert(type, format::kGapLost, HOFFSET(Row, lost), H5T_NATIVE_UINT64);
    H5Tinsert(type, format::kGapStart, HOFFSET(Row, start), H5T_NATIVE_DOUBLE);
    H5Tinsert(type, format::kGapLength, HOFFSET(Row, length), H5T_NATIVE_DOUBLE);
    H5Tinsert(type, format::kGapStartUtc, HOFFSET(Row, startUtc), text);
    H5Tinsert(type, format::kGapCause, HOFFSET(Row, cause), text);
    std::vector<Row> rows(static_cast<size_t>(records));
    if (rows.empty())
        return true;
    if (H5Dread(dataset, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, rows.data()) < 0)
        return false;
    for (const Row &row : rows)
        gaps.push_back({row.atSample, row.lost, row.start, row.length,
                        QString::fromUtf8(row.startUtc ? row.startUtc : ""),
                        QString::fromUtf8(row.cause ? row.cause : "")});
    const Hid space(H5Dget_space(dataset), H5Sclose);
    H5Dvlen_reclaim(type, space, H5P_DEFAULT, rows.data());
    return true;
}

// A conversion figure, or its guess from the registers where the mode was not known.
double Figure(hid_t root, const char *name, const char *guess, bool &modeKnown) {
    if (H5Aexists(root, name) <= 0 && H5Aexists(root, guess) > 0) {
        modeKnown = false;
        return NumberAttribute(root, guess);
    }
    return NumberAttribute(root, name);
}

// A gap recorded after samples a killed capture never finished cannot be placed: it is left
// out with them. Gaps that go back are no record this program wrote.
bool Hdf5Part::keepGapsWithin(QString &error) {
    uint64_t before = 0;
    for (const GapRecord &gap : m_gaps) {
        if (gap.atSample < before || !std::isfinite(gap.startSeconds) ||
            !std::isfinite(gap.lengthSeconds) || gap.lengthSeconds < 0) {
            error = QStringLiteral("%1: its \"%2\" are out of order or not finite")
                        .arg(m_path, QLatin1String(format::kGaps));
            return false;
        }
        before = gap.atSample;
    }
    std::erase_if(m_gaps, [this](const GapRecord &gap) { return gap.atSample > m_count; });
    return true;
}

bool Hdf5Part::open(QString &error) {
    const hid_t root = m_file;
    m_facts.chip = StringAttribute(root, format::kChip);
    m_facts.registers = BytesAttribute(root, format::kRegisters);
    m_facts.referenceVolts = NumberAttribute(root, format::kReferenceVolts);
    m_facts.referenceSource = StringAttribute(root, format::kReferenceSource);
    m_facts.mode = StringAttribute(root, format::kMode);
    bool known = true;
    m_facts.pgaGain = Figure(root, format::kPgaGain, format::kPgaGainGuess, known);
    m_facts.dataRateSps = Figure(root, format::kDataRate, format::kDataRateGuess, known);
    m_facts.dataRateRecorded =
        H5Aexists(root, format::kDataRate) > 0 || H5Aexists(root, format::kDataRateGuess) > 0;
    m_facts.voltsPerCode = Figure(root, format::kVoltsPerCode, format::kVoltsPerCodeGuess, known);
    m_facts.modeKnown = known;
    m_facts.programVersion = StringAttribute(root, format::kProgramVersion);
    m_facts.startTime = StringAttribute(root, format::kStartTime);
    m_facts.boardIdentity = StringAttribute(root, format::kBoardIdentity);
    m_facts.runStartUtc = StringAttribute(root, format::kRunStartUtc);
    m_facts.stoppedBy = StringAttribute(root, format::kStoppedBy);
    // Converted only when they fit: a NaN or a huge value cast to an integer is undefined.
    const double number = NumberAttribute(root, format::kFileNumber, 1);
    const double firstSample = NumberAttribute(root, format::kFirstSample);
    if (!(number >= 1 && number <= 1e9) || !(firstSample >= 0 && firstSample < 1e18)) {
        const bool badNumber = !(number >= 1 && number <= 1e9);
        error =
            QStringLiteral("%1: %2 is %3, not a count")
                .arg(m_path, QLatin1String(badNumber ? format::kFileNumber : format::kFirstSample))
                .arg(badNumber ? number : firstSample);
        return false;
    }
    m_facts.fileNumber = static_cast<int>(number);
    m_facts.firstSample = static_cast<uint64_t>(firstSample);
    // Kept for the record; a file left unfinished says so by its stopped_by.
    if (m_facts.stoppedBy == QLatin1String(format::kStoppedByUnfinished))
        m_facts.stoppedBy.clear();

    const int64_t codes = Length(m_codes);
    uint64_t blocks = 0;
    if (codes < 0 || !CompleteBlocks(m_file, static_cast<uint64_t>(codes), blocks)) {
        error = QStringLiteral("%1: an HDF5 file without the capture's datasets (\"%2\" and "
                               "\"%3\" of one dimension)")
                    .arg(m_path, QLatin1String(format::kCodes), QLatin1String(format::kBlocks));
        return false;
    }
    if (!ReadGaps(m_file, m_gaps)) {
        error = QStringLiteral("%1: its \"%2\" cannot be read as the capture writes it")
                    .arg(m_path, QLatin1String(format::kGaps));
        return false;
    }
    if (!m_times.ok()) {
        m_count = blocks;
        return keepGapsWithin(error);
    }
    const int64_t times = Length(m_times);
    if (times < 0) {
        error = QStringLiteral("%1: its \"%2\" is not of one dimension")
                    .arg(m_path, QLatin1String(format::kTimes));
        return false;
    }
    m_facts.timeRule = StringAttribute(m_times, format::kTimeRule);
    // Every piece is written codes and times together and synced whole: a sample in both
    // datasets was written whole, block record or not.
    const uint64_t both = std::min(static_cast<uint64_t>(codes), static_cast<uint64_t>(times));
    blocks = std::min(blocks, both);
    m_count = TimedTail(m_times, blocks, both);
    return keepGapsWithin(error);
}

} // namespace

std::unique_ptr<CapturePart> OpenHdf5Part(const QString &path, QString &error) {
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    const QByteArray name = path.toLocal8Bit();
    // Without HDF5's file lock, the documented way to read a capture still being written: the
    // writer syncs each piece whole, so what is there reads as a killed capture's does.
    const Hid access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
    H5Pset_file_locking(access, false, true);
    const hid_t file = H5Fopen(name.constData(), H5F_ACC_RDONLY, access);
    if (file < 0) {
        error = QStringLiteral("%1: the HDF5 file cannot be opened (damaged, or still being "
                               "written)")
                    .arg(path);
        return nullptr;
    }
    const hid_t codes = H5Lexists(file, format::kCodes, H5P_DEFAULT) > 0
                            ? H5Dopen2(file, format::kCodes, H5P_DEFAULT)
                            : -1;
    const hid_t times = H5Lexists(file, format::kTimes, H5P_DEFAULT) > 0
                            ? H5Dopen2(file, format::kTimes, H5P_DEFAULT)
                            : -1;
    auto part = std::make_unique<Hdf5Part>(path, file, codes, times);
    if (codes < 0) {
        error = QStringLiteral("%1: an HDF5 file without the capture's datasets (no \"%2\")")
                    .arg(path, QLatin1String(format::kCodes));
        return nullptr;
    }
    if (!part->open(error))
        return nullptr;
    return part;
}

} // namespace capture
