#include "analysis/segment_power.h"

#include <kissfft/kissfft.hh>

#include <algorithm>
#include <bit>
#include <numbers>

namespace analysis {
namespace {

constexpr size_t kColumnGroup = 16; // columns gathered at once: whole cache lines per row

// The power of two nearest below the square root of n that divides n.
size_t SplitOf(size_t n) {
    size_t rows = 1;
    while (rows * 2 * rows * 2 <= n && n % (rows * 2) == 0)
        rows *= 2;
    return rows;
}

} // namespace

SegmentPower::Turns::Turns(size_t period, size_t size) : fineSize(size) {
    const double step = -2.0 * std::numbers::pi / static_cast<double>(period);
    fine.resize(fineSize);
    for (size_t i = 0; i < fineSize; ++i)
        fine[i] = std::polar(1.0, step * static_cast<double>(i));
    coarse.resize(period / fineSize + 1);
    for (size_t i = 0; i < coarse.size(); ++i)
        coarse[i] = std::polar(1.0, step * static_cast<double>(i * fineSize));
}

SegmentPower::SegmentPower(size_t n)
    : m_half(n / 2), m_rows(SplitOf(m_half)), m_cols(m_half / m_rows),
      m_rowFft(std::make_unique<kissfft<double>>(m_cols, false)),
      m_colFft(std::make_unique<kissfft<double>>(m_rows, false)), m_twiddle(m_half, 4096),
      m_unpack(2 * m_half, 4096), m_in(std::max(m_rows * kColumnGroup, m_cols)),
      m_out(m_in.size()) {}

SegmentPower::~SegmentPower() = default;

void SegmentPower::add(std::vector<double> &x, std::vector<double> &sums) {
    // x as m_rows x m_cols complex values, row-major: a[j1][j2] = z[m_cols * j1 + j2].
    Complex *a = reinterpret_cast<Complex *>(x.data());
    const size_t rows = m_rows, cols = m_cols;
    // Columns: for each j2, the transform over j1, times e^(-2 pi i j2 k1 / half).
    for (size_t c0 = 0; c0 < cols; c0 += kColumnGroup) {
        const size_t group = std::min(kColumnGroup, cols - c0);
        for (size_t r = 0; r < rows; ++r)
            for (size_t g = 0; g < group; ++g)
                m_in[g * rows + r] = a[r * cols + c0 + g];
        for (size_t g = 0; g < group; ++g)
            m_colFft->transform(&m_in[g * rows], &m_out[g * rows]);
        for (size_t r = 0; r < rows; ++r)
            for (size_t g = 0; g < group; ++g)
                a[r * cols + c0 + g] = m_out[g * rows + r] * m_twiddle.at((c0 + g) * r); // < half
    }
    // Rows: for each k1, the transform over j2: a[k1][k2] is then Z[k1 + rows * k2].
    for (size_t r = 0; r < rows; ++r) {
        std::copy_n(a + r * cols, cols, m_in.begin());
        m_rowFft->transform(m_in.data(), m_out.data());
        std::copy_n(m_out.begin(), cols, a + r * cols);
    }
    // rows is a power of two: Z[k] lies at row k mod rows, column k / rows.
    const size_t mask = rows - 1, shift = static_cast<size_t>(std::countr_zero(rows));
    const auto z = [&](size_t k) { return a[(k & mask) * cols + (k >> shift)]; };
    // The real input's spectrum from the half-length complex one (as kissfft's transform_real).
    const Complex z0 = z(0);
    sums[0] += (z0.real() + z0.imag()) * (z0.real() + z0.imag());
    sums[m_half] += (z0.real() - z0.imag()) * (z0.real() - z0.imag());
    for (size_t k = 1; 2 * k <= m_half; ++k) {
        const Complex p = z(k), q = z(m_half - k);
        const Complex w(0.5 * (p.real() + q.real()), 0.5 * (p.imag() - q.imag()));
        const Complex v(0.5 * (p.imag() + q.imag()), 0.5 * (q.real() - p.real()));
        const Complex tv = m_unpack.at(k) * v;
        sums[k] += std::norm(w + tv);
        if (m_half - k != k)
            sums[m_half - k] += std::norm(w - tv);
    }
}

} // namespace analysis
