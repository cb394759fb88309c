#pragma once
// What the capture-file reader relies on in the files the capture writes (hdf5_writer.h,
// csv_writer.h): every name in one place, so a change of the format is made here and in the
// two part readers only.
//
// HDF5
//   /codes    integer, one dimension: the codes in order                       (required)
//   /blocks   compound records with "samples" (unsigned): a block is complete when its
//             record exists and all its codes are in /codes                    (required)
//   /time_s   float, one dimension: each sample's seconds since the capture's start; used
//             when present and as long as the complete blocks                  (optional)
//   root attributes (each optional; a missing one reads as unknown): the strings chip,
//             program_version, start_time, stopped_by, reference_source; the numbers
//             reference_volts, pga_gain, data_rate_sps, volts_per_code, file_number,
//             first_sample; registers (bytes)
// CSV
//   "# name: value" lines with the same names as the HDF5 attributes (registers as hex bytes
//   separated by spaces), then a header line naming the columns: "code" is required, "time_s"
//   and "index" are used when present; one line per sample; "# stopped_by: ..." after the
//   last sample when the capture closed the file. A last line without its line end is an
//   unfinished write and is left out.
// Split sets: each part carries file_number (1, 2, ...) and first_sample (run-wide), the
// parts but the last stopped_by "split"; the parts of one capture share chip and start_time.

namespace capture::format {

inline constexpr const char *kCodes = "codes";
inline constexpr const char *kBlocks = "blocks";
inline constexpr const char *kBlockSamples = "samples";
inline constexpr const char *kTimes = "time_s";

inline constexpr const char *kChip = "chip";
inline constexpr const char *kRegisters = "registers";
inline constexpr const char *kReferenceVolts = "reference_volts";
inline constexpr const char *kReferenceSource = "reference_source";
inline constexpr const char *kPgaGain = "pga_gain";
inline constexpr const char *kDataRate = "data_rate_sps";
inline constexpr const char *kVoltsPerCode = "volts_per_code";
inline constexpr const char *kProgramVersion = "program_version";
inline constexpr const char *kStartTime = "start_time";
inline constexpr const char *kFileNumber = "file_number";
inline constexpr const char *kFirstSample = "first_sample";
inline constexpr const char *kStoppedBy = "stopped_by";

inline constexpr const char *kCodeColumn = "code";
inline constexpr const char *kTimeColumn = "time_s";
inline constexpr const char *kIndexColumn = "index";

// stopped_by of every part of a split set but the last.
inline constexpr const char *kStoppedBySplit = "split";

} // namespace capture::format
