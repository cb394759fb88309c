"""Each failure to its exception, with the program's own message."""

import pytest

import pellorin


def no_board(scratch):
    with pytest.raises(pellorin.NoBoardError) as caught:
        pellorin.open(str(scratch / "ttyNone"), chip="VXC5480")
    assert "Can't find VXC5480 !" in str(caught.value)
    assert "ttyNone" in str(caught.value)


def silent_board(scratch):
    with pellorin.VirtualBoard(pace="none") as virtual:
        virtual.set_faults(silent=True)
        with pytest.raises(pellorin.NoBoardError, match="No board answers there"):
            pellorin.open(virtual.port, chip="VXC5480")


def silent_stream(scratch):
    with pellorin.VirtualBoard(pace="none") as virtual, pellorin.open(virtual.port) as board:
        virtual.set_faults(stop_after_items=100)
        with pytest.raises(pellorin.ExchangeError, match=r"Get item 100 failed !") as caught:
            board.acquire(1000)
        assert caught.value.code == 997


def silent_write(scratch):
    with pellorin.VirtualBoard(pace="none") as virtual, pellorin.open(virtual.port) as board:
        virtual.set_faults(silent=True)
        with pytest.raises(pellorin.ExchangeError) as caught:
            board.write(MUX=0x23)
        # The program's message, not an empty one; the code of the silence.
        assert str(caught.value)
        assert caught.value.code == 997


def bad_checksum(scratch):
    with pellorin.VirtualBoard(pace="none") as virtual, pellorin.open(virtual.port) as board:
        virtual.set_faults(bad_item=7)
        with pytest.raises(pellorin.ChecksumError) as caught:
            board.acquire(1000)
        error = caught.value
        assert str(error) == "The checksum of item 7 is invalid !"
        assert (error.index, error.code, len(error.good)) == (7, 13, 7)
        assert isinstance(error, pellorin.ExchangeError)
        virtual.set_faults()
        # The rest of the bad request was read off: the next call works.
        assert board.acquire(100).shape == (100,)


def hang_up(scratch):
    with pellorin.VirtualBoard(pace="none") as virtual, pellorin.open(virtual.port) as board:
        virtual.set_faults(hang_up_after_items=50)
        with pytest.raises(pellorin.ExchangeError, match=r"Get item 50 failed !") as caught:
            board.acquire(1000)
        assert caught.value.code not in (0, 13)


def capture_into_missing_folder(scratch):
    with pellorin.open(simulate="VXC5480", pace="none") as board:
        with pytest.raises(pellorin.FileError) as caught:
            board.capture(str(scratch / "no" / "run.h5"), samples=10)
        assert caught.value.path == str(scratch / "no" / "run.h5")
        assert str(caught.value) == f"{caught.value.path}: {caught.value.cause}"


def read_missing_capture(scratch):
    with pytest.raises(pellorin.FileError, match="No such file or directory"):
        pellorin.read_capture(str(scratch / "none.h5"))


def profile_of_nothing(scratch):
    (scratch / "p.ini").write_text("[EVM]\nTarget=VXC5420\n")
    with pellorin.open(simulate="VXC5480", pace="none") as board:
        with pytest.raises(pellorin.FileError) as caught:
            board.load_profile(str(scratch / "p.ini"))
        assert caught.value.path == str(scratch / "p.ini")


@pytest.mark.parametrize(
    "case",
    [
        no_board,
        silent_board,
        silent_stream,
        silent_write,
        bad_checksum,
        hang_up,
        capture_into_missing_folder,
        read_missing_capture,
        profile_of_nothing,
    ],
    ids=lambda case: case.__name__,
)
def test_failure(case, tmp_path):
    case(tmp_path)

