"""Behaviour tests of the Python module tonkelwerk, loaded from the source
folder with the build's library (TONKELWERK_LIBRARY), against the release
build's tonkelwerk-render (TONKELWERK_RENDER): the bytes, the samples, the
settings lines, the presets and what bad input raises.
Leaves out: the wheel (test_wheel.py). Depends on: pytest; numpy, where
installed, for the array of samples.
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
    """The bytes tonkelwerk-render writes for `options`, and the settings
    line it prints (named "sound" after the file)."""
    out = tmp_path / "sound.wav"
    printed = subprocess.run([RENDER, *options, "--print-settings", "-o", str(out)],
                             capture_output=True, text=True, timeout=60, check=True).stdout
    return out.read_bytes(), printed.strip()


def options_of(knobs, seed):
    return [word for name, angle in knobs.items() for word in ("--" + name, str(angle))] + \
        ["--seed", str(seed)]


def test_renders_are_the_renderers_bytes(tmp_path):
    for knobs, seed in SOUNDS:
        assert tonkelwerk.render(**knobs, seed=seed) == \
            renderer(tmp_path, *options_of(knobs, seed))[0], (knobs, seed)


def test_samples_are_the_wav_data_with_numpy_and_without():
    knobs = dict(start=30, freq=164, rustle=300, len=120, seed=11)
    hidden = ("import sys; sys.modules['numpy'] = None\nimport tonkelwerk\n"
              "values = tonkelwerk.samples(**%r)\nassert values.typecode == 'h'\n"
              "sys.stdout.buffer.write(values.tobytes())" % knobs)
    values = array.array("h", subprocess.run([sys.executable, "-c", hidden], capture_output=True,
                                             timeout=60, check=True).stdout)
    if sys.byteorder == "big":
        values.byteswap()
    # The data is the samples' bytes, its size rounded on its own: up to 2
    # bytes more or fewer.
    wav = tonkelwerk.render(**knobs)
    data = wav[44:44 + struct.unpack_from("<I", wav, 40)[0]]
    common = min(len(data), 2 * len(values))
    assert abs(len(data) - 2 * len(values)) <= 2 and data[:common] == values.tobytes()[:common]
    if importlib.util.find_spec("numpy") is not None:
        frames = tonkelwerk.samples(**knobs)
        assert frames.dtype.name == "int16" and frames.shape == (len(values) // 2, 2)
        assert frames.reshape(-1).tolist() == values.tolist()


def test_settings_lines_round_trip_and_are_the_renderers(tmp_path):
    for knobs, seed in SOUNDS:
        line = tonkelwerk.settings_line(name="sound", seed=seed, **knobs)
        assert line == renderer(tmp_path, *options_of(knobs, seed))[1]
        settings = tonkelwerk.parse_settings_line(line)
        assert (settings.name, settings.seed) == ("sound", seed)
        assert list(settings.knobs) == ["start", "end", "freq", "rustle", "cutter", "len"]
        assert tonkelwerk.render(**settings.knobs, seed=settings.seed or 0) == \
            tonkelwerk.render(**knobs, seed=seed)
    assert tonkelwerk.parse_settings_line("freq=9 len=3") == tonkelwerk.Settings(
        None, dict(start=0, end=0, freq=9, rustle=0, cutter=0, len=3), None)
    # Longer than the first buffer the module tries.
    assert tonkelwerk.parse_settings_line(tonkelwerk.settings_line("z" * 300, freq=1)).name == \
        "z" * 300


def test_presets_and_mutations_draw_the_renderers_knobs(tmp_path):
    assert tonkelwerk.PRESETS[:2] == ("pickup", "laser") and len(tonkelwerk.PRESETS) >= 7
    for name in tonkelwerk.PRESETS:
        for seed in (0, 4294967295):
            knobs = tonkelwerk.preset(name, seed=seed)
            wav, printed = renderer(tmp_path, "--preset", name, "--seed", str(seed))
            assert tonkelwerk.settings_line("sound", seed, **knobs) == printed, (name, seed)
            assert tonkelwerk.render(**knobs, seed=seed) == wav
    start = tonkelwerk.preset("explosion", seed=3)
    variations = [tonkelwerk.mutate(start, 10, seed) for seed in range(20)]
    # The seed decides the variation, and variations vary.
    assert variations[0] == tonkelwerk.mutate(start, 10, 0) and len(set(map(str, variations))) > 1
    for variation in variations:
        assert all(abs(variation[k] - start[k]) <= 10 for k in start), variation
    assert tonkelwerk.mutate(start, 0, 5) == start
    assert tonkelwerk.mutate({"freq": 0}, 1, 1)["freq"] > 0


def test_bad_input_raises_the_right_exception():
    for knobs, status in [(dict(freq=361, len=4), 2), (dict(freq=120, len=2**32 + 40), 2),
                          (dict(freq=0, len=40), 3)]:
        for call in (tonkelwerk.render, tonkelwerk.samples):
            with pytest.raises(tonkelwerk.Error) as raised:
                call(**knobs)
            assert raised.value.status == status and isinstance(raised.value, ValueError)
    assert "Freq" in str(pytest.raises(tonkelwerk.Error, tonkelwerk.render, len=4).value)
    for line, status, reason in [("laser: frq=120", 5, "frq=120"), ("freq=12 seed=-1", 5, "seed=-1")]:
        raised = pytest.raises(tonkelwerk.Error, tonkelwerk.parse_settings_line, line).value
        assert raised.status == status and reason in str(raised), line
    assert pytest.raises(tonkelwerk.Error, tonkelwerk.preset, "lazer").value.status == 7
    assert pytest.raises(tonkelwerk.Error, tonkelwerk.settings_line, "a/b", freq=1).value.status == 6
    for call, args, kwargs in [
        (tonkelwerk.render, (), dict(freq="120", len=40)),
        (tonkelwerk.render, (), dict(freq=120.0, len=40)),
        (tonkelwerk.render, (), dict(freq=True, len=40)),
        (tonkelwerk.render, (), dict(frq=120, len=40)),
        (tonkelwerk.render, (120, 40), {}),
        (tonkelwerk.parse_settings_line, (b"freq=1 len=1",), {}),
        (tonkelwerk.mutate, ({"freq": 1, "size": 2}, 10, 1), {}),
    ]:
        pytest.raises(TypeError, call, *args, **kwargs)
    for seed in (-1, 2**32):
        pytest.raises(ValueError, tonkelwerk.render, freq=120, len=40, seed=seed)


@pytest.mark.skipif(ctypes.util.find_library("tonkelwerk") is not None,
                    reason="the system has a libtonkelwerk to load")
def test_an_unloadable_library_names_every_place_tried(tmp_path):
    missing = str(tmp_path / "libtonkelwerk.so.1")
    result = subprocess.run([sys.executable, "-c", "import tonkelwerk"], capture_output=True,
                            text=True, timeout=60,
                            env=dict(os.environ, TONKELWERK_LIBRARY=missing, LD_LIBRARY_PATH=""))
    message = result.stderr.strip().splitlines()[-1]
    assert message.startswith("ImportError")
    for place in (os.path.dirname(tonkelwerk.__file__), missing, "system's libtonkelwerk.so.1"):
        assert place in message
