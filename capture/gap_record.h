#pragma once
// A gap in a capture: the board was lost (a hang-up, a read error, a board that stopped
// answering) and reopened, and the file went on. The conversions made meanwhile are lost; the
// file records where, when, how long and why, so every reader keeps its figures on either side
// of it. Widget-free; the CSV line is written and read here, in one place.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace capture {

struct GapRecord {
    // Samples the file holds before the gap: the index into its codes where the samples after
    // the gap begin.
    uint64_t atSample = 0;
    // Conversions lost: the gap's length times the data rate, rounded. The run-wide sample
    // index advances by it, so indexes keep counting conversions.
    uint64_t lost = 0;
    double startSeconds = 0.0;  // when the board was lost, on the file's time_s clock
    double lengthSeconds = 0.0; // until samples flowed again
    QString startUtc;           // the same instant, UTC to the microsecond (UtcInstantText)
    QString cause;              // "hang-up", a read error's text, ...

    bool operator==(const GapRecord &) const = default;
};

// The conversions a gap of lengthSeconds loses at rateSps, rounded; 0 for an unknown rate.
uint64_t LostConversions(double lengthSeconds, double rateSps);

// The gap's CSV line, with its line end: "# gap: at_sample=N lost=M start_s=X length_s=Y
// start_utc=Z cause=TEXT". The cause comes last and runs to the line's end; a line break in
// it becomes a space.
QByteArray CsvGapLine(const GapRecord &gap);
// True for a line that starts as a gap line does (a comment to every other reader).
bool IsCsvGapLine(QByteArrayView line);
// Reads a gap line (without its end); false with the reason when a field is missing or no
// number.
bool ParseCsvGapLine(QByteArrayView line, GapRecord &gap, QString &why);

} // namespace capture
