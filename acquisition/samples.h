#pragma once
// The samples of the last successful acquisition, kept in one record with the items they came
// from, and the conversion of the board's 4-byte items into samples.

#include <cstdint>
#include <vector>

// Signed 24-bit codes, sign-extended, in arrival order, and the items (4 bytes each, checksums
// included, as received) they were converted from. Both change together, so whatever shows or
// saves the samples has their own items: the raw data file never holds another attempt's.
class SampleRecord {
  public:
    const std::vector<int32_t> &samples() const { return m_samples; }
    const std::vector<uint8_t> &items() const { return m_items; }
    bool empty() const { return m_samples.empty(); }

    // Takes count verified items (count * 4 bytes) and their values; storage is reused.
    void assign(const uint8_t *items, int count);
    void clear();

  private:
    std::vector<int32_t> m_samples;
    std::vector<uint8_t> m_items;
};

// The record of the last successful acquisition. Only a successful acquisition or the chart
// reset changes it.
extern SampleRecord g_sampleRecord;
// Its samples, read by the chart, the statistics, the data files and the analysis.
extern const std::vector<int32_t> &g_samples;

// Index of the first item whose checksum byte is wrong, or -1 when all are good.
int FirstBadItem(const uint8_t *items, int count);

// Replaces samples by the values of count items (storage is reused). Returns 0.
int ConvertSamples(const uint8_t *items, int count, std::vector<int32_t> &samples);
