#pragma once
// What a capture is asked to do, and the facts every file of it records. Plain data.

#include "conversion/conversion_facts.h"
#include "link/frames.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace capture {

enum class FileFormat { Hdf5, Csv };
enum class StopRule { ByHand, Duration, Samples };

constexpr int kAutoBlockItems = 0; // about one second of conversions (block_plan.h)
constexpr int kMaxBlockItems = kMaxItemsPerRequest; // a block is one request

// The instant a run's clock starts (time_s 0), on both clocks. Boards captured together share
// one, so their files line up in time.
struct RunClock {
    std::chrono::steady_clock::time_point steady;
    std::chrono::system_clock::time_point utc;
};

struct CaptureSettings {
    QString path; // the file; with a split, the name the numbered files are made from
    FileFormat format = FileFormat::Hdf5;
    int blockItems = kAutoBlockItems; // items per request; kAutoBlockItems: sized by time
    StopRule stop = StopRule::ByHand;
    int64_t durationMs = 0;        // StopRule::Duration
    int64_t samples = 0;           // StopRule::Samples
    int64_t splitMs = 0;           // 0: one file; else a new numbered file at this interval
    bool force = false;            // an existing file may be replaced
    std::optional<RunClock> clock; // unset: the run's own start
    // How long a lost board is waited for (looked for every second) before the capture ends;
    // 0: it ends at once.
    int64_t reconnectWithinMs = 0;
};

// Recorded in every file of the capture, as at its start.
struct CaptureFacts {
    QString chipName;
    std::vector<uint8_t> registers; // the register image, by address
    // What the chip's core made of the registers, at the reference the capture was given.
    conversion::ConversionFacts conversion;
    QString programVersion;
    QString startTime; // ISO 8601, local time with its offset
    // Which board: its link's identity (the /dev/serial/by-id/ link or USB serial number where
    // the system has them, else the port). Filled in by the engine from its board.
    QString boardIdentity;
    // The instant the run's clock starts (time_s 0), UTC to the microsecond, ISO 8601 with a
    // "Z": every file of the run records it, so two boards' runs line up and a file's first
    // sample's offset from it is its first time_s. Filled in by the engine.
    QString runStartUtc;
};

// The file's place in the run: its number (1 for the first) and the run-wide index of its
// first sample.
struct FilePart {
    int number = 1;
    uint64_t firstSample = 0;
};

} // namespace capture
