"""A session against the virtual board of each chip, as a script would run it."""

import warnings

import h5py
import numpy as np
import pytest

import pellorin

# The inputs each chip's virtual board starts with: the scan's rows must see them apart.
MUX_OF = {"VXC5480": "MUX", "VXC5420": "MUX"}


def test_detect_finds_the_board_and_its_chip(virtual_board, chip):
    assert pellorin.detect([virtual_board.port], system=False) == [(virtual_board.port, chip)]


def test_registers_and_writes_follow_the_chip(board, chip, virtual_board):
    registers = board.registers
    assert list(registers)[1] == "MUX"
    for address, value in enumerate(registers.values()):
        assert value == virtual_board.register(address)

    read_back = board.write(MUX=0x01)
    assert read_back == {"MUX": 0x01}
    assert board.registers["MUX"] == virtual_board.register(1) == 0x01

    # A broken rule refuses the whole call before anything is written.
    with pytest.raises(ValueError, match=f"{chip} has no register NOSUCH"):
        board.write(MUX=0x10, NOSUCH=1)
    with pytest.raises(ValueError, match="MUX: the value must be a number from 0 to 255"):
        board.write(MUX=256)
    assert virtual_board.register(1) == 0x01


def test_a_read_only_bit_is_a_warning_not_an_error(board):
    status = list(board.registers)[0]
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        read_back = board.write(**{status: 0xFF})
    assert read_back[status] != 0xFF
    assert any("reads back" in str(w.message) for w in caught)


def test_acquire_and_volts(board, chip):
    codes = board.acquire(5000)
    assert codes.dtype == np.int32 and codes.shape == (5000,)
    if chip == "VXC5420":
        # The registers do not show the mode: the gain is CR1's guess, and no volts are claimed.
        guessed = board.facts
        assert guessed["mode"] == "mode unknown: gain and rate from CR1"
        assert "volts_per_code" not in guessed and guessed["volts_per_code_from_registers"] > 0
        assert "rms_noise_volts" not in pellorin.noise_figures(codes, guessed)
        with pytest.raises(ValueError, match=r"set-mode"):
            board.to_volts(codes)
        board.command("set-mode", 4)
        assert board.facts["mode"] == "4: Command Mode"
    figures = pellorin.noise_figures(codes, board.facts)
    assert figures["count"] == 5000 and figures["std_dev"] > 0 and not figures["no_noise"]

    facts = board.facts
    assert facts["reference_source"] == "default"
    assert facts["volts_per_code"] > 0
    assert facts["volts_per_code"] == pytest.approx(facts["span_volts"] / 2**24)
    volts = board.to_volts(codes)
    assert volts.dtype == np.float64
    np.testing.assert_allclose(volts, codes * facts["volts_per_code"])
    assert figures["rms_noise_volts"] == pytest.approx(codes.std() * facts["volts_per_code"])

    # A reference given scales the volts; one beyond the chip's bounds is refused, naming them.
    board.reference = facts["reference_volts"] / 2
    assert board.facts["reference_source"] == "given"
    assert board.facts["volts_per_code"] == pytest.approx(facts["volts_per_code"] / 2)
    top = facts["reference_max_volts"]
    with pytest.raises(ValueError, match=f"from 0.5 to {top:g} on the {chip}"):
        board.reference = top + 0.1


def test_spectrum_has_a_bin_per_frequency_up_to_half_the_rate(board):
    codes = board.acquire(4096)
    freqs, dbfs = pellorin.spectrum(codes, board.facts, window="blackman-harris")
    assert freqs.shape == dbfs.shape == (2049,)
    # A VXC5420 whose mode is not known: the frequencies follow CR1's rate, as pellorin-cli's.
    facts = board.facts
    rate = facts.get("data_rate_sps", facts.get("data_rate_sps_from_registers"))
    assert freqs[-1] == pytest.approx(rate / 2)


def test_stream_blocks_follow_each_other(chip):
    # Counting codes show that no sample is lost or doubled between blocks.
    with pellorin.open(simulate=chip, pace="none", signal="count") as board:
        blocks = list(board.stream(block=1000, blocks=5))
        assert [len(b) for b in blocks] == [1000] * 5
        codes = np.concatenate(blocks)
        steps = np.diff(codes)
        assert (steps == steps[0]).all() and steps[0] == 1
        # A call after a broken-off stream meets a quiet line.
        for block in board.stream(block=2000):
            break
        assert board.acquire(10).shape == (10,)


def test_capture_and_read_it_back(board, chip, scratch):
    path = scratch / "run.h5"
    summary = board.capture(str(path), samples=2500, block=1000, split=None)
    assert summary["stopped_by"] == "samples" and summary["samples"] == 2500
    codes, attrs = pellorin.read_capture(str(path))
    assert attrs["chip"] == chip and attrs["stopped_by"] == "samples"
    facts = board.facts
    for name in ("reference_volts", "reference_source", "data_rate_sps"):
        assert attrs.get(name, "absent") == facts.get(name, "absent")
    with h5py.File(path, "r") as f:
        np.testing.assert_array_equal(codes, f["codes"][:])
        np.testing.assert_array_equal(attrs["time_s"], f["time_s"][:])
        assert attrs["time_rule"] == f["time_s"].attrs["time_rule"]
        # A file without the samples' times (an older capture) gets index / data rate.
        with h5py.File(scratch / "old.h5", "w") as old:
            old["codes"] = f["codes"][:]
            old["blocks"] = f["blocks"][:]
            for name, value in f.attrs.items():
                old.attrs[name] = value
    _, old_attrs = pellorin.read_capture(str(scratch / "old.h5"))
    if "data_rate_sps" in attrs:
        assert old_attrs["time_rule"] == "index / data rate"
        np.testing.assert_allclose(old_attrs["time_s"], np.arange(2500) / attrs["data_rate_sps"])
    else:
        assert old_attrs["time_s"] is None
    # A file that exists stays as it is unless force.
    with pytest.raises(pellorin.FileError) as refused:
        board.capture(str(path), samples=10)
    assert refused.value.path == str(path)
    assert board.capture(str(path), samples=10, force=True)["samples"] == 10


def test_split_files_read_as_one_run(chip, scratch):
    # At the wire's pace (about 2900 samples a second) a quarter-second split gives a few files.
    with pellorin.open(simulate=chip, pace="wire", signal="count") as board:
        csv = scratch / "run.csv"
        summary = board.capture(str(csv), samples=2000, split=0.25)
        assert summary["files"] >= 2
    codes, attrs = pellorin.read_capture(str(scratch / "run_0001.csv"))
    assert len(attrs["files"]) == summary["files"] and attrs["stopped_by"] == "samples"
    assert codes.shape == (2000,) and (np.diff(codes) == 1).all()
    # The samples' times run on across the files of the run.
    assert attrs["time_s"].shape == (2000,) and (np.diff(attrs["time_s"]) >= 0).all()
    (scratch / "run_0002.csv").unlink()
    with pytest.raises(pellorin.FileError):
        # The first file was closed for a split: the run is not whole without the second.
        pellorin.read_capture(str(scratch / "run.csv"))


def test_scan_gives_a_row_per_input_and_puts_mux_back(board, chip, virtual_board):
    mux_before = virtual_board.register(1)
    rows = board.scan("pairs", count=200)
    assert [(r["positive"], r["negative"]) for r in rows][0] == ("AIN0", "AIN1")
    assert all(r["samples"] == 200 and r["std_dev_codes"] > 0 for r in rows)
    assert virtual_board.register(1) == mux_before
    if chip == "VXC5420":
        with pytest.raises(ValueError, match="no common input"):
            board.scan("single-ended")
    else:
        rows = board.scan("single-ended", count=100)
        means = [r["mean_codes"] for r in rows]
        assert len(rows) == 8 and means == sorted(means)


def test_profiles_round_trip(board, scratch):
    path = scratch / "bench.ini"
    board.write(MUX=0x01)
    board.save_profile(str(path))
    board.write(MUX=0x00)
    board.load_profile(str(path))
    assert board.registers["MUX"] == 0x01
