#pragma once
// The power spectrum of one long real segment, as Welch's method needs it for segments of
// millions of samples: a complex transform of half the length in four steps (transforms of
// the columns, a twiddle, transforms of the rows, each small enough to stay in the cache),
// done in place in the segment's own buffer, the real spectrum's powers then read out of it
// directly. A segment of n samples takes its own n doubles and nothing of its size beside.

#include <complex>
#include <cstddef>
#include <memory>
#include <vector>

template <typename T> class kissfft;

namespace analysis {

class SegmentPower {
  public:
    // n even, n / 2 made of factors 2, 3 and 5.
    explicit SegmentPower(size_t n);
    ~SegmentPower();

    // Adds |X[k]|^2 of the real transform of x (n values, overwritten) to sums[k], k = 0..n/2.
    void add(std::vector<double> &x, std::vector<double> &sums);

  private:
    using Complex = std::complex<double>;
    // e^(-2 pi i t / period) from two tables (coarse and fine steps).
    struct Turns {
        size_t fineSize = 1;
        std::vector<Complex> fine, coarse;
        Turns(size_t period, size_t fineSize);
        Complex at(size_t t) const { return coarse[t / fineSize] * fine[t % fineSize]; }
    };

    size_t m_half; // complex points
    size_t m_rows; // n1: length of the column transforms
    size_t m_cols; // n2: length of the row transforms
    std::unique_ptr<kissfft<double>> m_rowFft, m_colFft;
    Turns m_twiddle; // e^(-2 pi i t / half)
    Turns m_unpack;  // e^(-2 pi i t / (2 half)), for the real spectrum
    std::vector<Complex> m_in, m_out;
};

} // namespace analysis
