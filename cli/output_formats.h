#pragma once
// What the commands print, as functions of a stream, so each format is tested on a buffer.

#include "analysis/spectrum.h"
#include "conversion/conversion_facts.h"
#include "scan/scan_figures.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace capture {
struct CaptureResult;
}

namespace cli {

struct RegisterRow {
    int address;
    QString name;
    uint8_t value;
};

struct SampleStats {
    int64_t count = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t average = 0; // as the window's "Average": the sum over the count, toward zero
    int64_t peakToPeak = 0;
    // The analysis library's noise figures: RMS noise (codes), effective and noise-free
    // resolution (bits, infinite for a record without noise), skewness and excess kurtosis
    // (not a number without noise).
    double mean = 0;
    double rmsNoise = 0;
    double effectiveBits = 0;
    double noiseFreeBits = 0;
    double skewness = 0;
    double excessKurtosis = 0;
    // Samples at either code limit: with any, the figures are in doubt.
    int64_t clipped = 0;
    // The figures of the tone the spectrum found, if it found one.
    std::optional<analysis::ToneMetrics> tone;
};

// "PORT<TAB>CHIP".
void WriteDetectText(std::ostream &out, const QString &port, const QString &chip);
// {"port": ..., "chip": ..., "chipId": ...}
void WriteDetectJson(std::ostream &out, const QString &port, const QString &chip, int chipId);

// One line per register: "0x01  MUX     0x01", under a heading.
void WriteRegisterTable(std::ostream &out, const std::vector<RegisterRow> &rows);
// {"chip": ..., "port": ..., "registers": [{"address", "name", "value"}, ...]}
void WriteRegisterJson(std::ostream &out, const QString &chip, const QString &port,
                       const std::vector<RegisterRow> &rows);

// One decimal sample per line, "\n" line ends.
void WriteSamplesPlain(std::ostream &out, const std::vector<int32_t> &samples);
// "index,code" heading, then one row per sample.
void WriteSamplesCsv(std::ostream &out, const std::vector<int32_t> &samples);
// {"count": ..., "samples": [...]}
void WriteSamplesJson(std::ostream &out, const std::vector<int32_t> &samples);

// The window's minimum, maximum and average, with count, peak-to-peak and the noise figures
// of the analysis window; no tone (the caller adds the spectrum's).
SampleStats ComputeStats(const std::vector<int32_t> &samples);
// One "name value" line per figure; a figure without a finite value (the resolutions of a
// record without noise) is "null". RMS noise and peak-to-peak follow in microvolts (null
// where the facts claim no volts), then the conversion facts under the capture files' names
// (reference_volts, reference_source ...), then the tone's lines when there is a tone.
void WriteStatsText(std::ostream &out, const SampleStats &stats,
                    const conversion::ConversionFacts &facts);
// The same as one object; "tone" is an object of its figures, or null.
void WriteStatsJson(std::ostream &out, const SampleStats &stats,
                    const conversion::ConversionFacts &facts);

// The object with the conversion facts added as members, under the names the capture files
// give them (reference_volts, reference_source, mode, pga_gain ...).
QJsonObject WithConversionFacts(QJsonObject object, const conversion::ConversionFacts &facts);

// The capture's summary: samples, seconds, blocks, files, dead time, why it stopped, last file
// (empty when none was written: "none" in text, null in JSON).
void WriteCaptureText(std::ostream &out, const capture::CaptureResult &result,
                      const QString &lastFile);
// The JSON object carries the conversion facts too, under the files' names.
void WriteCaptureJson(std::ostream &out, const capture::CaptureResult &result,
                      const QString &lastFile, const conversion::ConversionFacts &facts);
// The scan's table as the window shows it, in aligned columns under its headings; the rows
// measured only.
void WriteScanText(std::ostream &out, const panel_common::MuxLayout &layout,
                   const std::vector<scan::ScanRow> &rows, double lsbVolts);
// {"rows": [{"positive", "negative", "repeats", "samples", "mean", "rms", "peakToPeak",
// "effectiveBits", "noiseFreeBits", "minimum", "maximum", "clipped", "meanSpread",
// "rmsSpread"}, ...], "complete": ...}: the rows measured, figures in codes (means over the
// repeats), a resolution without a finite value null; complete is false after a fault. The
// conversion facts follow under the capture files' names (reference_volts ...).
void WriteScanJson(std::ostream &out, const panel_common::MuxLayout &layout,
                   const std::vector<scan::ScanRow> &rows, bool complete,
                   const conversion::ConversionFacts &facts);

// With --json, a run that fails before printing its result says so on standard output too:
// {"error": the messages given, one per line, "exitStatus": status}.
void WriteFailureJson(std::ostream &out, const QStringList &messages, int status);

} // namespace cli
