"""What the module's tests share: a virtual board of each chip, unpaced, on a pty of its own."""

import os
import time

import pytest

import pellorin

CHIPS = ["VXC5480", "VXC5420"]

# Bounds a wait on an event a passing test always sees; it only keeps a failing one from hanging.
EVENT_WAIT_LIMIT_S = 30.0


def wait_for(condition, what):
    """Waits until condition() holds, within the generous bound."""
    deadline = time.monotonic() + EVENT_WAIT_LIMIT_S
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {EVENT_WAIT_LIMIT_S} s for {what}")
        time.sleep(0.005)


@pytest.fixture(params=CHIPS)
def chip(request):
    return request.param


@pytest.fixture
def virtual_board(chip):
    with pellorin.VirtualBoard(chip, pace="none") as board:
        yield board


@pytest.fixture
def board(virtual_board, chip):
    with pellorin.open(virtual_board.port, chip=chip) as opened:
        yield opened


@pytest.fixture
def scratch(tmp_path):
    return tmp_path


def exists(path):
    return os.path.exists(path)
