#pragma once
// The overview of a long run: the minimum and maximum of every 64 samples, and of every 128,
// 256 ... above, built once while the run is read. A view of any stretch then costs as many
// look-ups as it has columns, whatever the run's length; below 64 samples per column the
// view reads the samples themselves.

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

struct MinMaxColumn {
    uint64_t first = 0; // sample index (of those the source holds)
    uint64_t count = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
};

class MinMaxPyramid {
  public:
    static constexpr uint64_t kBucket = 64;

    // Samples in order, over the whole run.
    void add(std::span<const int32_t> codes);
    // Builds the upper levels; call once after the last add().
    void finish();

    uint64_t count() const { return m_count; }
    // Samples first..last (exclusive) in about columns columns (at most 4/3 of them), each spanning
    // whole buckets of the coarsest level whose bucket fits in a column. Empty when a column would
    // hold fewer than kBucket samples: then read the samples.
    std::vector<MinMaxColumn> columns(uint64_t first, uint64_t last, size_t columns) const;

  private:
    struct Level {
        std::vector<int32_t> minimum, maximum;
    };
    std::vector<Level> m_levels; // level i: buckets of kBucket << i samples
    uint64_t m_count = 0;
    int32_t m_partialMin = 0, m_partialMax = 0;
};

} // namespace analysis
