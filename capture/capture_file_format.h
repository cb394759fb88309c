#pragma once
// The names of the capture's files, in one place for the writers (hdf5_writer.h,
// csv_writer.h, the conversion record of capture_facts.h) and the two part readers, and what
// the readers rely on in them.
//
// HDF5
//   /codes    integer, one dimension: the codes in order                       (required)
//   /blocks   compound records with "samples" (unsigned), one per finished block (required)
//   /time_s   float, one dimension: each sample's seconds since the capture's start, by the
//             rule its attribute time_rule names                               (optional)
//   root attributes (each optional; a missing one reads as unknown): the strings chip, mode,
//             program_version, start_time, board_identity (which board: its by-id link, USB
//             serial number or port), run_start_utc (the instant time_s counts from, UTC to
//             the microsecond), stopped_by ("unfinished" until the capture closes
//             the file), reference_source ("given" or "default"); the numbers
//             reference_volts, pga_gain, data_rate_sps, volts_per_code, file_number,
//             first_sample; registers (bytes). Where the capture did not know the chip's mode,
//             pga_gain_from_registers, data_rate_sps_from_registers and
//             volts_per_code_from_registers stand in for the three figures: guesses nobody
//             claims.
//   The capture appends a piece (a fifth of a second or so) at a time, codes and times
//   together, each piece flushed and synced; a block's record comes with its last piece. What
//   a killed capture left: with /time_s, every sample that is in both datasets, as far as the
//   times keep rising (a time never written reads as the fill value 0); without /time_s, the
//   samples of the leading blocks whose codes are all there.
// CSV
//   "# name: value" lines with the same names as the HDF5 attributes (registers as hex bytes
//   separated by spaces, time_rule among them), then a header line naming the columns:
//   "code" is required, "time_s" and "index" are used when present; one line per sample;
//   "# stopped_by: ..." after the last sample when the capture closed the file. A last line
//   without its line end is an unfinished write and is left out.
// Split sets: each part carries file_number (1, 2, ...) and first_sample (run-wide), the
// parts but the last stopped_by "split"; the parts of one capture share chip and start_time.
// Gaps (capture/gap_record.h): where the board was lost and reopened, the file goes on and
// records the gap where it falls: at_sample (the samples the file holds before it), lost (the
// conversions lost: length_s times the data rate, rounded), start_s (on the time_s clock),
// length_s, start_utc and cause. The run-wide index of the file's sample i is first_sample + i
// + the lost of its gaps whose at_sample is at most i; a part after a gap starts where the one
// before ended, its lost conversions counted. HDF5: the dataset /gaps, one compound record per
// gap with those fields (strings variable-length UTF-8), made at the first gap and written and
// synced as a piece is; a file without it has none. CSV: a line "# gap: at_sample=N lost=M
// start_s=X length_s=Y start_utc=Z cause=TEXT" between the sample lines, just where the gap
// falls (the cause runs to the line's end).

namespace capture::format {

inline constexpr const char *kCodes = "codes";
inline constexpr const char *kBlocks = "blocks";
inline constexpr const char *kBlockSamples = "samples";
inline constexpr const char *kTimes = "time_s";
inline constexpr const char *kTimeRule = "time_rule";

inline constexpr const char *kChip = "chip";
inline constexpr const char *kRegisters = "registers";
inline constexpr const char *kReferenceVolts = "reference_volts";
inline constexpr const char *kReferenceSource = "reference_source";
inline constexpr const char *kMode = "mode";
inline constexpr const char *kPgaGain = "pga_gain";
inline constexpr const char *kDataRate = "data_rate_sps";
inline constexpr const char *kVoltsPerCode = "volts_per_code";
// The same three where the mode was not known: read from registers the chip may not use.
inline constexpr const char *kPgaGainGuess = "pga_gain_from_registers";
inline constexpr const char *kDataRateGuess = "data_rate_sps_from_registers";
inline constexpr const char *kVoltsPerCodeGuess = "volts_per_code_from_registers";
inline constexpr const char *kProgramVersion = "program_version";
inline constexpr const char *kStartTime = "start_time";
inline constexpr const char *kBoardIdentity = "board_identity";
inline constexpr const char *kRunStartUtc = "run_start_utc";
inline constexpr const char *kFileNumber = "file_number";
inline constexpr const char *kFirstSample = "first_sample";
inline constexpr const char *kStoppedBy = "stopped_by";

inline constexpr const char *kGaps = "gaps";
inline constexpr const char *kGapAtSample = "at_sample";
inline constexpr const char *kGapLost = "lost";
inline constexpr const char *kGapStart = "start_s";
inline constexpr const char *kGapLength = "length_s";
inline constexpr const char *kGapStartUtc = "start_utc";
inline constexpr const char *kGapCause = "cause";

inline constexpr const char *kCodeColumn = "code";
inline constexpr const char *kTimeColumn = "time_s";
inline constexpr const char *kIndexColumn = "index";

// reference_source of a reference the user gave (else "default").
inline constexpr const char *kReferenceGiven = "given";
// stopped_by of a file the capture has not closed (yet).
inline constexpr const char *kStoppedByUnfinished = "unfinished";
// stopped_by of every part of a split set but the last.
inline constexpr const char *kStoppedBySplit = "split";

} // namespace capture::format
