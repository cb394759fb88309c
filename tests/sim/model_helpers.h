#pragma once
// Small helpers shared by the board model tests: frames in, concatenated reply bytes out.

#include "sim/board_model.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace simtest {

using Bytes = std::vector<uint8_t>;

inline Bytes Concat(const std::vector<sim::Emission> &emissions) {
    Bytes out;
    for (const sim::Emission &e : emissions)
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

inline Bytes Send(sim::BoardModel &model, const Bytes &bytes) {
    return Concat(model.receive(bytes.data(), bytes.size()));
}

inline Bytes Command(sim::BoardModel &model, uint8_t code, uint8_t p1 = 0, uint8_t p2 = 0) {
    const sim::Frame f = sim::MakeFrame(static_cast<uint8_t>(model.chip()), code, p1, p2);
    return Send(model, Bytes(f.begin(), f.end()));
}

// Runs the acquisition stream to its end and returns every byte it produced.
inline Bytes DrainStream(sim::BoardModel &model, bool *hungUp = nullptr) {
    Bytes out;
    sim::StreamStep step;
    while (model.nextStreamStep(step)) {
        out.insert(out.end(), step.bytes.begin(), step.bytes.end());
        if (hungUp && step.hangUp)
            *hungUp = true;
    }
    return out;
}

inline int32_t ItemValue(const uint8_t *item) {
    int32_t v = (item[0] << 16) | (item[1] << 8) | item[2];
    return (item[0] & 0x80) ? v - 0x1000000 : v;
}

// Acquires count items and returns their codes.
inline std::vector<int32_t> Acquire(sim::BoardModel &model, int count) {
    Command(model, 0x0F, static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count));
    const Bytes items = DrainStream(model);
    std::vector<int32_t> codes;
    for (size_t i = 0; i + 4 <= items.size(); i += 4)
        codes.push_back(ItemValue(&items[i]));
    return codes;
}

// Acquires count items once the conversions still settling after the last configuration write
// are past, as a program that wants the new input lets them go.
inline std::vector<int32_t> AcquireSettled(sim::BoardModel &model, int count) {
    const int settling = model.conversion().settlingLeft();
    std::vector<int32_t> codes = Acquire(model, settling + count);
    codes.erase(codes.begin(),
                codes.begin() + std::min<std::ptrdiff_t>(settling, std::ssize(codes)));
    return codes;
}

} // namespace simtest
