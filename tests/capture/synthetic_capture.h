#pragma once
// Capture files made to order with the capture's own writers: white noise on a straight drift
// (and optionally a random walk), at a nominal rate, in blocks, as one part of a set.

#include "capture/capture_writer.h"
#include "tests/support/chip_facts_at.h"

#include <cmath>
#include <random>

struct SyntheticCapture {
    uint64_t samples = 100000;
    double rate = 200.0;
    double sigma = 25.0;         // codes of white noise
    double walk = 0.0;           // codes per sample of random walk
    double driftPerSecond = 2.0; // codes
    double offset = 1000.0;      // codes
    int number = 1;              // of the part
    uint64_t firstSample = 0;    // run-wide
    QString stoppedBy = QStringLiteral("user");
    uint32_t seed = 5;
    size_t block = 4096;
};

inline bool WriteSyntheticCapture(const QString &path, capture::FileFormat format,
                                  const SyntheticCapture &s) {
    capture::CaptureFacts facts;
    facts.chipName = QStringLiteral("VXC5480");
    facts.registers = {0x30, 0x01, 0x20, 0xF0};
    facts.conversion = Vxc5480GainOneAt(s.rate); // 10 V / 2^24 a code
    facts.programVersion = QStringLiteral("2.0.0.3");
    facts.startTime = QStringLiteral("2026-06-01T22:00:00+02:00");
    std::mt19937 rng(s.seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    auto writer = capture::MakeWriter(format);
    if (!writer->create(path, facts, {s.number, s.firstSample}, true))
        return false;
    double level = 0;
    for (uint64_t done = 0; done < s.samples;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(s.block, s.samples - done));
        std::vector<int32_t> codes(n);
        std::vector<double> seconds(n);
        for (size_t i = 0; i < n; ++i) {
            const double t = double(s.firstSample + done + i) / s.rate;
            level += s.walk * noise(rng);
            codes[i] = static_cast<int32_t>(
                std::lround(s.offset + s.driftPerSecond * t + level + s.sigma * noise(rng)));
            seconds[i] = t;
        }
        const capture::BlockStamp block{s.firstSample + done, 0, 0, uint32_t(n)};
        if (!writer->appendPiece(s.firstSample + done, codes, seconds, &block))
            return false;
        done += n;
    }
    return s.stoppedBy.isEmpty() || writer->finish(s.stoppedBy);
}
