"""Several boards in one process: each Board its own link, read from its own thread."""

import os
import threading

import numpy as np
import pytest

import pellorin


def _acquire_on_thread(open_args, count, results, key):
    # A Board is used from the thread that opened it: each thread opens its own.
    try:
        with pellorin.open(**open_args) as board:
            results[key] = (board.port, board.acquire(count))
    except BaseException as error:  # the main thread reports it
        results[key] = error


def test_two_boards_read_at_once_each_get_their_own_samples():
    results = {}
    threads = [
        threading.Thread(
            target=_acquire_on_thread,
            args=(dict(simulate="VXC5480", signal="count", pace="wire"), 3000, results, "counting"),
        ),
        threading.Thread(
            target=_acquire_on_thread,
            args=(dict(simulate="VXC5420", pace="wire"), 3000, results, "own"),
        ),
    ]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(timeout=120)
    for key in ("counting", "own"):
        assert not isinstance(results[key], BaseException), results[key]
    (port_a, counting), (port_b, own) = results["counting"], results["own"]
    assert port_a != port_b
    assert counting.size == own.size == 3000
    # The counting board's codes follow one another; the other board's do not.
    assert np.all(np.diff(counting) == 1)
    assert not np.all(np.diff(own) == 1)


def test_a_port_in_use_is_refused_and_passed_over_by_detect():
    with pellorin.open(simulate="VXC5480", pace="none") as board:
        with pytest.raises(pellorin.StateError, match="open in this process already") as refused:
            pellorin.open(board.port)
        # One except catches every failure of the module; Python's own kind still holds.
        assert isinstance(refused.value, pellorin.Error)
        assert isinstance(refused.value, RuntimeError)
        assert pellorin.detect([board.port], system=False) == []
        # The open Board still works after both.
        assert board.acquire(10).size == 10


def test_a_board_may_be_closed_from_another_thread():
    board = pellorin.open(simulate="VXC5420", pace="none")
    closer = threading.Thread(target=board.close)
    closer.start()
    closer.join(timeout=30)
    assert board.closed


def test_a_child_process_never_touches_the_parents_board():
    with pellorin.open(simulate="VXC5480", pace="none") as board:
        # The port's lock file, as the serial port names it: /var/lock/LCK..pts_3 for /dev/pts/3.
        lock = "/var/lock/LCK.." + board.port.removeprefix("/dev/").replace("/", "_")
        locked = os.path.exists(lock)
        pid = os.fork()
        if pid == 0:  # the child: refused, and closing leaves the parent's port and lock alone
            code = 1
            try:
                board.acquire(10)
            except RuntimeError as error:
                code = 0 if "child process" in str(error) else 2
            board.close()
            os._exit(code)
        _, status = os.waitpid(pid, 0)
        assert os.WEXITSTATUS(status) == 0
        # The parent's port, its lock file among it, is as it was.
        assert os.path.exists(lock) == locked
        assert board.acquire(10).size == 10
        assert pellorin.detect([board.port], system=False) == []


def _read_own_board(board, results):
    # The thread that makes the first call owns a Board of open_all.
    try:
        if board.chip == "VXC5420":
            board.command("set-mode", 1)  # its volts need the mode
        results[board.chip] = (board.port, board.to_volts(board.acquire(2000)))
    except BaseException as error:  # the main thread reports it
        results[board.chip] = error


def test_open_all_simulates_each_board_read_from_a_thread_of_its_own():
    boards = pellorin.open_all(simulate=["VXC5480", "VXC5420"], pace="wire")
    try:
        assert [board.chip for board in boards] == ["VXC5480", "VXC5420"]
        results = {}
        threads = [threading.Thread(target=_read_own_board, args=(b, results)) for b in boards]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join(timeout=120)
        for chip in ("VXC5480", "VXC5420"):
            assert not isinstance(results[chip], BaseException), results[chip]
        (port_8, volts_8), (port_2, volts_2) = results["VXC5480"], results["VXC5420"]
        # Each behind a stable link of its own.
        assert port_8 != port_2
        for port in (port_8, port_2):
            assert "/by-id/usb-Pellorin_Virtual_EVM_" in port and os.path.islink(port)
        # Each its own inputs: AIN0 - AIN1 of the 8-channel board (5 mV - 10 mV), the bridge of
        # the 2-channel board (a few millivolts).
        assert volts_8.size == volts_2.size == 2000
        assert abs(np.mean(volts_8) + 0.005) < 0.0005
        assert 0.002 < abs(np.mean(volts_2)) < 0.006
        # Owned now by the thread that read it.
        with pytest.raises(pellorin.StateError, match="thread"):
            boards[0].acquire(1)
    finally:
        for board in boards:
            board.close()
    assert not os.path.exists(port_8) and not os.path.exists(port_2)
