#pragma once
// The samples of the last successful acquisition and the conversion of the board's 4-byte
// items into them.

#include <cstdint>
#include <vector>

// Signed 24-bit codes, sign-extended, in arrival order. Only a successful acquisition or the
// chart reset changes them.
extern std::vector<int32_t> g_samples;

// Index of the first item whose checksum byte is wrong, or -1 when all are good.
int FirstBadItem(const uint8_t *items, int count);

// Replaces samples by the values of count items (storage is reused). Returns 0.
int ConvertSamples(const uint8_t *items, int count, std::vector<int32_t> &samples);
