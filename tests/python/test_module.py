"""Behaviour tests of the Python module tonkelwerk, loaded from the source
folder with the build's library (TONKELWERK_LIBRARY), against the release
build's tonkelwerk-render (TONKELWERK_RENDER): the bytes, the samples, the
settings lines, the presets and what bad input raises.
Leaves out: the wheel (test_wheel.py). Depends on: pytest; numpy for the
array test, which is skipped without it.
"""

import array
import ctypes.util
import importlib.util
import os
import struct
import subprocess
import sys

import pytest

import tonkelwerk

RENDER = os.environ["TONKELWERK_RENDER"]
# (knobs, seed): short and long sounds, every knob, the seed's extremes.
SOUNDS = [
    (dict(freq=120, len=40), 7),
    (dict(start=30, end=200, freq=164, rustle=300, cutter=90, len=120), 11),
    (dict(start=355, end=5, freq=1, rustle=359, cutter=180, len=359), 0),
    (dict(end=90, freq=150, rustle=20, len=15), 4294967295),
]


def renderer(tmp_path, *options):
    """The bytes tonkelwerk-render writes and the line it prints for `options`."""
    out = tmp_path / "sound.wav"
    result = subprocess.run([RENDER, *options, "--print-settings", "-o", str(out)],
                            capture_output=True, text=True, timeout=60, check=True)
    return out.read_bytes(), result.stdout.strip()


def options_of(knobs, seed):
    options = []
    for name, angle in knobs.items():
        options += ["--" + name, str(angle)]
    return options + ["--seed", str(seed)]


def wav_data(wav):
    size = struct.unpack_from("<I", wav, 40)[0]
    return wav[44:44 + size]


def assert_samples_are_the_data(values, wav):
    """The samples are the WAV's data as values: equal as far as both go,
    with the data rounded on its own to at most 2 bytes more or less."""
    data, raw = wav_data(wav), values.tobytes()
    assert abs(len(data) - len(raw)) <= 2
    common = min(len(data), len(raw))
    assert common > 0 and data[:common] == raw[:common]


def test_renders_are_the_renderers_bytes(tmp_path):
    for knobs, seed in SOUNDS:
        expected, _ = renderer(tmp_path, *options_of(knobs, seed))
        assert tonkelwerk.render(**knobs, seed=seed) == expected, (knobs, seed)
    # Another seed is another sound.
    assert tonkelwerk.render(freq=120, len=40, rustle=50, seed=1) != \
        tonkelwerk.render(freq=120, len=40, rustle=50, seed=2)


def test_samples_are_the_wav_data_as_frames(tmp_path):
    numpy = pytest.importorskip("numpy")
    for knobs, seed in SOUNDS:
        frames = tonkelwerk.samples(**knobs, seed=seed)
        assert isinstance(frames, numpy.ndarray) and frames.dtype == numpy.int16
        wav, _ = renderer(tmp_path, *options_of(knobs, seed))
        channels, rate = struct.unpack_from("<HI", wav, 22)
        assert frames.shape[1] == channels == 2 and rate == 44100
        assert_samples_are_the_data(frames.astype("<i2"), wav)


def test_samples_without_numpy_are_an_interleaved_array():
    # A fresh interpreter in which numpy cannot be imported.
    program = ("import sys; sys.modules['numpy'] = None\n"
               "import tonkelwerk\n"
               "values = tonkelwerk.samples(start=30, freq=164, rustle=300, len=120, seed=11)\n"
               "print(type(values).__name__, values.typecode)\n"
               "sys.stdout.flush(); sys.stdout.buffer.write(values.tobytes())\n")
    result = subprocess.run([sys.executable, "-c", program], capture_output=True, timeout=60,
                            check=True)
    header, raw = result.stdout.split(b"\n", 1)
    assert header == b"array h"
    values = array.array("h", raw)
    if sys.byteorder == "big":
        values.byteswap()
    assert_samples_are_the_data(values, tonkelwerk.render(start=30, freq=164, rustle=300, len=120,
                                                          seed=11))
    if importlib.util.find_spec("numpy") is not None:
        frames = tonkelwerk.samples(start=30, freq=164, rustle=300, len=120, seed=11)
        assert values.tolist() == frames.reshape(-1).tolist()


def test_settings_lines_round_trip_and_match_the_renderer(tmp_path):
    for knobs, seed in SOUNDS:
        _, printed = renderer(tmp_path, *options_of(knobs, seed))
        line = tonkelwerk.settings_line(name="sound", seed=seed, **knobs)
        assert line == printed
        settings = tonkelwerk.parse_settings_line(line)
        assert settings.name == "sound" and settings.seed == seed
        assert list(settings.knobs) == ["start", "end", "freq", "rustle", "cutter", "len"]
        assert tonkelwerk.render(**settings.knobs, seed=settings.seed or 0) == \
            tonkelwerk.render(**knobs, seed=seed)
    bare = tonkelwerk.parse_settings_line("freq=9 len=3")
    assert (bare.name, bare.seed, bare.knobs["freq"], bare.knobs["start"]) == (None, None, 9, 0)
    assert tonkelwerk.settings_line(freq=9, len=3) == "start=0 end=0 freq=9 rustle=0 cutter=0 len=3"
    # A line longer than the first buffer tried.
    long_name = "z" * 300
    assert tonkelwerk.parse_settings_line(tonkelwerk.settings_line(long_name, freq=1)).name == \
        long_name


def test_bad_settings_lines_raise_the_engines_reason():
    for line, quoted in [("laser: frq=120", "frq=120"), ("freq=400", "freq=400"),
                         ("freq=12 seed=-1", "seed=-1"), ("freq=1 len", "len")]:
        with pytest.raises(tonkelwerk.Error) as raised:
            tonkelwerk.parse_settings_line(line)
        assert raised.value.status == 5 and quoted in str(raised.value), line
    with pytest.raises(tonkelwerk.Error) as raised:
        tonkelwerk.settings_line(name="a/b", freq=1)
    assert raised.value.status == 6


def test_presets_draw_the_renderers_knobs(tmp_path):
    assert tonkelwerk.PRESETS[:2] == ("pickup", "laser") and len(tonkelwerk.PRESETS) >= 7
    help_text = subprocess.run([RENDER, "--help"], capture_output=True, text=True).stdout
    for name in tonkelwerk.PRESETS:
        assert name in help_text
        for seed in (0, 7, 4294967295):
            knobs = tonkelwerk.preset(name, seed=seed)
            wav, printed = renderer(tmp_path, "--preset", name, "--seed", str(seed))
            assert tonkelwerk.settings_line("sound", seed, **knobs) == printed, (name, seed)
            assert tonkelwerk.render(**knobs, seed=seed) == wav
    assert tonkelwerk.preset("laser", seed=1) != tonkelwerk.preset("laser", seed=2)


def test_mutate_moves_each_knob_within_its_degrees():
    start = tonkelwerk.preset("explosion", seed=3)
    assert tonkelwerk.mutate(start, 0, 5) == start
    variations = [tonkelwerk.mutate(start, 10, seed) for seed in range(20)]
    assert variations[0] == tonkelwerk.mutate(start, 10, 0)
    assert any(v != start for v in variations)
    for variation in variations:
        assert all(abs(variation[k] - start[k]) <= 10 for k in start), variation
        assert variation["freq"] > 0 and variation["len"] > 0
    silent = tonkelwerk.mutate({"freq": 0}, 1, 1)
    assert silent["freq"] > 0 and silent["len"] > 0
    assert start == tonkelwerk.preset("explosion", seed=3)  # the caller's dict stays


def test_bad_input_raises_the_right_exception():
    errors = [(dict(freq=361, len=4), 2), (dict(freq=120, len=-1), 2), (dict(freq=0, len=40), 3),
              (dict(freq=120), 3), (dict(freq=120, len=2**32 + 40), 2)]
    for knobs, status in errors:
        for call in (tonkelwerk.render, tonkelwerk.samples):
            with pytest.raises(tonkelwerk.Error) as raised:
                call(**knobs)
            assert raised.value.status == status, knobs
            assert isinstance(raised.value, ValueError) and str(raised.value)
    assert "Freq" in str(pytest.raises(tonkelwerk.Error, tonkelwerk.render, len=4).value)
    with pytest.raises(tonkelwerk.Error) as raised:
        tonkelwerk.preset("lazer")
    assert raised.value.status == 7
    for call, args, kwargs in [
        (tonkelwerk.render, (), dict(freq="120", len=40)),
        (tonkelwerk.render, (), dict(freq=120.0, len=40)),
        (tonkelwerk.render, (), dict(freq=True, len=40)),
        (tonkelwerk.render, (), dict(freq=120, len=40, seed=None)),
        (tonkelwerk.render, (), dict(frq=120, len=40)),
        (tonkelwerk.render, (120, 40), {}),
        (tonkelwerk.samples, (), dict(freq=120, length=40)),
        (tonkelwerk.settings_line, (), dict(pitch=3)),
        (tonkelwerk.settings_line, (b"zap",), dict(freq=3)),
        (tonkelwerk.parse_settings_line, (b"freq=1 len=1",), {}),
        (tonkelwerk.preset, (None,), {}),
        (tonkelwerk.mutate, ([120, 40], 10, 1), {}),
        (tonkelwerk.mutate, ({"freq": 1, "size": 2}, 10, 1), {}),
    ]:
        with pytest.raises(TypeError):
            call(*args, **kwargs)
    for seed in (-1, 2**32):
        with pytest.raises(ValueError):
            tonkelwerk.render(freq=120, len=40, seed=seed)
    with pytest.raises(tonkelwerk.Error):
        tonkelwerk.mutate({"freq": 1, "len": 1}, 361, 1)


@pytest.mark.skipif(ctypes.util.find_library("tonkelwerk") is not None,
                    reason="the system has a libtonkelwerk to load")
def test_an_unloadable_library_names_every_place_tried(tmp_path):
    missing = str(tmp_path / "nowhere" / "libtonkelwerk.so.1")
    env = dict(os.environ, TONKELWERK_LIBRARY=missing, LD_LIBRARY_PATH="")
    result = subprocess.run([sys.executable, "-c", "import tonkelwerk"], capture_output=True,
                            text=True, env=env, timeout=60)
    assert result.returncode != 0 and "ImportError" in result.stderr
    message = result.stderr.strip().splitlines()[-1]
    package_folder = os.path.dirname(tonkelwerk.__file__)
    for place in (package_folder, missing, "the system's libtonkelwerk.so.1"):
        assert place in message
