#pragma once
// Records made to order for the analysis tests: Gaussian noise from a fixed seed (Box-Muller on
// the engine's raw output, the same on every standard library) and sines in whole codes.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace testrec {

class Gaussian {
  public:
    explicit Gaussian(uint32_t seed) : rng_(seed) {}
    double next() {
        constexpr double kScale = 1.0 / 4294967296.0;
        const double u1 = (static_cast<double>(rng_()) + 1.0) * kScale;
        const double u2 = static_cast<double>(rng_()) * kScale;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

  private:
    std::mt19937 rng_;
};

// offset + sigma * N(0,1) + amplitude * sin(2 pi cycles n / count + phase), rounded to codes.
inline std::vector<int32_t> Record(size_t count, double offset, double sigma, double amplitude,
                                   double cycles, uint32_t seed = 7, double phase = 0.3) {
    Gaussian noise(seed);
    std::vector<int32_t> out(count);
    for (size_t n = 0; n < count; ++n) {
        const double angle = 2.0 * std::numbers::pi * cycles * double(n) / double(count) + phase;
        const double v = offset + sigma * noise.next() + amplitude * std::sin(angle);
        out[n] = static_cast<int32_t>(std::lround(v));
    }
    return out;
}

} // namespace testrec
