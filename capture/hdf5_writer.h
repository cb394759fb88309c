#pragma once
// The HDF5 file of a capture, on the HDF5 C library.
//   /codes   int32, extendible and chunked: the signed 24-bit codes in order
//   /time_s  float64, one per code: its time in seconds since the capture started, by the
//            arrival rule (analysis/sample_times.h), stated in its attribute time_rule
//   /blocks  one record per block: first_sample (uint64), samples (uint32), wall_time and
//            monotonic_time (float64 seconds, see BlockStamp); a block cut short by a crash
//            has its pieces' codes in the file but no record
//   /gaps    one record per gap (gap_record.h): at_sample and lost (uint64), start_s and length_s
//            (float64), start_utc and cause (variable-length UTF-8 strings); made at the first
//            gap, as h5py reads it plainly: a structured array, one row per gap
//   attributes of the root group: chip, registers, reference_volts, pga_gain, data_rate_sps,
//            volts_per_code, program_version, start_time, file_number, first_sample and
//            stopped_by ("unfinished" until the capture closes the file)
// Not a single-writer/multiple-reader file: such a file keeps flags that make a plain open fail
// after a crash. Instead every HDF5 call happens in one burst per piece (extend, write, flush,
// then fsync of the file), so between bursts the file on disk is whole. Before a burst the
// file is given the room the piece will take, so a full disk fails the piece before the
// library writes anything.

#include "capture_writer.h"

#include <cstdint>

namespace capture {

class Hdf5Writer : public CaptureWriter {
  public:
    Hdf5Writer();
    ~Hdf5Writer() override;

    bool create(const QString &path, const CaptureFacts &facts, const FilePart &part,
                bool replace) override;
    bool appendPiece(uint64_t firstSample, std::span<const int32_t> codes,
                     std::span<const double> sampleSeconds, const BlockStamp *endsBlock) override;
    bool writeGap(const GapRecord &gap) override;
    bool finish(const QString &stoppedBy) override;
    uint64_t fileBytes() const override;
    platform::FileError error() const override { return m_error; }

  private:
    bool fail(const char *what);
    bool writeAttributes(const CaptureFacts &facts, const FilePart &part);
    bool makeDatasets();
    bool makeGaps();
    bool durable();
    bool makeRoom(size_t codes);
    int descriptor() const;
    void closeAll();

    QString m_path;
    platform::FileError m_error;
    int64_t m_file = -1;
    int64_t m_codes = -1;
    int64_t m_times = -1;
    int64_t m_blocks = -1;
    int64_t m_blockType = -1;
    int64_t m_gaps = -1;
    int64_t m_gapType = -1;
    uint64_t m_gapCount = 0;
    uint64_t m_sampleCount = 0;
    uint64_t m_blockCount = 0;
    bool m_broken = false; // a write failed: nothing more goes to this file
};

} // namespace capture
