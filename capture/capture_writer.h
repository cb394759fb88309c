#pragma once
// Where a capture's samples go: one small interface, HDF5 and CSV behind it. The engine opens
// a file, hands it the samples a piece at a time (a fraction of a second each; a block's last
// piece with the block's record) and closes it with the reason the capture stopped. Every call
// reports failure by false and leaves the file and the cause in error().

#include "capture_settings.h"
#include "gap_record.h"

#include "platform/file_error.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <span>

namespace capture {

// When and where a block starts: its first sample's run-wide index, the wall-clock time
// (seconds since 1970, UTC) and the monotonic time (seconds since the capture started) at
// which its request went out; and the samples it brought.
struct BlockStamp {
    uint64_t firstSample = 0;
    double wallSeconds = 0.0;
    double monotonicSeconds = 0.0;
    uint32_t samples = 0;
};

class CaptureWriter {
  public:
    virtual ~CaptureWriter() = default;

    // Makes the file; refuses one that exists unless replace is set.
    virtual bool create(const QString &path, const CaptureFacts &facts, const FilePart &part,
                        bool replace) = 0;
    // Appends one piece: codes from the run-wide index firstSample on and, per sample, its time
    // (seconds since the capture started, by the arrival rule of analysis/sample_times.h);
    // endsBlock, when given, is the record of the block this piece completes. On return the
    // piece is on disk (flushed and synced): a crash after this loses none of it.
    virtual bool appendPiece(uint64_t firstSample, std::span<const int32_t> codes,
                             std::span<const double> sampleSeconds,
                             const BlockStamp *endsBlock) = 0;
    // Records a gap where it falls: after the samples appended so far (gap.atSample is their
    // count). On return it is on disk as a piece is; the next piece's first sample is the
    // run-wide index after the lost conversions.
    virtual bool writeGap(const GapRecord &gap) = 0;
    // Records why the capture stopped and closes the file. What was appended stays readable
    // even when this fails.
    virtual bool finish(const QString &stoppedBy) = 0;
    virtual uint64_t fileBytes() const = 0;
    virtual platform::FileError error() const = 0;
    // "PATH: cause", as the user reads it.
    QString errorText() const { return error().text(); }
};

std::unique_ptr<CaptureWriter> MakeWriter(FileFormat format);

} // namespace capture
