#!/usr/bin/env python3
"""Behaviour tests of the command-line renderer tonkelwerk-render.

Runs the real binary: its path comes from the environment variable
TONKELWERK_RENDER or from the first argument. The files it writes are read
back with independent readers (Python's wave module, soxi when installed), and
playback is checked through SDL's "disk" audio driver, which writes the bytes
it is given to a file.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import wave

RENDER = os.environ.get("TONKELWERK_RENDER", "")
PREFIX = "tonkelwerk-render: "
KNOB_MESSAGE = "The knobs 'Freq' and 'Len.' must be higher than 0."
WRITE_MESSAGE = "Couldn't write file to disk."
KNOBS = ("--start", "--end", "--freq", "--rustle", "--cutter", "--len")
# A short, audible sound; tests add the delivery.
SOUND = ["--freq", "55", "--len", "1"]

# The tone's phase factor: pi rounded to single precision.
PHASE = 3.1415927410125732
# The first five draws of the noise for a rustle of 23040 after seeding with 0.
SEED0_DRAWS = (12561, 18062, 15215, 8724, 5440)


def single(x):
    """x rounded to single precision, as the pitch sweep is kept."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


def tone(freq, frame):
    """The bare tone (no noise) of `freq` half-hertz at `frame`, unrounded."""
    return 32767.0 * math.sin(freq * PHASE * (frame / 44100))


def as_sample(v):
    """v rounded to nearest (ties to even) and wrapped to 16 bits."""
    return (round(v) + 32768) % 65536 - 32768


def samples(image, count):
    """The first `count` interleaved samples of a WAV image."""
    return list(struct.unpack_from("<%dh" % count, image, 44))


def data_bytes(image):
    """The data chunk's D bytes of an image."""
    size = struct.unpack_from("<I", image, 40)[0]
    return image[44 : 44 + size]


class RenderTest(unittest.TestCase):
    """Runs the renderer inside a fresh, initially empty folder."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="render-cli-")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def run_render(self, args, env=None):
        full_env = dict(os.environ)
        full_env.update(env or {})
        return subprocess.run(
            [RENDER] + list(args),
            cwd=self.folder,
            env=full_env,
            capture_output=True,
            text=False,
            timeout=15,
        )

    def render_ok(self, args, env=None):
        result = self.run_render(args, env)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        self.assertEqual(result.stdout, b"", "success must be silent on stdout")
        return result

    def render_file(self, args, name="out.wav"):
        self.render_ok(list(args) + ["-o", name])
        with open(self.path(name), "rb") as f:
            return f.read()

    def assert_fails(self, args, status, fragment, env=None):
        """Fails with `status`, a prefixed message holding `fragment`, no file."""
        result = self.run_render(args, env)
        stderr = result.stderr.decode(errors="replace")
        self.assertEqual(result.returncode, status, stderr)
        self.assertTrue(stderr.startswith(PREFIX), stderr)
        self.assertIn(fragment, stderr)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(os.listdir(self.folder), [], "nothing may be written")
        return stderr


class UsageErrorTest(RenderTest):
    def test_knob_values_that_are_not_whole_degrees(self):
        bad = ["1.5", "-1", "+1", "", " 5", "5 ", "1e2", "0x10", "abc", "361", "1000",
               "99999999999999999999999"]
        for knob in KNOBS:
            for value in bad:
                # The message names the option and, when there is one, the value.
                shown = "'%s'" % value if value else knob
                with self.subTest(knob=knob, value=value):
                    args = ["--freq", "55", "--len", "1", knob, value, "-o", "out.wav"]
                    self.assertIn(knob, self.assert_fails(args, 2, shown))
                with self.subTest(knob=knob, value=value, form="attached"):
                    args = ["--freq", "55", "--len", "1", knob + "=" + value, "-o", "out.wav"]
                    self.assertIn(knob, self.assert_fails(args, 2, shown))

    def test_knob_limits_are_accepted(self):
        for knob in KNOBS:
            values = ["1", "360"] if knob in ("--freq", "--len") else ["0", "360"]
            for value in values:
                with self.subTest(knob=knob, value=value):
                    self.render_ok(SOUND + [knob, value, "-o", "out.wav"])
        # Plain decimal digits: leading zeros change nothing.
        self.assertEqual(len(self.render_file(["--freq", "1", "--len", "0125"])), 176446)

    def test_seed_outside_its_range(self):
        for value in ["-1", "+1", "", "1.0", "abc", "4294967296", "18446744073709551617"]:
            with self.subTest(value=value):
                self.assert_fails(SOUND + ["--seed", value, "-o", "out.wav"], 2, "--seed")

    def test_unknown_options_and_stray_arguments(self):
        cases = [["--bogus"], ["-x"], ["--Freq", "55"], ["--fre", "55"], ["--output-file=x"],
                 ["out.wav"], ["-"]]
        for extra in cases:
            with self.subTest(extra=extra):
                name = extra[0].split("=")[0]
                self.assert_fails(SOUND + ["-o", "out.wav"] + extra, 2, "'%s'" % name)

    def test_missing_values(self):
        for option in KNOBS + ("--seed", "-o", "--output"):
            with self.subTest(option=option):
                self.assert_fails(SOUND + ["--play", option], 2, option + " needs a value")

    def test_flags_take_no_value(self):
        self.assert_fails(SOUND + ["-o", "out.wav", "--play=yes"], 2, "--play")

    def test_empty_file_names_are_refused(self):
        for name in ["", "   "]:
            with self.subTest(name=name):
                self.assert_fails(SOUND + ["-o", name], 2, "-o wants a file name")
                self.assert_fails(SOUND + ["--output=" + name], 2, "--output wants a file name")

    def test_freq_or_len_at_zero_gives_the_programs_text(self):
        for knobs in (["--len", "1"], ["--freq", "55"], [], ["--freq", "0", "--len", "0"]):
            with self.subTest(knobs=knobs):
                stderr = self.assert_fails(knobs + ["-o", "out.wav"], 2, KNOB_MESSAGE)
                self.assertEqual(stderr.splitlines()[0], PREFIX + KNOB_MESSAGE)

    def test_nothing_to_deliver(self):
        self.assert_fails(SOUND, 2, "-o")

    def test_messages_show_input_printably_briefly_and_with_reasons(self):
        # A word with control bytes is escaped, and a long one cut short.
        stderr = self.assert_fails(SOUND + ["--preset", "\x1b[2J\x07" + "x" * 500, "-o", "o.wav"],
                                   2, "'\\x1b[2J\\x07xxx")
        self.assertNotIn("\x1b", stderr)
        self.assertNotIn("\x07", stderr)
        self.assertIn("x...'", stderr)
        self.assertLess(len(stderr.splitlines()[0]), 200)
        # Every refusal says why: a full disk behind standard output too.
        if os.path.exists("/dev/full"):
            with open("/dev/full", "wb") as full:
                result = subprocess.run([RENDER] + SOUND + ["-o", "-"], stdout=full,
                                        stderr=subprocess.PIPE, timeout=15)
            self.assertEqual(result.returncode, 1)
            self.assertRegex(result.stderr.decode(), r"cannot write to standard output: \w+")

    def test_a_refused_play_never_opens_the_device(self):
        disk = self.path("disk.raw")
        env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": disk}
        self.assert_fails(["--len", "1", "--play"], 2, KNOB_MESSAGE, env)
        self.assertFalse(os.path.exists(disk))


class InformationTest(RenderTest):
    def test_help(self):
        result = self.run_render(["--help"])
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr, b"")
        text = result.stdout.decode()
        self.assertTrue(text.startswith("Usage: tonkelwerk-render"), text)
        for option in KNOBS + ("--seed", "-o", "--output", "--play", "--help", "--version"):
            self.assertIn(option, text)

    def test_version(self):
        result = self.run_render(["--version"])
        self.assertEqual(result.returncode, 0)
        version = os.environ["TONKELWERK_VERSION"].encode()
        self.assertEqual(result.stdout, b"tonkelwerk-render %s\n" % version)
        self.assertEqual(result.stderr, b"")

    def test_a_failed_print_is_an_error(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        with open("/dev/full", "wb") as full:
            result = subprocess.run([RENDER, "--help"], stdout=full, stderr=subprocess.PIPE,
                                    timeout=15)
        self.assertEqual(result.returncode, 1)
        self.assertTrue(result.stderr.decode().startswith(PREFIX))

    def test_help_renders_nothing(self):
        result = self.run_render(SOUND + ["-o", "out.wav", "--help"])
        self.assertEqual(result.returncode, 0)
        self.assertEqual(os.listdir(self.folder), [])


class OutputNameTest(RenderTest):
    def test_extension_rule(self):
        cases = [
            ("boom", "boom.wav"),
            ("boom.", "boom..wav"),
            ("boom.wav", "boom.wav"),
            ("boom.WAV", "boom.WAV"),
            ("boom.xyz", "boom.xyz"),  # an extension of no audio format: kept
            ("boom ", "boom.wav"),
            ("  boom  ", "boom.wav"),
            ("boom. ", "boom..wav"),
            ("boom.wav ", "boom.wav "),  # the extension is not empty: kept as given
        ]
        for given, written in cases:
            with self.subTest(given=given):
                self.render_ok(SOUND + ["-o", given])
                self.assertEqual(os.listdir(self.folder), [written])
                self.assertEqual(os.path.getsize(self.path(written)), 1457)
                os.remove(self.path(written))

    def test_a_dot_in_a_folder_name_is_no_extension(self):
        os.mkdir(self.path("sfx.d"))
        self.render_ok(SOUND + ["--output", "sfx.d/boom"])
        self.assertEqual(os.listdir(self.path("sfx.d")), ["boom.wav"])

    def test_long_option_forms_give_the_same_file(self):
        first = self.render_file(["--freq", "55", "--len", "1", "--rustle", "9", "--seed", "4"])
        self.render_ok(["--freq=55", "--len=1", "--rustle=9", "--seed=4", "--output=two.wav"])
        with open(self.path("two.wav"), "rb") as f:
            self.assertEqual(f.read(), first)

    def test_an_existing_file_is_replaced(self):
        with open(self.path("out.wav"), "wb") as f:
            f.write(b"x" * 10000)
        self.assertEqual(len(self.render_file(SOUND)), 1457)


class SeedTest(RenderTest):
    ARGS = ["--freq", "55", "--len", "20", "--rustle", "200"]

    def test_same_seed_same_bytes(self):
        first = self.render_file(self.ARGS + ["--seed", "12345"], "a.wav")
        second = self.render_file(self.ARGS + ["--seed", "12345"], "b.wav")
        self.assertEqual(first, second)

    def test_different_seeds_differ(self):
        first = self.render_file(self.ARGS + ["--seed", "1"], "a.wav")
        second = self.render_file(self.ARGS + ["--seed", "2"], "b.wav")
        self.assertEqual(len(first), len(second))
        self.assertNotEqual(first, second)

    def test_largest_seed_is_accepted(self):
        first = self.render_file(self.ARGS + ["--seed", "4294967295"], "a.wav")
        second = self.render_file(self.ARGS + ["--seed", "4294967295"], "b.wav")
        self.assertEqual(first, second)

    def test_seed_restarts_the_noise_before_the_render(self):
        image = self.render_file(["--freq", "55", "--len", "1", "--rustle", "360", "--seed", "0"])
        frames = (1, 1, 2, 2, 3)
        expected = [as_sample(tone(880, f) + n) for f, n in zip(frames, SEED0_DRAWS)]
        self.assertEqual(samples(image, 5), expected)


class WaveFileTest(RenderTest):
    def test_sizes_and_header(self):
        sizes = {1: 1457, 2: 2868, 3: 4280, 125: 176446, 360: 508078}
        for length, size in sizes.items():
            with self.subTest(len=length):
                image = self.render_file(["--freq", "1", "--len", str(length)])
                self.assertEqual(len(image), size)
                header = struct.unpack_from("<4sI4s4sIHHIIHH4sI", image, 0)
                self.assertEqual(
                    header,
                    (b"RIFF", size - 10, b"WAVE", b"fmt ", 16, 1, 2, 44100, 176400, 4, 16,
                     b"data", size - 46),
                )

    def test_pure_tone_first_samples(self):
        image = self.render_file(SOUND)
        # Left and right alike: no noise, no cut samples.
        self.assertEqual(samples(image, 6), [2053, 2053, 4098, 4098, 6126, 6126])

    def test_end_knob_starts_the_pitch_higher(self):
        image = self.render_file(SOUND + ["--end", "100"])
        self.assertEqual(samples(image, 1), [as_sample(tone(880 + 300.0, 1))])

    def test_start_knob_rises_after_the_first_frame(self):
        image = self.render_file(SOUND + ["--start", "100"])
        rise = single(300 / ((44100 * 0.008) / 2.0))
        self.assertEqual(samples(image, 3)[::2], [2053, as_sample(tone(880 + rise, 2))])

    def test_cutter_knob_inserts_a_bare_tone_sample(self):
        # Cutter 10 gives a period of 5: sample 5 (frame 3, right) is the bare tone,
        # and the noise draws before it are unchanged.
        args = ["--freq", "55", "--len", "1", "--rustle", "360", "--seed", "0", "--cutter", "10"]
        image = self.render_file(args)
        self.assertEqual(samples(image, 6)[5], 6126)
        self.assertEqual(samples(image, 5)[4], as_sample(tone(880, 3) + SEED0_DRAWS[4]))

    def test_python_wave_reads_it_back(self):
        image = self.render_file(["--freq", "120", "--len", "125", "--rustle", "30"])
        with wave.open(self.path("out.wav"), "rb") as reader:
            self.assertEqual(reader.getnchannels(), 2)
            self.assertEqual(reader.getframerate(), 44100)
            self.assertEqual(reader.getsampwidth(), 2)
            self.assertEqual(reader.getcomptype(), "NONE")
            self.assertEqual(reader.getnframes(), 44100)
            self.assertEqual(reader.readframes(44100), image[44 : 44 + 176400])

    def test_soxi_reads_it_back(self):
        if shutil.which("soxi") is None:
            self.skipTest("soxi is not installed")
        self.render_file(["--freq", "120", "--len", "125"])
        expected = {"-r": "44100", "-c": "2", "-b": "16", "-s": "44100",
                    "-e": "Signed Integer PCM", "-t": "wav"}
        for flag, value in expected.items():
            with self.subTest(flag=flag):
                result = subprocess.run(["soxi", flag, self.path("out.wav")],
                                        capture_output=True, text=True, timeout=10)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stdout.strip(), value)


class WriteFailureTest(RenderTest):
    def test_missing_folder(self):
        self.assert_fails(SOUND + ["-o", "missing/boom.wav"], 1, WRITE_MESSAGE)

    def test_folder_as_target(self):
        os.mkdir(self.path("boom.wav"))
        result = self.run_render(SOUND + ["-o", "boom.wav"])
        self.assertEqual(result.returncode, 1)
        self.assertIn(WRITE_MESSAGE, result.stderr.decode())
        self.assertEqual(os.listdir(self.path("boom.wav")), [])

    def test_full_device(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        # A name without extension would get ".wav"; a link with one reaches the device.
        os.symlink("/dev/full", self.path("full.wav"))
        result = self.run_render(SOUND + ["-o", "full.wav"])
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(WRITE_MESSAGE, result.stderr.decode())
        self.assertEqual(os.readlink(self.path("full.wav")), "/dev/full")
        self.assertEqual(os.listdir(self.folder), ["full.wav"])


class SaveFaultTest(RenderTest):
    """The faults users met: the old file keeps its bytes, no temporary file
    remains, the renderer returns within a second and names the reason."""

    OLD = b"o" * 3000 + b"the old file's last bytes"
    BIG = ["--freq", "100", "--len", "100"]  # 141,156 bytes: more than 64 KiB

    def snapshot(self):
        """Every path under the folder with its link text or bytes."""
        shot = {}
        for root, dirs, files in os.walk(self.folder):
            for path in (os.path.join(root, name) for name in dirs + files):
                if os.path.islink(path):
                    shot[path] = os.readlink(path)
                elif os.path.isfile(path):
                    with open(path, "rb") as f:
                        shot[path] = f.read()
                else:
                    shot[path] = None
        return shot

    def check(self, name, args, reason, status=1, limit=None):
        with self.subTest(name):
            before = self.snapshot()
            began = time.monotonic()
            result = subprocess.run([RENDER] + self.BIG + args, cwd=self.folder,
                                    capture_output=True, timeout=10, preexec_fn=limit)
            self.assertLess(time.monotonic() - began, 1.0)
            stderr = result.stderr.decode()
            self.assertEqual(result.returncode, status, stderr)
            self.assertIn(reason, stderr)
            self.assertEqual(self.snapshot(), before)

    def write_old(self, path):
        with open(path, "wb") as f:
            f.write(self.OLD)

    def test_full_disk(self):
        full = self.path("full")
        os.mkdir(full)
        mount = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", full],
                               capture_output=True)
        if mount.returncode != 0:
            self.skipTest("mounting a 64 KiB tmpfs needs root: " + mount.stderr.decode().strip())
        try:
            self.write_old(os.path.join(full, "old.wav"))
            self.write_old(os.path.join(full, "linked.wav"))
            os.symlink("full/linked.wav", self.path("link.wav"))
            self.check("full disk", ["-o", "full/old.wav"],
                       WRITE_MESSAGE + " (full/old.wav): the disk is full")
            self.check("link into a full disk", ["-o", "link.wav"], "the disk is full")
        finally:
            subprocess.run(["umount", "-l", full], check=True)

    def test_size_limit_and_special_targets(self):
        import resource
        self.write_old(self.path("limited.wav"))
        os.mkfifo(self.path("pipe.wav"))
        os.mkdir(self.path("folder.wav"))
        self.write_old(self.path("folder.wav/inside.wav"))

        def limit():
            resource.setrlimit(resource.RLIMIT_FSIZE, (10240, resource.RLIM_INFINITY))
        self.check("file size limit", ["-o", "limited.wav"],
                   "the file is larger than the system allows", limit=limit)
        self.check("FIFO", ["-o", "pipe.wav"], "the target is not a regular file")
        self.check("folder", ["-o", "folder.wav"], "the target is not a regular file")
        self.check("trailing separator", ["-o", "folder.wav/"],
                   "-o wants a file name, not 'folder.wav/' (it ends in a folder separator)",
                   status=2)


def disk_audio(path):
    """The environment that makes SDL play into the file `path`, quickly."""
    return {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": path, "SDL_DISKAUDIODELAY": "2"}


class PlayTest(RenderTest):
    # Len. 10: D = 14,112 bytes, whole frames, so every data byte is played.
    ARGS = ["--freq", "55", "--len", "10", "--rustle", "100", "--seed", "9"]

    def played(self):
        with open(self.path("disk.raw"), "rb") as f:
            return f.read()

    def test_play_and_save_deliver_one_render(self):
        saved_alone = self.render_file(self.ARGS, "alone.wav")
        self.render_ok(self.ARGS + ["--play", "-o", "both.wav"], disk_audio(self.path("disk.raw")))
        with open(self.path("both.wav"), "rb") as f:
            self.assertEqual(f.read(), saved_alone)
        # The device may put silence first: look for the data anywhere.
        self.assertIn(data_bytes(saved_alone), self.played())

    def test_play_alone_writes_no_file(self):
        saved = self.render_file(self.ARGS, "saved.wav")
        os.remove(self.path("saved.wav"))
        self.render_ok(self.ARGS + ["--play"], disk_audio(self.path("disk.raw")))
        self.assertEqual(os.listdir(self.folder), ["disk.raw"])
        self.assertIn(data_bytes(saved), self.played())

    def test_play_returns_after_the_sound(self):
        began = time.monotonic()
        self.render_ok(["--freq", "55", "--len", "50", "--play"], disk_audio(self.path("disk.raw")))
        self.assertGreaterEqual(time.monotonic() - began, 0.4)

    def test_failed_save_plays_nothing(self):
        saved = self.render_file(self.ARGS, "saved.wav")
        result = self.run_render(self.ARGS + ["--play", "-o", "missing/x.wav"],
                                 disk_audio(self.path("disk.raw")))
        self.assertEqual(result.returncode, 1)
        self.assertIn(WRITE_MESSAGE, result.stderr.decode())
        if os.path.exists(self.path("disk.raw")):
            self.assertNotIn(data_bytes(saved), self.played())

    def test_ctrl_c_stops_a_playing_render(self):
        """The sound system must not take Ctrl+C and SIGTERM away from the user."""
        import signal
        env = dict(os.environ)
        env.update(disk_audio(self.path("disk.raw")))
        env["SDL_DISKAUDIODELAY"] = "11"  # real time: the 2.88 s sound keeps playing
        for sig in (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal=sig):
                process = subprocess.Popen(
                    [RENDER, "--freq", "55", "--len", "360", "--play"], cwd=self.folder, env=env,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                deadline = time.monotonic() + 5
                while not os.path.exists(self.path("disk.raw")) and time.monotonic() < deadline:
                    time.sleep(0.02)
                began = time.monotonic()
                process.send_signal(sig)
                self.assertEqual(process.wait(timeout=10), -sig)
                self.assertLess(time.monotonic() - began, 1.0)
                os.remove(self.path("disk.raw"))

    def test_no_sound_device(self):
        env = {"SDL_AUDIODRIVER": "tonkelwerk-no-such-driver"}
        for args in (self.ARGS + ["--play"], self.ARGS + ["--play", "-o", "out.wav"]):
            with self.subTest(args=args):
                self.assert_fails(args, 1, "no sound device", env)


def main():
    """Runs the tests of the script that was started, this one or another that
    shares this fixture."""
    global RENDER
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        RENDER = sys.argv.pop(1)
    if not RENDER or not os.access(RENDER, os.X_OK):
        sys.exit("%s: give the tonkelwerk-render binary in TONKELWERK_RENDER "
                 "or as the first argument (got %r)" % (os.path.basename(sys.argv[0]), RENDER))
    RENDER = os.path.abspath(RENDER)
    unittest.main(module="__main__")


if __name__ == "__main__":
    main()
