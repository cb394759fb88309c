#pragma once
// Reading a capture back: the codes of its HDF5 or CSV file, or of every numbered file of a
// split run in order, with the facts the files record and each sample's time. No widgets; for
// scripts (the Python module's read_capture) and tests.

#include "capture_settings.h"
#include "gap_record.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace capture {

// A gap a file records, placed in the run read back.
struct ReadGap {
    GapRecord record;         // as the file records it (at_sample counts that file's samples)
    QString path;             // the file
    uint64_t index = 0;       // where the samples after it begin in CaptureRead::codes
    uint64_t firstSample = 0; // their run-wide index (the lost conversions counted)
};

struct CaptureRead {
    std::vector<int32_t> codes; // every file's codes, in run order
    CaptureFacts facts;         // as the first file records them
    QString stoppedBy;          // as the last file records it
    QStringList paths;          // the files read, in order
    // Each sample's time in seconds since the capture started, when asked for: the files'
    // own ("time_s", by the rule timeRule names) when every file has them by one rule; else
    // index / data rate (analysis::kRateTimeRule); empty where the rate is not known either.
    std::vector<double> times;
    QString timeRule;
    // The gaps the files record, in run order: nothing should be measured across one.
    std::vector<ReadGap> gaps;
    // "PATH: cause" when a file could not be read, does not continue the run, or was closed
    // for a split whose next file is missing; codes then hold the files read before it.
    QString error;
    QString errorPath;
    QString errorCause;

    bool failed() const { return !error.isEmpty(); }
};

// The files of the run path belongs to: path alone; or, for a split run (path is missing and
// its first numbered file exists, or path is itself a numbered file run_0003.h5), every
// numbered file from the first on, as long as the next one exists.
QStringList CaptureRunFiles(const QString &path);

// Reads the run's files, HDF5 or CSV told apart by content, with the part readers the
// long-run analysis uses (capture_part.h): a file's complete samples. withTimes: each
// sample's time too.
CaptureRead ReadCapture(const QString &path, bool withTimes = true);

} // namespace capture
