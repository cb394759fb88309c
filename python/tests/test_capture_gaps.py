"""A capture with a gap (the board lost and reopened): read_capture returns it, and the
long-run analyses given it compute nothing across it."""

import threading

import h5py
import numpy as np
import pytest

import pellorin

RATE = 100.0
GAP = (
    "# gap: at_sample=2000 lost=50 start_s=20.005 length_s=0.5 "
    "start_utc=2026-01-02T02:04:25.005000Z cause=the board stopped answering\n"
)


def write_hdf5(path, codes, run):
    """The same capture as h5py writes it, /gaps a compound dataset as the capture's."""
    text = h5py.string_dtype("utf-8")
    gap = np.dtype(
        [
            ("at_sample", "<u8"),
            ("lost", "<u8"),
            ("start_s", "<f8"),
            ("length_s", "<f8"),
            ("start_utc", text),
            ("cause", text),
        ]
    )
    block = np.dtype([("first_sample", "<u8"), ("samples", "<u4")])
    with h5py.File(path, "w") as f:
        f["codes"] = codes
        f["time_s"] = (run + 1) / RATE
        f["time_s"].attrs["time_rule"] = "arrival"
        f["blocks"] = np.array([(0, len(codes))], dtype=block)
        f["gaps"] = np.array(
            [(2000, 50, 20.005, 0.5, "2026-01-02T02:04:25.005000Z", "the board stopped answering")],
            dtype=gap,
        )
        f.attrs["chip"] = "VXC5480"
        f.attrs["data_rate_sps"] = RATE
        f.attrs["volts_per_code"] = 1e-6
        f.attrs["file_number"] = 1
        f.attrs["first_sample"] = 0
        f.attrs["stopped_by"] = "user"


@pytest.fixture(params=["csv", "h5"])
def capture(scratch, request):
    """2000 samples, a gap of 50 lost conversions, 2000 samples at a level far away."""
    noise = np.round(np.random.default_rng(3).normal(0.0, 10.0, 4000)).astype(np.int32)
    codes = noise + np.where(np.arange(4000) < 2000, 0, 100000).astype(np.int32)
    run = np.arange(4000) + np.where(np.arange(4000) < 2000, 0, 50)
    if request.param == "h5":
        path = scratch / "gap.h5"
        write_hdf5(path, codes, run)
        return path, codes
    lines = [
        "# chip: VXC5480\n",
        "# data_rate_sps: 100\n",
        "# volts_per_code: 1e-06\n",
        "# file_number: 1\n",
        "# first_sample: 0\n",
        "# time_rule: arrival\n",
        "index,time_s,code,volts\n",
    ]
    for held, code in enumerate(codes):
        if held == 2000:
            lines.append(GAP)
        run = held if held < 2000 else held + 50
        lines.append(f"{run},{(run + 1) / RATE:.6f},{code},\n")
    lines.append("# stopped_by: user\n")
    path = scratch / "gap.csv"
    path.write_text("".join(lines))
    return path, codes


def test_read_capture_returns_the_gaps(capture):
    path, written = capture
    codes, attrs = pellorin.read_capture(str(path))
    np.testing.assert_array_equal(codes, written)
    assert attrs["gaps"] == [
        {
            "at_sample": 2000,
            "lost": 50,
            "start_s": pytest.approx(20.005),
            "length_s": pytest.approx(0.5),
            "start_utc": "2026-01-02T02:04:25.005000Z",
            "cause": "the board stopped answering",
            "file": str(path),
            "index": 2000,
            "first_sample": 2050,
        }
    ]
    assert attrs["time_s"][2000] == pytest.approx(20.51)


def test_the_analyses_given_the_gaps_keep_to_either_side(capture):
    path, _ = capture
    codes, attrs = pellorin.read_capture(str(path))
    # Across the gap, one difference of 100000 codes would lift the shortest tau a hundredfold.
    _, across, _, _ = pellorin.allan_deviation(codes, rate=RATE)
    _, apart, _, _ = pellorin.allan_deviation(codes, rate=RATE, gaps=attrs["gaps"])
    assert across[0] > 50 * apart[0]
    assert apart[0] == pytest.approx(10.0, rel=0.1)
    freqs, density = pellorin.noise_density(codes, attrs, gaps=attrs["gaps"])
    assert np.median(density) == pytest.approx(10.0 * 1e-6 * np.sqrt(2 / RATE), rel=0.1)
    with pytest.raises(ValueError, match="in order"):
        pellorin.allan_deviation(codes, rate=RATE, gaps=[{"index": 5000, "lost": 1}])


def test_a_capture_waits_for_its_board_and_records_the_gap(tmp_path):
    """A USB bridge that resets mid-capture: the capture waits, brings the chip back, goes on."""
    path = str(tmp_path / "lost.h5")
    with pellorin.VirtualBoard("VXC5480", pace="wire") as virtual:
        with pellorin.open(virtual.port) as board:
            board.write(DRATE=0xA1)  # 1000 SPS, not the chip's default
            timer = threading.Timer(0.5, lambda: virtual.unplug(1.0, reset=True))
            timer.start()
            result = board.capture(path, duration=3, reconnect_within=5)
            timer.join()
            assert virtual.register(3) == 0xA1
        assert result["stopped_by"] == "duration"
        assert len(result["losses"]) == 1
        loss = result["losses"][0]
        assert loss["length_s"] >= 0.9
        assert loss["lost_conversions"] == pytest.approx(loss["length_s"] * 1000, abs=1)
    codes, attrs = pellorin.read_capture(path)
    gaps = attrs["gaps"]
    assert len(gaps) == 1
    assert 0 < gaps[0]["index"] < len(codes)
    assert gaps[0]["lost"] == loss["lost_conversions"]
