#pragma once
// The live view's memory of a run, bounded however long it lasts: the whole run as min/max
// columns (two neighbours merge when the columns are full, so each covers twice the samples)
// and the last samples at full resolution in a ring.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace capture {

struct EnvelopeColumn {
    int32_t minimum;
    int32_t maximum;
};

class RunEnvelope {
  public:
    explicit RunEnvelope(size_t columns = 2048, size_t recentSamples = 16384);

    void add(int32_t code);
    void clear();

    // The whole run: columns of an equal number of samples each, the last one filling.
    const std::vector<EnvelopeColumn> &columns() const { return m_columns; }
    uint64_t samples() const { return m_samples; }
    // The last samples, oldest first.
    std::vector<int32_t> recent() const;

  private:
    void merge();

    size_t m_capacity;
    std::vector<EnvelopeColumn> m_columns;
    uint64_t m_perColumn = 1;
    uint64_t m_inLast = 0; // samples in the last column
    uint64_t m_samples = 0;
    std::vector<int32_t> m_ring;
    size_t m_next = 0;
};

// A run's envelope fed on the capture's thread and drawn on the window's: the window takes a
// copy under the lock, a few times a second. Every sample counts in it, whatever the window's
// thread is doing meanwhile (a queue the window drains would have to drop samples while its
// thread is held up, and the envelope of the whole run would miss them).
class SharedEnvelope {
  public:
    void add(std::span<const int32_t> codes);
    void clear();
    uint64_t samples() const;
    RunEnvelope copy() const;

  private:
    mutable std::mutex m_mutex;
    RunEnvelope m_envelope;
};

} // namespace capture
