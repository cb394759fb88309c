#pragma once
// The texts of the capture window's readouts, from the engine's progress. Plain functions.

#include "capture_engine.h"

#include <QString>

namespace capture {

struct ReadoutTexts {
    QString elapsed;     // H:MM:SS
    QString samples;     // samples written
    QString rate;        // samples per second achieved
    QString fileSize;    // of the file being written
    QString deadTotal;   // dead time between blocks, in all
    QString deadLongest; // the longest gap
    QString blockMean;   // codes, and microvolts where the scale is known
    QString blockDeviation;
    QString drift; // microvolts per hour (codes per hour without a scale)
};

ReadoutTexts MakeReadouts(const CaptureProgress &progress, double voltsPerCode);

// "1.50 MiB", "512 bytes".
QString FormatBytes(uint64_t bytes);
// "12.3 codes (7.33 µV)", or only codes when voltsPerCode is 0.
QString FormatCodes(double codes, double voltsPerCode);

} // namespace capture
