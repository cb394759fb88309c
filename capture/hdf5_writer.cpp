#include "hdf5_writer.h"

#include "analysis/sample_times.h"
#include "capture_facts.h"
#include "capture_file_format.h"
#include "hdf5_handle.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace capture {
namespace {

// 64 KiB of codes (128 KiB of times) per chunk: a block of 65535 codes spans a few; the file
// grows by whole chunks at most one chunk ahead of its samples.
constexpr hsize_t kCodeChunk = 16384;
constexpr hsize_t kBlockChunk = 256;
constexpr hsize_t kGapChunk = 16;
// Room made on disk before a piece's burst, beyond its codes and times: new chunks, the chunk
// index and the block record. HDF5 records the file's new end before it has written up to
// it; with the room there first, a full disk stops the block before the library writes
// anything, and the file on disk stays whole.
constexpr hsize_t kBurstMargin = 256 * 1024;

struct BlockRecord {
    uint64_t firstSample;
    uint32_t samples;
    double wallTime;
    double monotonicTime;
};

// A gap as /gaps holds it; the strings point into the caller's bytes.
struct GapRow {
    uint64_t atSample;
    uint64_t lost;
    double start;
    double length;
    const char *startUtc;
    const char *cause;
};

hid_t StringType() {
    const hid_t type = H5Tcopy(H5T_C_S1);
    H5Tset_size(type, H5T_VARIABLE);
    H5Tset_cset(type, H5T_CSET_UTF8);
    return type;
}

bool WriteStringAttribute(hid_t object, const char *name, const QString &value) {
    const Hid type(StringType(), H5Tclose);
    const Hid space(H5Screate(H5S_SCALAR), H5Sclose);
    const QByteArray bytes = value.toUtf8();
    const char *text = bytes.constData();
    Hid attribute(H5Aexists(object, name) > 0
                      ? H5Aopen(object, name, H5P_DEFAULT)
                      : H5Acreate2(object, name, type, space, H5P_DEFAULT, H5P_DEFAULT),
                  H5Aclose);
    return attribute.ok() && H5Awrite(attribute, type, &text) >= 0;
}

bool WriteNumberAttribute(hid_t object, const char *name, hid_t fileType, hid_t memoryType,
                          const void *value, hsize_t count = 0) {
    const Hid space(count == 0 ? H5Screate(H5S_SCALAR) : H5Screate_simple(1, &count, nullptr),
                    H5Sclose);
    const Hid attribute(H5Acreate2(object, name, fileType, space, H5P_DEFAULT, H5P_DEFAULT),
                        H5Aclose);
    return attribute.ok() && H5Awrite(attribute, memoryType, value) >= 0;
}

hid_t MakeExtendible(hid_t file, const char *name, hid_t type, hsize_t chunk) {
    const hsize_t none = 0;
    const hsize_t unlimited = H5S_UNLIMITED;
    const Hid space(H5Screate_simple(1, &none, &unlimited), H5Sclose);
    const Hid properties(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
    H5Pset_chunk(properties, 1, &chunk);
    return H5Dcreate2(file, name, type, space, H5P_DEFAULT, properties, H5P_DEFAULT);
}

// Appends count elements of memoryType at the end of a one-dimensional dataset.
bool Append(hid_t dataset, hid_t memoryType, uint64_t oldSize, hsize_t count, const void *data) {
    const hsize_t newSize = oldSize + count;
    if (H5Dset_extent(dataset, &newSize) < 0)
        return false;
    const Hid fileSpace(H5Dget_space(dataset), H5Sclose);
    const hsize_t start = oldSize;
    if (!fileSpace.ok() ||
        H5Sselect_hyperslab(fileSpace, H5S_SELECT_SET, &start, nullptr, &count, nullptr) < 0)
        return false;
    const Hid memorySpace(H5Screate_simple(1, &count, nullptr), H5Sclose);
    return H5Dwrite(dataset, memoryType, memorySpace, fileSpace, H5P_DEFAULT, data) >= 0;
}

} // namespace

Hdf5Writer::Hdf5Writer() {
    // A file whose writes failed (a full disk) cannot be closed by the library: it keeps it
    // and would crash tearing it down at exit. The process's end closes it instead.
    H5dont_atexit();
    // Failures are told through errorText(), not printed by the library.
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
}

Hdf5Writer::~Hdf5Writer() {
    closeAll();
}

bool Hdf5Writer::fail(const char *what) {
    const int error = errno;
    m_error = {m_path, QLatin1String(what)};
    if (error != 0)
        m_error.reason += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

bool Hdf5Writer::create(const QString &path, const CaptureFacts &facts, const FilePart &part,
                        bool replace) {
    closeAll();
    m_path = path;
    m_broken = false;
    m_sampleCount = 0;
    m_blockCount = 0;
    m_gapCount = 0;
    errno = 0;
    const QByteArray name = path.toLocal8Bit();
    m_file = H5Fcreate(name.constData(), replace ? H5F_ACC_TRUNC : H5F_ACC_EXCL, H5P_DEFAULT,
                       H5P_DEFAULT);
    if (m_file < 0)
        return fail(errno == EEXIST ? "the file exists" : "the file cannot be created");
    if (!makeDatasets() || !writeAttributes(facts, part))
        return fail("the file cannot be written");
    return durable() || fail("the file cannot be written");
}

bool Hdf5Writer::makeDatasets() {
    m_codes = MakeExtendible(m_file, format::kCodes, H5T_STD_I32LE, kCodeChunk);
    m_times = MakeExtendible(m_file, format::kTimes, H5T_IEEE_F64LE, kCodeChunk);
    if (m_times < 0 || !WriteStringAttribute(m_times, format::kTimeRule,
                                             QString::fromLatin1(analysis::kArrivalTimeRule)))
        return false;
    m_blockType = H5Tcreate(H5T_COMPOUND, sizeof(BlockRecord));
    H5Tinsert(m_blockType, "first_sample", HOFFSET(BlockRecord, firstSample), H5T_NATIVE_UINT64);
    H5Tinsert(m_blockType, format::kBlockSamples, HOFFSET(BlockRecord, samples), H5T_NATIVE_UINT32);
    H5Tinsert(m_blockType, "wall_time", HOFFSET(BlockRecord, wallTime), H5T_NATIVE_DOUBLE);
    H5Tinsert(m_blockType, "monotonic_time", HOFFSET(BlockRecord, monotonicTime),
              H5T_NATIVE_DOUBLE);
    m_blocks = MakeExtendible(m_file, format::kBlocks, m_blockType, kBlockChunk);
    return m_codes >= 0 && m_blockType >= 0 && m_blocks >= 0;
}

bool Hdf5Writer::writeAttributes(const CaptureFacts &facts, const FilePart &part) {
    const Hid root(H5Gopen2(m_file, "/", H5P_DEFAULT), H5Gclose);
    const int fileNumber = part.number;
    const uint64_t firstSample = part.firstSample;
    bool ok = root.ok();
    ok = ok && WriteStringAttribute(root, format::kChip, facts.chipName);
    if (!facts.registers.empty())
        ok = ok && WriteNumberAttribute(root, format::kRegisters, H5T_STD_U8LE, H5T_NATIVE_UINT8,
                                        facts.registers.data(), facts.registers.size());
    for (const RecordedFact &fact : ConversionRecord(facts.conversion)) {
        if (const double *number = std::get_if<double>(&fact.value))
            ok = ok &&
                 WriteNumberAttribute(root, fact.name, H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, number);
        else
            ok = ok && WriteStringAttribute(root, fact.name, std::get<QString>(fact.value));
    }
    ok = ok && WriteStringAttribute(root, format::kProgramVersion, facts.programVersion);
    ok = ok && WriteStringAttribute(root, format::kStartTime, facts.startTime);
    ok = ok && WriteStringAttribute(root, format::kBoardIdentity, facts.boardIdentity);
    ok = ok && WriteStringAttribute(root, format::kRunStartUtc, facts.runStartUtc);
    ok = ok && WriteNumberAttribute(root, format::kFileNumber, H5T_STD_I32LE, H5T_NATIVE_INT,
                                    &fileNumber);
    ok = ok && WriteNumberAttribute(root, format::kFirstSample, H5T_STD_U64LE, H5T_NATIVE_UINT64,
                                    &firstSample);
    return ok && WriteStringAttribute(root, format::kStoppedBy,
                                      QString::fromLatin1(format::kStoppedByUnfinished));
}

bool Hdf5Writer::makeGaps() {
    const Hid text(StringType(), H5Tclose);
    m_gapType = H5Tcreate(H5T_COMPOUND, sizeof(GapRow));
    H5Tinsert(m_gapType, format::kGapAtSample, HOFFSET(GapRow, atSample), H5T_NATIVE_UINT64);
    H5Tinsert(m_gapType, format::kGapLost, HOFFSET(GapRow, lost), H5T_NATIVE_UINT64);
    H5Tinsert(m_gapType, format::kGapStart, HOFFSET(GapRow, start), H5T_NATIVE_DOUBLE);
    H5Tinsert(m_gapType, format::kGapLength, HOFFSET(GapRow, length), H5T_NATIVE_DOUBLE);
    H5Tinsert(m_gapType, format::kGapStartUtc, HOFFSET(GapRow, startUtc), text);
    H5Tinsert(m_gapType, format::kGapCause, HOFFSET(GapRow, cause), text);
    m_gaps = MakeExtendible(m_file, format::kGaps, m_gapType, kGapChunk);
    return m_gapType >= 0 && m_gaps >= 0;
}

bool Hdf5Writer::writeGap(const GapRecord &gap) {
    if (m_file < 0)
        return fail("the file is not open");
    errno = 0;
    if (m_broken || !makeRoom(0))
        return fail("the gap cannot be written");
    const QByteArray startUtc = gap.startUtc.toUtf8(), cause = gap.cause.toUtf8();
    const GapRow row{gap.atSample,         gap.lost,         gap.startSeconds, gap.lengthSeconds,
                     startUtc.constData(), cause.constData()};
    const bool ok = (m_gaps >= 0 || makeGaps()) && Append(m_gaps, m_gapType, m_gapCount, 1, &row);
    if (!ok || !durable()) {
        m_broken = true;
        return fail("the gap cannot be written");
    }
    ++m_gapCount;
    return true;
}

int Hdf5Writer::descriptor() const {
    void *handle = nullptr;
    if (H5Fget_vfd_handle(m_file, H5P_DEFAULT, &handle) < 0 || !handle)
        return -1;
    return *static_cast<int *>(handle);
}

bool Hdf5Writer::durable() {
    if (H5Fflush(m_file, H5F_SCOPE_GLOBAL) < 0)
        return false;
    const int fd = descriptor();
    return fd >= 0 && fsync(fd) == 0;
}

bool Hdf5Writer::makeRoom(size_t codes) {
    haddr_t end = 0;
    const int fd = descriptor();
    if (fd < 0 || H5Fget_eoa(m_file, &end) < 0)
        return false;
    const off_t length =
        static_cast<off_t>(end + codes * (sizeof(int32_t) + sizeof(double)) + kBurstMargin);
    const int error = posix_fallocate(fd, 0, length);
    errno = error;
    return error == 0;
}

bool Hdf5Writer::appendPiece(uint64_t, std::span<const int32_t> codes,
                             std::span<const double> sampleSeconds, const BlockStamp *endsBlock) {
    if (m_file < 0)
        return fail("the file is not open");
    const bool record = endsBlock && endsBlock->samples > 0;
    if (codes.empty() && !record)
        return true;
    errno = 0;
    if (sampleSeconds.size() != codes.size() || !makeRoom(codes.size()))
        return fail("the block cannot be written");
    bool ok = true;
    if (!codes.empty()) {
        ok = Append(m_codes, H5T_NATIVE_INT32, m_sampleCount, codes.size(), codes.data()) &&
             Append(m_times, H5T_NATIVE_DOUBLE, m_sampleCount, codes.size(), sampleSeconds.data());
    }
    if (ok && record) {
        const BlockRecord block{endsBlock->firstSample, endsBlock->samples, endsBlock->wallSeconds,
                                endsBlock->monotonicSeconds};
        ok = Append(m_blocks, m_blockType, m_blockCount, 1, &block);
    }
    if (!ok || !durable()) {
        m_broken = true;
        return fail("the block cannot be written");
    }
    m_sampleCount += codes.size();
    m_blockCount += record ? 1 : 0;
    return true;
}

bool Hdf5Writer::finish(const QString &stoppedBy) {
    if (m_file < 0)
        return true;
    if (m_broken) {
        // Another write would fail too; what was flushed before stays as it is.
        closeAll();
        return false;
    }
    errno = 0;
    bool ok = false;
    {
        // Closed before the file is.
        const Hid root(H5Gopen2(m_file, "/", H5P_DEFAULT), H5Gclose);
        ok = root.ok() && WriteStringAttribute(root, format::kStoppedBy, stoppedBy) && durable();
    }
    if (!ok)
        fail("the file cannot be closed");
    closeAll();
    return ok;
}

uint64_t Hdf5Writer::fileBytes() const {
    haddr_t end = 0;
    if (m_file >= 0 && H5Fget_eoa(m_file, &end) >= 0)
        return end;
    return 0;
}

void Hdf5Writer::closeAll() {
    if (m_codes >= 0)
        H5Dclose(m_codes);
    if (m_times >= 0)
        H5Dclose(m_times);
    if (m_blocks >= 0)
        H5Dclose(m_blocks);
    if (m_blockType >= 0)
        H5Tclose(m_blockType);
    if (m_gaps >= 0)
        H5Dclose(m_gaps);
    if (m_gapType >= 0)
        H5Tclose(m_gapType);
    if (m_file >= 0)
        H5Fclose(m_file);
    m_codes = m_times = m_blocks = m_blockType = m_gaps = m_gapType = m_file = -1;
}

} // namespace capture
