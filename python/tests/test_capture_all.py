"""capture_all: one capture on many boards at once, on one clock, each board its own file."""

import os
import signal
import threading

import h5py
import pytest

import pellorin

from conftest import wait_for


@pytest.fixture
def two_boards():
    boards = pellorin.open_all(simulate=["VXC5480", "VXC5420"], pace="wire")
    try:
        yield boards
    finally:
        for board in boards:
            board.close()


def _serial(board):
    # The by-id link's last word names the virtual board; the file's board part carries it.
    return os.path.basename(board.port).split("_")[-1].split("-")[0]


def test_every_board_writes_its_own_file_on_one_clock(two_boards, tmp_path):
    first, second = two_boards
    # A Board the calling thread owns already is handed over as well as one nobody owns yet.
    assert first.registers
    results = pellorin.capture_all(two_boards, str(tmp_path / "night.h5"), samples=600, block=200)

    assert len(results) == 2
    paths = [result["path"] for result in results]
    assert len(set(paths)) == 2
    attrs = []
    for board, result in zip(two_boards, results):
        name = os.path.basename(result["path"])
        assert os.path.dirname(result["path"]) == str(tmp_path)
        # The command line's rule: night_board-PORT.h5, no "_" that a split number could be.
        assert name.startswith("night_board-") and name.endswith(".h5")
        assert "_" not in name[len("night_") :]
        assert _serial(board) in name
        assert result["samples"] == 600 and result["stopped_by"] == "samples"
        codes, read = pellorin.read_capture(result["path"])
        assert codes.size == 600
        assert read["chip"] == board.chip
        with h5py.File(result["path"]) as written:
            attrs.append(dict(written.attrs))
    assert attrs[0]["run_start_utc"] == attrs[1]["run_start_utc"]
    # Each file names its own board.
    for board, written in zip(two_boards, attrs):
        assert written["board_identity"] == board.port
    # Given back: the calling thread uses both again.
    assert first.acquire(10).size == second.acquire(10).size == 10


def test_a_failed_board_is_named_and_the_others_results_kept(two_boards, tmp_path):
    first, second = two_boards
    path = tmp_path / "night.csv"
    ran = pellorin.capture_all(two_boards, str(path), samples=50)
    # The second board's file is there now: without force its capture is refused, the first's
    # is not.
    os.remove(ran[0]["path"])
    with pytest.raises(pellorin.BoardsFailed) as failed:
        pellorin.capture_all(two_boards, str(path), samples=300, block=100)
    group = failed.value
    assert isinstance(group, ExceptionGroup) and isinstance(group, pellorin.Error)
    assert second.port in str(group) and first.port not in str(group)
    (refusal,) = group.exceptions
    assert isinstance(refusal, pellorin.FileError)
    assert refusal.port == second.port
    assert refusal.path == ran[1]["path"]
    assert any(second.port in note for note in refusal.__notes__)
    kept, lost = group.results
    assert lost is None
    assert kept["samples"] == 300 and kept["path"] == ran[0]["path"]
    codes, _ = pellorin.read_capture(kept["path"])
    assert codes.size == 300
    assert second.acquire(5).size == 5


@pytest.mark.parametrize(
    "boards, kwargs, error, words",
    [
        ([], {}, ValueError, "at least one Board"),
        ("twice", {}, ValueError, "twice"),
        ("both", {"duration": 1, "samples": 10}, ValueError, "do not go together"),
        (["not a board"], {}, TypeError, "pellorin.Board"),
    ],
)
def test_refused_before_any_board_starts(two_boards, tmp_path, boards, kwargs, error, words):
    if boards == "twice":
        boards = [two_boards[0], two_boards[0]]
    elif boards == "both":
        boards = two_boards
    with pytest.raises(error, match=words):
        pellorin.capture_all(boards, str(tmp_path / "x.h5"), **kwargs)
    assert os.listdir(tmp_path) == []


def test_a_board_another_thread_owns_is_refused(two_boards, tmp_path):
    taken = threading.Thread(target=lambda: two_boards[1].acquire(5))
    taken.start()
    taken.join()
    with pytest.raises(pellorin.StateError, match="another thread"):
        pellorin.capture_all(two_boards, str(tmp_path / "x.h5"), samples=10)
    assert os.listdir(tmp_path) == []


def test_sigint_stops_every_board_cleanly(two_boards, tmp_path):
    path = tmp_path / "night.h5"

    def files():
        return [tmp_path / name for name in os.listdir(tmp_path)]

    def interrupt_once_both_write():
        wait_for(
            lambda: len(files()) == 2 and all(os.path.getsize(f) > 0 for f in files()),
            "both capture files",
        )
        os.kill(os.getpid(), signal.SIGINT)

    sender = threading.Thread(target=interrupt_once_both_write)
    sender.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            pellorin.capture_all(two_boards, str(path), block=100)
    finally:
        sender.join()
    for name in files():
        _, attrs = pellorin.read_capture(str(name))
        assert attrs["stopped_by"] == "user"
    # What each board still sent of its stopped block is read off first: the next call works.
    for board in two_boards:
        assert board.acquire(20).shape == (20,)
