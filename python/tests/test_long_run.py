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
    for rate in (float("inf"), 1e300, -5.0, 0.0):
        with pytest.raises(ValueError, match=r"a rate must be from 0.001 to 1000000"):
            pellorin.noise_density(white, rate=rate)


# Codes are integers of 24 bits: anything else is refused, never cast (volts to 0, 2**40 to 0,
# 4e9 to a negative code, NaN to INT_MIN).
@pytest.mark.parametrize(
    "codes, error, message",
    [
        (np.array([0.5e-6, 1e-6]), TypeError, "not float64: volts divided by volts_per_code"),
        (np.array([np.nan, 1.0]), TypeError, "not float64"),
        (np.array([True, False] * 8), TypeError, "not bool"),
        (np.array([0, 2**40], dtype=np.int64), ValueError, r"codes\[1\] is 1099511627776"),
        (np.array([4_000_000_000], dtype=np.uint32), ValueError, r"codes\[0\] is 4000000000"),
        (np.array([-8388609], dtype=np.int32), ValueError, "from -8388608 to 8388607"),
        (np.zeros((4, 4), dtype=np.int32), ValueError, "one-dimensional"),
    ],
    ids=["volts", "nan", "bool", "int64 beyond 24 bits", "uint32 beyond", "below", "2-d"],
)
@pytest.mark.parametrize("function", ["noise_figures", "noise_density", "allan_deviation"])
def test_arrays_that_are_not_codes_are_refused(function, codes, error, message):
    with pytest.raises(error, match=message):
        getattr(pellorin, function)(codes, {"data_rate_sps": RATE})


# One rule for short records: a ValueError saying how many codes the function needs.
@pytest.mark.parametrize(
    "function, needs",
    [("noise_figures", 1), ("spectrum", 8), ("noise_density", 16), ("allan_deviation", 3)],
)
def test_too_few_codes_are_refused_saying_how_many_are_needed(function, needs):
    short = np.zeros(needs - 1, dtype=np.int32)
    with pytest.raises(ValueError, match=rf"{function} needs at least {needs} codes?; it was given"):
        getattr(pellorin, function)(short, {"data_rate_sps": RATE})
    getattr(pellorin, function)(np.arange(needs, dtype=np.int16), {"data_rate_sps": RATE})
