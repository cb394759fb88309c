#include "samples.h"

#include "link/frames.h"

#include <cstddef>

SampleRecord g_sampleRecord;
const std::vector<int32_t> &g_samples = g_sampleRecord.samples();

void SampleRecord::assign(const uint8_t *items, int count) {
    ConvertSamples(items, count, m_samples);
    m_items.assign(items, items + static_cast<size_t>(count) * kItemSize);
}

void SampleRecord::clear() {
    m_samples.clear();
    m_items.clear();
}

int FirstBadItem(const uint8_t *items, int count) {
    for (int i = 0; i < count; ++i) {
        if (!ItemChecksumOk(items + static_cast<size_t>(i) * kItemSize))
            return i;
    }
    return -1;
}

int ConvertSamples(const uint8_t *items, int count, std::vector<int32_t> &samples) {
    samples.clear();
    samples.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        samples.push_back(ItemValue(items + static_cast<size_t>(i) * kItemSize));
    return 0;
}
