#pragma once
// The texts of the capture window's readouts, from the engine's progress. Plain functions.

#include "capture_engine.h"

#include <QString>

namespace capture {

struct ReadoutTexts {
    QString elapsed;     // H:MM:SS.s
    QString samples;     // samples written
    QString rate;        // samples per second over the last 10 s, beside the chip's nominal rate
    QString fileSize;    // of the file being written
    QString deadTotal;   // dead time in all (see StreamTiming)
    QString deadLongest; // the longest gap
    QString blockMean;   // codes, and microvolts where the scale is known
    QString blockDeviation;
    QString drift; // volts per hour and its standard error (codes per hour without a scale)
    // Samples at the code limits: "0", or "N (x.xx % of the samples written)".
    QString clipped;
    // Times the board was lost and came back: "none", or "2 (25.3 s in all)".
    QString losses;
};

ReadoutTexts MakeReadouts(const CaptureProgress &progress, double voltsPerCode);

// The one line that says why fewer samples arrive than the chip converts, when its nominal
// rate is above what the wire carries; "" otherwise.
QString WireLimitNote(double nominalSps);

// "1.50 MiB", "512 bytes".
QString FormatBytes(uint64_t bytes);
// "12.30 codes (7.33 µV)", or only codes when voltsPerCode is 0.
QString FormatCodes(double codes, double voltsPerCode);
// "140 ± 22 µV/h": the drift line's slope and its standard error. Blank ("- (needs three
// blocks)") until a third block gives the error a meaning; a slope within its error is shown
// as it is, the ± saying that it may be none.
QString FormatDrift(const DriftLine &drift, double voltsPerCode);

} // namespace capture
