"""Tonkelwerk's sound engine for Python: six knob angles in, a WAV file or
16-bit samples out, the same bytes as tonkelwerk-render gives.

    import tonkelwerk
    wav = tonkelwerk.render(freq=120, len=40, seed=7)   # a WAV file, as bytes

The module calls the engine's C interface (tonkelwerk.h) through ctypes
rather than being a compiled extension: it needs nothing but the shared
library, so this one pure-Python file serves every Python 3 and any build of
libtonkelwerk.so.1 of the same binary interface; a call costs microseconds
against the milliseconds of a render.

The library is looked for, in this order: a copy beside this file (the wheel
ships one), the path in the environment variable TONKELWERK_LIBRARY, then the
system's libtonkelwerk.so.1 (the Debian package's; tonkelwerk.dll on Windows).

Every function may be called from several threads at once: the engine keeps
no state, and ctypes lets go of the GIL while it renders.

Leaves out: playing sounds and writing files, which the caller does, and a
noise state kept between renders (each render starts from its seed).
Depends on: the shared library, and numpy for samples() when it is installed.
"""

import array
import ctypes
import operator
import os
from typing import Dict, NamedTuple, Optional, Tuple, Union

try:
    import numpy
except ImportError:
    numpy = None

__all__ = ["Error", "Settings", "PRESETS", "render", "samples", "parse_settings_line",
           "settings_line", "preset", "mutate"]

_LIBRARY_NAME = "tonkelwerk.dll" if os.name == "nt" else "libtonkelwerk.so.1"
# Statuses the module itself acts on (tonkelwerk_status in tonkelwerk.h).
_OK = 0
_ERROR_ANGLE = 2
_ERROR_CAPACITY = 4
_UINT32_MAX = 0xFFFFFFFF
_INT32_RANGE = range(-(2**31), 2**31)
# Room for a parse error's reason; a longer one comes back cut.
_REASON_CAPACITY = 512


class Error(ValueError):
    """What the engine refuses: `status` is its tonkelwerk_status code, the
    message its text for it (for a settings line, the reason it gives)."""

    def __init__(self, status: int, message: str) -> None:
        super().__init__(message)
        self.status = status


class Settings(NamedTuple):
    """One sound as a settings line describes it."""

    name: Optional[str]
    knobs: Dict[str, int]
    seed: Optional[int]


class _Knobs(ctypes.Structure):
    # tonkelwerk_knobs: its fields' order is the knobs' order in the window.
    _fields_ = [(name, ctypes.c_int32)
                for name in ("start", "end", "freq", "rustle", "cutter", "len")]


class _Settings(ctypes.Structure):
    _fields_ = [("knobs", _Knobs), ("has_seed", ctypes.c_int), ("seed", ctypes.c_uint32),
                ("name", ctypes.c_void_p), ("name_length", ctypes.c_size_t)]


_KNOB_NAMES: Tuple[str, ...] = tuple(name for name, _ in _Knobs._fields_)


def _load_library() -> ctypes.CDLL:
    """The engine from the first place that has it, or an ImportError that
    names every place tried and why each failed."""
    places = [os.path.join(os.path.dirname(os.path.abspath(__file__)), _LIBRARY_NAME)]
    from_environment = os.environ.get("TONKELWERK_LIBRARY")
    if from_environment:
        places.append(from_environment)
    failures = []
    for place in places:
        if not os.path.exists(place):
            failures.append("%s (no such file)" % place)
            continue
        try:
            return ctypes.CDLL(place)
        except OSError as error:
            failures.append("%s (%s)" % (place, error))
    if not from_environment:
        failures.append("TONKELWERK_LIBRARY (not set)")
    try:
        return ctypes.CDLL(_LIBRARY_NAME)
    except OSError as error:
        failures.append("the system's %s (%s)" % (_LIBRARY_NAME, error))
    raise ImportError("tonkelwerk cannot load the engine's library; tried: " + "; ".join(failures))


def _declare(library: ctypes.CDLL) -> ctypes.CDLL:
    """Gives each function of tonkelwerk.h its C types."""
    size, status, knobs = ctypes.c_size_t, ctypes.c_int, ctypes.POINTER(_Knobs)
    out_size = ctypes.POINTER(ctypes.c_size_t)
    signatures = {
        "tonkelwerk_version": (ctypes.c_char_p, []),
        "tonkelwerk_status_text": (ctypes.c_char_p, [ctypes.c_int]),
        "tonkelwerk_knobs_check": (status, [knobs]),
        "tonkelwerk_wav_size": (size, [knobs]),
        "tonkelwerk_sample_count": (size, [knobs]),
        "tonkelwerk_render_wav": (status, [knobs, ctypes.c_uint32, ctypes.c_void_p, size,
                                           out_size]),
        "tonkelwerk_render_samples": (status, [knobs, ctypes.c_uint32, ctypes.c_void_p, size,
                                               out_size]),
        "tonkelwerk_settings_parse": (status, [ctypes.c_char_p, size, ctypes.POINTER(_Settings),
                                               ctypes.c_char_p, size]),
        "tonkelwerk_settings_print": (status, [ctypes.POINTER(_Settings), ctypes.c_char_p, size,
                                               out_size]),
        "tonkelwerk_preset_count": (ctypes.c_int, []),
        "tonkelwerk_preset_name": (ctypes.c_char_p, [ctypes.c_int]),
        "tonkelwerk_preset": (status, [ctypes.c_char_p, ctypes.c_uint32, knobs]),
        "tonkelwerk_mutate": (status, [knobs, ctypes.c_int32, ctypes.c_uint32]),
    }
    for name, (result, arguments) in signatures.items():
        function = getattr(library, name)
        function.restype = result
        function.argtypes = arguments
    return library


_lib = _declare(_load_library())
# A render is written straight into the bytes object it returns, created
# unfilled as C code creates one to fill: a second buffer and a copy of half
# a megabyte would cost, in fresh pages, as much again as the render itself.
_new_bytes = ctypes.pythonapi.PyBytes_FromStringAndSize
_new_bytes.restype = ctypes.py_object
_new_bytes.argtypes = [ctypes.c_void_p, ctypes.c_ssize_t]

__version__: str = _lib.tonkelwerk_version().decode()
PRESETS: Tuple[str, ...] = tuple(
    _lib.tonkelwerk_preset_name(i).decode() for i in range(_lib.tonkelwerk_preset_count()))


def _raise_for(status: int) -> None:
    if status != _OK:
        raise Error(status, _lib.tonkelwerk_status_text(status).decode())


def _whole(what: str, value: object) -> int:
    """`value` as a Python int; bools and non-integers are TypeErrors."""
    if isinstance(value, bool):
        raise TypeError("%s must be an int, not bool" % what)
    try:
        return operator.index(value)  # type: ignore[arg-type]
    except TypeError:
        raise TypeError("%s must be an int, not %s" % (what, type(value).__name__)) from None


def _angle(what: str, value: object) -> int:
    """A knob angle as C takes it: one too large for int32 is out of range,
    not cut to a different angle."""
    angle = _whole(what, value)
    if angle not in _INT32_RANGE:
        _raise_for(_ERROR_ANGLE)
    return angle


def _seed(value: object) -> int:
    seed = _whole("seed", value)
    if not 0 <= seed <= _UINT32_MAX:
        raise ValueError("seed must be 0..%d, not %d" % (_UINT32_MAX, seed))
    return seed


def _knobs_from(knobs: Dict[str, object]) -> _Knobs:
    """The C struct of a dict of knob angles; a knob left out is 0."""
    unknown = [name for name in knobs if name not in _KNOB_NAMES]
    if unknown:
        raise TypeError("no knob is called %r (the knobs: %s)" % (unknown[0], ", ".join(_KNOB_NAMES)))
    return _Knobs(*(_angle(name, knobs.get(name, 0)) for name in _KNOB_NAMES))


def _dict_of(knobs: _Knobs) -> Dict[str, int]:
    return {name: getattr(knobs, name) for name in _KNOB_NAMES}


def _checked(knobs: _Knobs) -> _Knobs:
    _raise_for(_lib.tonkelwerk_knobs_check(knobs))
    return knobs


def render(*, start: int = 0, end: int = 0, freq: int = 0, rustle: int = 0, cutter: int = 0,
           len: int = 0, seed: int = 0) -> bytes:
    """The WAV file of these knobs (whole degrees, 0..360; Freq and Len.
    above 0) with noise from `seed`: byte for byte what
    `tonkelwerk-render --freq F ... --seed S -o x.wav` writes."""
    knobs = _checked(_knobs_from(dict(start=start, end=end, freq=freq, rustle=rustle,
                                      cutter=cutter, len=len)))
    size = _lib.tonkelwerk_wav_size(knobs)
    wav = _new_bytes(None, size)
    _raise_for(_lib.tonkelwerk_render_wav(knobs, _seed(seed), wav, size, None))
    return wav


def samples(*, start: int = 0, end: int = 0, freq: int = 0, rustle: int = 0, cutter: int = 0,
            len: int = 0, seed: int = 0) -> Union["numpy.ndarray", array.array]:
    """The 16-bit samples of render()'s sound: with numpy an int16 array of
    shape (frames, 2), left then right; without it an array.array('h') of
    the values interleaved, left first."""
    knobs = _checked(_knobs_from(dict(start=start, end=end, freq=freq, rustle=rustle,
                                      cutter=cutter, len=len)))
    count = _lib.tonkelwerk_sample_count(knobs)
    if numpy is not None:
        values = numpy.empty(count, dtype=numpy.int16)
        address = values.ctypes.data
    else:
        values = array.array("h", bytes(2 * count))
        address = values.buffer_info()[0]
    _raise_for(_lib.tonkelwerk_render_samples(knobs, _seed(seed), address, count, None))
    return values.reshape(-1, 2) if numpy is not None else values


def parse_settings_line(line: str) -> Settings:
    """Reads a settings line such as "laser: freq=120 len=40 seed=7"; a line
    the engine cannot read raises Error with its reason."""
    if not isinstance(line, str):
        raise TypeError("line must be a str, not %s" % type(line).__name__)
    text = line.encode()
    parsed = _Settings()
    reason = ctypes.create_string_buffer(_REASON_CAPACITY)
    status = _lib.tonkelwerk_settings_parse(text, len(text), ctypes.byref(parsed), reason,
                                            _REASON_CAPACITY)
    if status != _OK:
        raise Error(status, reason.value.decode(errors="replace") or
                    _lib.tonkelwerk_status_text(status).decode())
    # The name points into `text`, which is still alive here.
    name = ctypes.string_at(parsed.name, parsed.name_length).decode() if parsed.name else None
    return Settings(name, _dict_of(parsed.knobs), parsed.seed if parsed.has_seed else None)


def settings_line(name: Optional[str] = None, seed: Optional[int] = None, **knobs: int) -> str:
    """The engine's settings line of these knobs, with the name and the seed
    when given: what tonkelwerk-render --print-settings prints."""
    settings = _Settings(_knobs_from(knobs))
    if seed is not None:
        settings.has_seed, settings.seed = 1, _seed(seed)
    if name is not None:
        if not isinstance(name, str):
            raise TypeError("name must be a str, not %s" % type(name).__name__)
        encoded = ctypes.create_string_buffer(name.encode(), len(name.encode()))
        settings.name, settings.name_length = ctypes.addressof(encoded), ctypes.sizeof(encoded)
    length = ctypes.c_size_t()
    capacity = 256
    while True:
        text = ctypes.create_string_buffer(capacity)
        status = _lib.tonkelwerk_settings_print(ctypes.byref(settings), text, capacity,
                                                ctypes.byref(length))
        if status != _ERROR_CAPACITY:
            _raise_for(status)
            return text.value.decode()
        capacity = length.value + 1


def preset(name: str, seed: int = 0) -> Dict[str, int]:
    """The knobs that preset `name` (one of PRESETS) draws for `seed`, as
    `tonkelwerk-render --preset NAME --seed SEED` draws them; render them
    with the same seed to hear that sound."""
    if not isinstance(name, str):
        raise TypeError("name must be a str, not %s" % type(name).__name__)
    knobs = _Knobs()
    _raise_for(_lib.tonkelwerk_preset(name.encode(), _seed(seed), knobs))
    return _dict_of(knobs)


def mutate(knobs: Dict[str, int], degrees: int, seed: int) -> Dict[str, int]:
    """A variation of `knobs`: every knob moved by up to `degrees` (0..360)
    either way, drawn for `seed`, with Freq and Len. kept above 0. A knob
    left out of `knobs` counts as 0."""
    if not isinstance(knobs, dict):
        raise TypeError("knobs must be a dict, not %s" % type(knobs).__name__)
    moved = _knobs_from(knobs)
    _raise_for(_lib.tonkelwerk_mutate(moved, _angle("degrees", degrees), _seed(seed)))
    return _dict_of(moved)

