"""The long-run analysis of an array of codes: known answers for white noise."""

import numpy as np
import pytest

import pellorin

SIGMA = 100.0
RATE = 1000.0


@pytest.fixture(scope="module")
def white():
    return np.round(np.random.default_rng(7).normal(0.0, SIGMA, 1 << 16)).astype(np.int32)


def test_noise_density_of_white_noise_is_flat_at_its_level(white):
    freqs, density = pellorin.noise_density(white, rate=RATE)
    assert freqs[0] > 0 and freqs[-1] == pytest.approx(RATE / 2)
    # One-sided: sigma^2 * 2 / fs, within a few percent over the averaged segments.
    assert np.median(density) == pytest.approx(np.sqrt(SIGMA**2 * 2 / RATE), rel=0.05)


def test_allan_deviation_of_white_noise_falls_as_one_over_root_tau(white):
    tau, adev, low, high = pellorin.allan_deviation(white, rate=RATE)
    assert tau[0] == pytest.approx(1 / RATE)
    first = slice(0, 6)
    assert np.all(low[first] <= adev[first]) and np.all(adev[first] <= high[first])
    np.testing.assert_allclose(adev[first], SIGMA / np.sqrt(tau[first] * RATE), rtol=0.05)


def test_volts_follow_the_facts_and_a_rate_is_needed(white):
    facts = {"data_rate_sps": RATE, "volts_per_code": 1e-6}
    _, in_codes = pellorin.noise_density(white, rate=RATE)
    _, in_volts = pellorin.noise_density(white, facts)
    np.testing.assert_allclose(in_volts, in_codes * 1e-6)
    with pytest.raises(ValueError, match="a data rate is needed"):
        pellorin.allan_deviation(white)
