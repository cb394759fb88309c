"""Type stubs of the pellorin module (the C++ extension built from python/)."""

from types import TracebackType
from typing import Any, Iterator, Mapping, Sequence

import numpy as np
import numpy.typing as npt

__version__: str

Codes = npt.NDArray[np.int32]
Floats = npt.NDArray[np.float64]
# Integers of 24 bits (any integer dtype); floats raise TypeError, values beyond ValueError.
CodesLike = npt.ArrayLike

class Error(Exception): ...
class NoBoardError(Error): ...

class ExchangeError(Error):
    code: int

class ChecksumError(ExchangeError):
    index: int
    good: Codes

class FileError(Error):
    path: str
    cause: str

class StateError(Error, RuntimeError): ...
class RuleError(Error, ValueError): ...

# capture_all's failure: one exception per failed board (each with .port and a note naming the
# board), the others' summaries kept in .results (None where a board failed).
class BoardsFailed(ExceptionGroup[Exception], Error):
    results: list[dict[str, str | int | float] | None]

def detect(ports: Sequence[str] | None = None, *, system: bool = True) -> list[tuple[str, str]]: ...
def open(
    port: str | None = None,
    *,
    chip: str | None = None,
    simulate: str | None = None,
    signal: str | None = None,
    pace: str | None = None,
    reference: float | None = None,
) -> Board: ...

def open_all(
    simulate: Sequence[str] | None = None,
    ports: Sequence[str] | None = None,
    *,
    chip: str | None = None,
    signal: str | None = None,
    pace: str | None = None,
    system: bool = True,
) -> list[Board]: ...

# One capture on every Board at once, each on a thread of its own, all started on one clock;
# each board's files named from path as pellorin-cli --all-boards names them
# (night.h5 -> night_board-ttyUSB0.h5). One summary per board, in order; BoardsFailed if any failed.
def capture_all(
    boards: Sequence[Board],
    path: str,
    *,
    duration: float | str | None = None,
    samples: int | None = None,
    split: float | str | None = None,
    block: int | None = None,
    format: str | None = None,
    force: bool = False,
    reconnect_within: float | str = 0,
) -> list[dict[str, Any]]: ...

class Board:
    @property
    def chip(self) -> str: ...
    @property
    def port(self) -> str: ...
    @property
    def closed(self) -> bool: ...
    @property
    def registers(self) -> dict[str, int]: ...
    def write(self, **registers: int) -> dict[str, int]: ...
    def command(self, name: str, argument: int = 0) -> None: ...
    @property
    def facts(self) -> dict[str, float | int | bool | str]: ...
    @property
    def reference(self) -> float | None: ...
    @reference.setter
    def reference(self, volts: float | None) -> None: ...
    def acquire(self, count: int = 1000) -> Codes: ...
    def to_volts(self, codes: CodesLike) -> Floats: ...
    def stream(
        self, seconds: float = 1.0, *, block: int | None = None, blocks: int | None = None
    ) -> Stream: ...
    def capture(
        self,
        path: str,
        *,
        duration: float | str | None = None,
        samples: int | None = None,
        split: float | str | None = None,
        block: int | None = None,
        format: str | None = None,
        force: bool = False,
        reconnect_within: float | str = 0,
    ) -> dict[str, Any]: ...
    def scan(
        self,
        inputs: str | Sequence[tuple[str, str]] = "pairs",
        *,
        count: int = 1000,
        discard: int | None = None,
        repeat: int = 1,
    ) -> list[dict[str, str | int | float | bool]]: ...
    def load_profile(self, path: str, *, lenient: bool = False) -> None: ...
    def save_profile(self, path: str) -> None: ...
    def close(self) -> None: ...
    def __enter__(self) -> Board: ...
    def __exit__(
        self,
        kind: type[BaseException] | None,
        value: BaseException | None,
        trace: TracebackType | None,
    ) -> bool: ...

class Stream(Iterator[Codes]):
    @property
    def block(self) -> int: ...
    def __iter__(self) -> Stream: ...
    def __next__(self) -> Codes: ...
    def close(self) -> None: ...

def noise_figures(
    codes: CodesLike, facts: Mapping[str, object] | None = None
) -> dict[str, float | int | bool | str]: ...
def noise_density(
    codes: CodesLike,
    facts: Mapping[str, object] | None = None,
    detrend: bool = False,
    rate: float | None = None,
    gaps: Sequence[Mapping[str, object]] | None = None,
) -> tuple[Floats, Floats]: ...
def allan_deviation(
    codes: CodesLike,
    facts: Mapping[str, object] | None = None,
    detrend: bool = False,
    rate: float | None = None,
    gaps: Sequence[Mapping[str, object]] | None = None,
) -> tuple[Floats, Floats, Floats, Floats]: ...
def spectrum(
    codes: CodesLike,
    facts: Mapping[str, object] | None = None,
    *,
    window: str = "hann",
    tone: bool = False,
) -> tuple[Floats, Floats] | tuple[Floats, Floats, dict[str, float] | None]: ...
# attrs["gaps"]: one dict per gap the files record (at_sample, lost, start_s, length_s,
# start_utc, cause, file, index into codes, first_sample run-wide); give it as gaps=.
def read_capture(path: str, *, times: bool = True) -> tuple[Codes, dict[str, object]]: ...

class VirtualBoard:
    def __init__(self, chip: str = "VXC5480", *, pace: str = "none", signal: str | None = None) -> None: ...
    @property
    def port(self) -> str: ...
    def set_faults(
        self,
        *,
        silent: bool = False,
        bad_item: int = -1,
        stop_after_items: int = -1,
        hang_up_after_items: int = -1,
        reply_delay_ms: int = 0,
        status_for_command: Mapping[int, int] = ...,
    ) -> None: ...
    def unplug(self, seconds: float, *, reset: bool = False) -> None: ...
    def register(self, address: int) -> int: ...
    def idle(self) -> bool: ...
    def close(self) -> None: ...
    def __enter__(self) -> VirtualBoard: ...
    def __exit__(self, *args: object) -> bool: ...
