"""Ctrl-C during a capture: the file is closed as the user's stop, the board left clean."""

import os
import signal
import threading

import pytest

import pellorin

from conftest import wait_for


def test_sigint_stops_a_capture_cleanly(chip, tmp_path):
    path = tmp_path / "night.h5"
    with pellorin.open(simulate=chip, pace="wire") as board:

        def interrupt_once_running():
            wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, "the capture file")
            os.kill(os.getpid(), signal.SIGINT)

        sender = threading.Thread(target=interrupt_once_running)
        sender.start()
        try:
            with pytest.raises(KeyboardInterrupt):
                board.capture(str(path), block=200)
        finally:
            sender.join()
        codes, attrs = pellorin.read_capture(str(path))
        assert attrs["stopped_by"] == "user"
        # What the board still sent of the stopped block is read off first: the next call works.
        assert board.acquire(20).shape == (20,)


def test_sigint_stops_an_acquisition_and_the_next_call_works(chip):
    # At the wire's pace a read may stop inside an item: what the board still owes must be
    # read off to the byte, or the next exchange meets a broken item.
    with pellorin.VirtualBoard(chip, pace="wire") as virtual, pellorin.open(
        virtual.port, chip=chip
    ) as board:

        def interrupt_once_streaming():
            wait_for(lambda: not virtual.idle(), "the acquisition's items")
            os.kill(os.getpid(), signal.SIGINT)

        sender = threading.Thread(target=interrupt_once_streaming)
        sender.start()
        try:
            with pytest.raises(KeyboardInterrupt):
                board.acquire(3000)
        finally:
            sender.join()
        assert board.acquire(20).shape == (20,)
        wait_for(virtual.idle, "a quiet line")
