#include "analysis/tone_metrics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace analysis {
namespace {

// A tone must stand this far above the typical noise bin to be measured.
constexpr double kToneOverNoise = 1e3; // 30 dB
// A window's skirt is followed outward until it sinks to this many times the mean noise bin.
constexpr double kSkirtOverNoise = 10.0;
constexpr double kFullScalePower = 8388608.0 * 8388608.0 / 2.0;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Band {
    size_t lo = 0;
    size_t hi = 0; // inclusive
};

class BinBook {
  public:
    BinBook(const std::vector<double> &power, size_t lobe, double noiseBin)
        : p_(power), used_(power.size(), false), lobe_(lobe), skirt_(kSkirtOverNoise * noiseBin) {}

    // The lobe around centre, widened while the window's skirt beyond it stays above the
    // noise. Sidelobes dip between their peaks, so a lobe's width of bins is looked across.
    Band band(size_t centre) const {
        Band b{centre > lobe_ ? centre - lobe_ : 0, std::min(centre + lobe_, p_.size() - 1)};
        while (b.lo > 0 && skirtBelow(b.lo))
            --b.lo;
        while (b.hi + 1 < p_.size() && skirtAbove(b.hi))
            ++b.hi;
        return b;
    }
    // What is left of DC after the mean was taken out, and of a slow drift: bin 0, then each
    // next bin as long as it falls away from DC, inside the window's main lobe around bin 0 or,
    // beyond it, while still above the noise. A rising slope is a tone's lobe: the band stops
    // before it. Taking the mean out empties bin 0 whatever the drift, so the step to bin 1 is
    // not taken for a rise.
    Band dcBand(size_t insideLobe) const {
        Band b{0, 0};
        for (size_t next = 1; next < p_.size(); ++next) {
            const bool rising = next >= 2 && p_[next] > p_[next - 1];
            if (rising || (next > insideLobe && p_[next] <= skirt_))
                break;
            b.hi = next;
        }
        return b;
    }
    bool free(const Band &b) const {
        for (size_t k = b.lo; k <= b.hi; ++k)
            if (used_[k])
                return false;
        return true;
    }
    double take(const Band &b) {
        double sum = 0;
        for (size_t k = b.lo; k <= b.hi; ++k) {
            used_[k] = true;
            sum += p_[k];
        }
        return sum;
    }
    bool used(size_t k) const { return used_[k]; }
    // The highest bin not taken, or power.size() when all are.
    size_t highestFree() const {
        size_t best = p_.size();
        for (size_t k = 0; k < p_.size(); ++k)
            if (!used_[k] && (best == p_.size() || p_[k] > p_[best]))
                best = k;
        return best;
    }

  private:
    bool skirtBelow(size_t lo) const {
        for (size_t k = lo; k-- > 0 && lo - k <= lobe_;)
            if (p_[k] > skirt_)
                return true;
        return false;
    }
    bool skirtAbove(size_t hi) const {
        for (size_t k = hi + 1; k < p_.size() && k - hi <= lobe_; ++k)
            if (p_[k] > skirt_)
                return true;
        return false;
    }

    const std::vector<double> &p_;
    std::vector<bool> used_;
    size_t lobe_;
    double skirt_;
};

double typicalNoiseBin(const std::vector<double> &power) {
    // The median of exponentially distributed bin powers is ln 2 times their mean; a median is
    // not pulled up by a tone and its skirt.
    std::vector<double> sorted(power.begin() + 1, power.end());
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    return sorted[sorted.size() / 2] / std::numbers::ln2;
}

double db(double ratio) {
    return 10.0 * std::log10(ratio);
}

// Takes the band of the harmonic that falls at bin `at` (folded into the first Nyquist zone);
// its power, or 0 when that band is already taken by DC, the tone or a lower harmonic.
double takeHarmonic(BinBook &book, const std::vector<double> &power, double at, size_t fftLength,
                    size_t lobe) {
    at = std::fmod(at, static_cast<double>(fftLength));
    if (at > fftLength / 2.0)
        at = static_cast<double>(fftLength) - at;
    const size_t guess = std::min(static_cast<size_t>(std::lround(at)), power.size() - 1);
    size_t centre = guess;
    for (size_t k = guess > lobe ? guess - lobe : 0; k <= std::min(guess + lobe, power.size() - 1);
         ++k)
        if (power[k] > power[centre])
            centre = k;
    const Band band = book.band(centre);
    return book.free(band) ? book.take(band) : 0.0;
}

} // namespace

ToneAnalysis AnalyseTones(const std::vector<double> &power, WindowKind kind, double padding) {
    ToneAnalysis result;
    if (power.size() < 4)
        return result;
    const size_t fftLength = 2 * (power.size() - 1);
    const double halfLobe = kind == WindowKind::Hann ? 2.0 : 4.0;
    const size_t lobe = static_cast<size_t>(std::ceil(halfLobe * padding));
    const double noiseBin = typicalNoiseBin(power);
    BinBook book(power, lobe, noiseBin);
    // DC's own lobe ends at the window's first zero, halfLobe bins out; the bins inside it.
    const Band dc = book.dcBand(lobe - 1);
    book.take(dc);

    const size_t peak = book.highestFree();
    const bool hasTone = peak < power.size() && power[peak] > kToneOverNoise * noiseBin;
    double signal = 0, harmonics = 0, spur = 0;
    if (hasTone) {
        const Band toneBand = book.band(peak);
        double weighted = 0;
        for (size_t k = toneBand.lo; k <= toneBand.hi; ++k)
            weighted += power[k] * static_cast<double>(k);
        signal = book.take(toneBand);
        result.toneBin = weighted / signal;
        // The spur is the highest bin outside DC and the tone, harmonics included.
        for (size_t k = dc.hi + 1; k < power.size(); ++k)
            if (k < toneBand.lo || k > toneBand.hi)
                spur = std::max(spur, power[k]);
        for (int h = 2; h <= 6; ++h)
            harmonics += takeHarmonic(book, power, h * result.toneBin, fftLength, lobe);
    }

    double noiseSum = 0;
    size_t noiseBins = 0;
    for (size_t k = 1; k < power.size(); ++k)
        if (!book.used(k)) {
            noiseSum += power[k];
            ++noiseBins;
        }
    result.meanNoisePower = noiseBins > 0 ? noiseSum / static_cast<double>(noiseBins) : 0.0;
    if (!hasTone)
        return result;

    // The noise under the bins set aside is taken as the mean of the others.
    const double noise = result.meanNoisePower * (static_cast<double>(fftLength) / 2.0);
    ToneMetrics t;
    t.bin = peak;
    t.amplitudeDbfs = db(signal / kFullScalePower);
    t.noiseRmsCodes = std::sqrt(noise);
    t.snrDb = noise > 0 ? db(signal / noise) : kInfinity;
    t.thdDb = harmonics > 0 ? db(harmonics / signal) : -kInfinity;
    t.sinadDb = noise + harmonics > 0 ? db(signal / (noise + harmonics)) : kInfinity;
    t.sfdrDb = spur > 0 ? db(power[peak] / spur) : kInfinity;
    t.enob = (t.sinadDb - t.amplitudeDbfs - 1.76) / 6.02;
    result.tone = t;
    return result;
}

} // namespace analysis
