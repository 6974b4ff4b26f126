#!/usr/bin/env python3
"""Behaviour tests of tonkelwerk-render's workflow: batches of settings lines,
presets and variations, and the output formats.

Runs the real binary (TONKELWERK_RENDER or the first argument). Other formats
are read back with sox and soxi; the pitch after resampling is measured with a
small discrete Fourier transform around the expected frequency.
"""

import math
import os
import pty
import re
import shutil
import struct
import subprocess
import sys
import unittest
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_render_cli as cli  # noqa: E402  (the shared test fixture)

LINES = """# a tiny sound kit
zap: freq=120 end=90 rustle=20 len=40 seed=7

coin:\tstart=60 freq=150 len=15 cutter=10 seed=4294967295
freq=30 rustle=300 len=60
"""


def read(path):
    with open(path, "rb") as f:
        return f.read()


class WorkflowTest(cli.RenderTest):
    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)

    def files(self, folder="."):
        return sorted(os.listdir(self.path(folder)))

    def stdout_of(self, args, stdin=None):
        result = subprocess.run([cli.RENDER] + args, cwd=self.folder, input=stdin,
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return result.stdout


class BatchTest(WorkflowTest):
    def test_a_batch_writes_what_single_renders_write(self):
        self.write("kit.txt", LINES)
        report = self.stdout_of(["--batch", "kit.txt", "--out-dir", "kit", "--seed", "100"])
        self.assertEqual(self.files("kit"), ["coin.wav", "sound-5.wav", "zap.wav"])
        sizes = sum(os.path.getsize(self.path("kit/" + n)) for n in self.files("kit"))
        self.assertEqual(report, b"3 sounds, %d bytes\n" % sizes)
        singles = {
            "zap.wav": ["--freq", "120", "--end", "90", "--rustle", "20", "--len", "40",
                        "--seed", "7"],
            "coin.wav": ["--start", "60", "--freq", "150", "--len", "15", "--cutter", "10",
                         "--seed", "4294967295"],
            # A line without seed= draws --seed + its line number.
            "sound-5.wav": ["--freq", "30", "--rustle", "300", "--len", "60", "--seed", "105"],
        }
        for name, args in singles.items():
            with self.subTest(name=name):
                self.assertEqual(read(self.path("kit/" + name)), self.render_file(args))

    def test_standard_input_and_thread_count_give_the_same_files(self):
        # Enough sounds for every core; the same lines from a file and a pipe.
        lines = "".join("s%d: freq=%d rustle=%d len=%d seed=%d\n" % (i, 20 + i, 7 * i, 5 + i, i)
                        for i in range(40))
        self.write("many.txt", lines)
        self.stdout_of(["--batch", "many.txt", "--out-dir", "a"])
        self.stdout_of(["--batch", "-", "--out-dir", "b"], stdin=lines.encode())
        self.assertEqual(len(self.files("a")), 40)
        for name in self.files("a"):
            self.assertEqual(read(self.path("a/" + name)), read(self.path("b/" + name)), name)

    def test_bad_lines_are_all_named_and_nothing_is_written(self):
        self.write("bad.txt", "a: freq=10 len=5 seed=1\n"
                              "b: freq=10 lenght=5 seed=1\n"
                              "c: freq=361 len=5 seed=1\n"
                              "a: freq=10 len=5 seed=2\n"
                              "freq=0 len=5 seed=1\n"
                              "freq=10 len=5\n")
        result = self.run_render(["--batch", "bad.txt", "--out-dir", "out"])
        stderr = result.stderr.decode()
        self.assertEqual(result.returncode, 2, stderr)
        for line, word in [(2, "lenght"), (3, "361"), (4, "'a'"), (5, "Freq"), (6, "--seed")]:
            self.assertRegex(stderr, r"tonkelwerk-render: line %d: [^\n]*%s" % (line, word))
        self.assertNotIn("line 1:", stderr)
        self.assertEqual(self.files(), ["bad.txt"], "no folder and no file")

    def test_existing_files_are_kept_unless_forced(self):
        self.write("kit.txt", LINES)
        os.mkdir(self.path("kit"))
        self.write("kit/zap.wav", "mine")
        result = self.run_render(["--batch", "kit.txt", "--out-dir", "kit", "--seed", "1"])
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"kit/zap.wav", result.stderr)
        self.assertEqual(self.files("kit"), ["zap.wav"], "nothing written")
        self.assertEqual(read(self.path("kit/zap.wav")), b"mine")
        self.stdout_of(["--batch", "kit.txt", "--out-dir", "kit", "--seed", "1", "--force"])
        self.assertEqual(len(self.files("kit")), 3)
        self.assertEqual(read(self.path("kit/zap.wav"))[:4], b"RIFF")

    def test_a_batch_that_cannot_be_read_or_placed_says_why(self):
        self.write("kit.txt", LINES)
        os.mkdir(self.path("shelf"))
        cases = [(["nope.txt", "out"], "cannot read the batch 'nope.txt': the file does not exist"),
                 (["no/kit.txt", "out"], "cannot read the batch 'no/kit.txt': the file does not exist"),
                 (["shelf", "out"], "cannot read the batch 'shelf': it is a folder"),
                 (["kit.txt", "kit.txt"],
                  "cannot make the folder 'kit.txt': a file of that name is in the way"),
                 (["kit.txt", "shelf/kit.txt/a/b"],
                  "cannot make the folder 'shelf/kit.txt/a/b': a file of that name is in the way")]
        self.write("shelf/kit.txt", "")
        if os.geteuid() != 0:  # root reads and writes whatever the bits say
            os.chmod(self.path("shelf"), 0o500)
            self.addCleanup(os.chmod, self.path("shelf"), 0o700)
            cases.append((["kit.txt", "shelf/new"],
                          "cannot make the folder 'shelf/new': permission was denied"))
        for (batch, folder), message in cases:
            with self.subTest(batch=batch, folder=folder):
                result = self.run_render(["--batch", batch, "--out-dir", folder, "--seed", "1"])
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr.decode(), cli.PREFIX + message + "\n")
        self.assertEqual(self.files(), ["kit.txt", "shelf"], "nothing written")
        self.assertEqual(self.files("shelf"), ["kit.txt"], "nothing written")
        # Every missing folder of the path is made, a name in any script too.
        self.stdout_of(["--batch", "kit.txt", "--out-dir", "klänge/αβγ/", "--seed", "1"])
        self.assertEqual(self.files("klänge/αβγ"), ["coin.wav", "sound-5.wav", "zap.wav"])

    def test_batch_options_that_do_not_belong(self):
        cases = [(["--batch", "x"], "--out-dir"),
                 (["--batch", "x", "--out-dir", "d", "-o", "y.wav"], "-o"),
                 (["--batch", "x", "--out-dir", "d", "--freq", "9"], "knobs"),
                 (["--out-dir", "d", "--freq", "9", "--len", "9", "-o", "y.wav"], "--batch")]
        for args, fragment in cases:
            with self.subTest(args=args):
                self.assert_fails(args, 2, fragment)


class KitNameTest(WorkflowTest):
    def test_names_are_one_file_on_every_system(self):
        tone = ["--freq", "55", "--len", "1"]
        self.assert_fails(tone + ["-o", "CON.wav"], 2, "device")
        self.assert_fails(tone + ["-o", "boom.wav ", "--count", "2"], 2, "ends in a blank")
        self.write("bad.txt", "Zap: freq=10 len=1 seed=1\n"
                              "zap: freq=10 len=1 seed=1\n"
                              "con.txt: freq=10 len=1 seed=1\n"
                              "Com1: freq=10 len=1 seed=1\n"
                              "z.: freq=10 len=1 seed=1\n"
                              "%s: freq=10 len=1 seed=1\n"
                              "zap.WAV: freq=10 len=1 seed=1\n" % ("a" * 252))
        result = self.run_render(["--batch", "bad.txt", "--out-dir", "out"])
        stderr = result.stderr.decode()
        self.assertEqual(result.returncode, 2, stderr)
        for line, word in [(2, "'zap'"), (3, "con.txt"), (4, "Com1"), (5, "'z.'"), (6, "255"),
                           (7, "zap.WAV")]:
            self.assertRegex(stderr, r"tonkelwerk-render: line %d: [^\n]*%s" % (line, word))
        self.assertEqual(self.files(), ["bad.txt"], "nothing written")
        # Names with blanks and UTF-8 letters; an extension is not given twice.
        self.write("good.txt", "zap.wav: freq=10 len=1 seed=1\nmy zap: freq=10 len=1 seed=1\n"
                               "\u00f6l: freq=10 len=1 seed=1\nconsole: freq=10 len=1 seed=1\n")
        self.stdout_of(["--batch", "good.txt", "--out-dir", "out"])
        self.assertEqual(self.files("out"),
                         ["console.wav", "my zap.wav", "zap.wav", "\u00f6l.wav"])

    def test_a_flood_of_bad_lines_lists_twenty_printably(self):
        lines = "zap: freq=100 \x1b[2J len=10\n" * 100000
        result = subprocess.run([cli.RENDER, "--batch", "-", "--out-dir", "o", "--seed", "1"],
                                cwd=self.folder, input=lines.encode(), capture_output=True,
                                timeout=60)
        self.assertEqual(result.returncode, 2)
        stderr = result.stderr.decode().splitlines()
        self.assertEqual(len(stderr), 22)
        self.assertFalse(b"\x1b" in result.stderr, "a control byte reached the terminal")
        self.assertEqual(stderr[0], "tonkelwerk-render: line 1: unknown word '\\x1b[2J' "
                                    "(want key=value)")
        self.assertEqual(stderr[20], "tonkelwerk-render: and 99980 more (nothing rendered)")
        self.assertEqual(self.files(), [])


class RoundTripTest(WorkflowTest):
    def test_printed_settings_are_a_batch_that_writes_the_same_files(self):
        self.write("kit.txt", LINES)
        runs = {
            "single": ["--freq", "120", "--len", "9", "--rustle", "30", "--seed", "5",
                       "-o", "single/my zap.wav"],
            "count": ["--freq", "90", "--len", "5", "--mutate", "20", "--count", "3",
                      "--seed", "2", "-o", "count/hit.WAV"],
            "preset": ["--preset", "laser", "--seed", "4", "-o", "preset/pew.", "--format", "ogg"],
            "batch": ["--batch", "kit.txt", "--out-dir", "batch", "--seed", "100"],
        }
        for folder, args in runs.items():
            with self.subTest(folder):
                if folder != "batch":
                    os.mkdir(self.path(folder))
                printed = self.stdout_of(args + ["--print-settings"])
                self.assertRegex(printed.decode(), r"^([^:\n]+: start=\d+[^\n]* seed=\d+\n)+$")
                first = {n: read(self.path(folder + "/" + n)) for n in self.files(folder)}
                os.rename(self.path(folder), self.path(folder + ".first"))
                format_args = ["--format", "ogg"] if "ogg" in args else []
                self.stdout_of(["--batch", "-", "--out-dir", folder] + format_args, stdin=printed)
                again = {n: read(self.path(folder + "/" + n)) for n in self.files(folder)}
                self.assertEqual(again, first)


class TrapTest(WorkflowTest):
    LOUD = ["--freq", "200", "--len", "60", "--rustle", "360", "--end", "100", "--seed", "3"]

    def clipped(self, args, step=""):
        """The file on standard output and the samples the warning says clipped
        (in the `step` it names)."""
        result = subprocess.run([cli.RENDER] + self.LOUD + args + ["-o", "-"], cwd=self.folder,
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        warnings = result.stderr.decode().splitlines()
        self.assertLessEqual(len(warnings), 1)
        count = int(warnings[0].split()[2]) if warnings else 0
        if warnings:
            self.assertIn(step, warnings[0])
        return result.stdout, count

    def test_small_traps(self):
        tone = ["--freq", "55", "--len", "1", "--seed", "1"]
        self.assertEqual(self.stdout_of(["-h"]), self.stdout_of(["--help"]))
        for count in ("0", "10000"):
            self.assert_fails(tone + ["--count", count, "-o", "c.wav"], 2,
                              "--count wants a whole number 1..9999, not '%s'" % count)
        self.assert_fails(tone + ["-o", "x.ogg", "--bits", "8"], 2, "ogg")
        self.assert_fails(tone + ["-o", "x.wav", "--format", "flac"], 2, "flac")
        self.assert_fails(tone + ["-o", "x.mp3"], 2, "mp3")
        self.write("hash.txt", "a: freq=10#0 len=1\n")
        self.assertIn(b"10#0", self.run_render(["--batch", "hash.txt", "--out-dir", "h"]).stderr)
        # A line of stray carriage returns is as blank as an empty one.
        self.write("bom.txt", "\ufeffa: freq=10 len=1 seed=1 # a comment after a blank\n\r\r\n")
        self.stdout_of(["--batch", "bom.txt", "--out-dir", "bom"])
        self.assertEqual(self.files("bom"), ["a.wav"])
        self.stdout_of(tone + ["--count", "1000", "-o", "c.wav"])
        names = [n for n in self.files() if n.startswith("c-")]
        self.assertEqual((len(names), names[0], names[-1]), (1000, "c-0001.wav", "c-1000.wav"))
        # Clipping is reported, and --gain makes room; --gain 0 changes nothing.
        plain, none = self.clipped([])
        self.assertEqual(none, 0)
        self.assertEqual(self.clipped(["--gain", "0"])[0], plain)
        for args, step in ((["--rate", "48000"], "after resampling;"),
                           (["--format", "ogg"], "in Ogg decoders;")):
            with self.subTest(args=args):
                loud, clipped = self.clipped(args, step)
                self.assertGreater(clipped, 1000)
                self.assertEqual(self.clipped(args + ["--gain", "0"]), (loud, clipped))
                self.assertLess(self.clipped(args + ["--gain", "-3"])[1], clipped / 5)


class PresetTest(WorkflowTest):
    KIT = ["--preset", "laser", "--count", "3", "--seed", "11", "-o", "laser.wav"]

    def test_variations_repeat_and_their_lines_render_them_again(self):
        lines = self.stdout_of(self.KIT + ["--print-settings"]).decode().splitlines()
        self.assertEqual(self.files(), ["laser-01.wav", "laser-02.wav", "laser-03.wav"])
        first = {n: read(self.path(n)) for n in self.files()}
        self.assertEqual(len(set(first.values())), 3, "variations differ")
        self.assertEqual([l.split(":")[0] for l in lines], ["laser-01", "laser-02", "laser-03"])
        for line in lines:
            self.assertRegex(line, r"seed=\d+$")
        # The printed lines are a batch that writes the very same files.
        self.stdout_of(["--batch", "-", "--out-dir", "again"], stdin="\n".join(lines).encode())
        for name, data in first.items():
            self.assertEqual(read(self.path("again/" + name)), data, name)
        # The same command again: the same files (with --force to replace them).
        self.assert_fails_keeping(self.KIT, "laser-01.wav")
        self.stdout_of(self.KIT + ["--force"])
        self.assertEqual({n: read(self.path(n)) for n in first}, first)

    def assert_fails_keeping(self, args, name):
        before = read(self.path(name))
        result = self.run_render(args)
        self.assertEqual(result.returncode, 1)
        self.assertIn(name.encode(), result.stderr)
        self.assertEqual(read(self.path(name)), before)

    def test_presets_draw_inside_their_ranges(self):
        ranges = {  # Start, End, Freq, Rustle, Cutter, Len.
            "pickup": [(150, 360), (0, 0), (90, 160), (0, 0), (0, 0), (10, 25)],
            "explosion": [(0, 0), (0, 30), (4, 25), (150, 360), (0, 0), (60, 180)],
            "random": [(0, 360), (0, 360), (1, 360), (0, 360), (0, 360), (1, 360)],
        }
        for preset, limits in ranges.items():
            with self.subTest(preset=preset):
                out = self.stdout_of(["--preset", preset, "--count", "20", "--seed", "3",
                                      "-o", preset + ".wav", "--print-settings"])
                for line in out.decode().splitlines():
                    angles = [int(w.split("=")[1]) for w in line.split()[1:7]]
                    for angle, (low, high) in zip(angles, limits):
                        self.assertTrue(low <= angle <= high, line)

    def test_given_knobs_win_and_mutate_stays_within_its_degrees(self):
        out = self.stdout_of(["--freq", "100", "--len", "2", "--rustle", "358", "--mutate", "5",
                              "--count", "30", "--seed", "9", "-o", "m.wav", "--print-settings"])
        seen = set()
        for line in out.decode().splitlines():
            knobs = dict(w.split("=") for w in line.split()[1:7])
            self.assertTrue(95 <= int(knobs["freq"]) <= 105, line)
            self.assertTrue(1 <= int(knobs["len"]) <= 7, line)   # never below 1
            self.assertTrue(353 <= int(knobs["rustle"]) <= 360, line)  # never past 360
            self.assertEqual(knobs["start"], "0", "knobs not given stay")
            seen.add(knobs["freq"])
        self.assertGreater(len(seen), 3)
        out = self.stdout_of(["--preset", "blip", "--freq", "7", "--seed", "1", "-o", "b.wav",
                              "--print-settings"])
        self.assertIn(b" freq=7 ", out)

    def test_preset_mistakes(self):
        self.assertIn("pickup, laser", self.assert_fails(
            ["--preset", "lazer", "-o", "x.wav"], 2, "'lazer'"))
        self.assert_fails(["--preset", "hit", "--count", "2", "-o", "-"], 2, "--count")
        self.assert_fails(["--preset", "hit", "--count", "0", "-o", "x.wav"], 2, "--count")


class FormatTest(WorkflowTest):
    TONE = ["--freq", "55", "--len", "125", "--seed", "1"]  # 440 Hz for exactly 1 s

    def test_defaults_keep_the_programs_bytes(self):
        plain = self.render_file(self.TONE, "plain.wav")
        self.assertEqual(self.render_file(self.TONE + ["--format", "wav", "--rate", "44100"],
                                          "same.wav"), plain)
        self.assertEqual(self.stdout_of(self.TONE + ["-o", "-"]), plain)
        # The extension rule follows --format.
        self.render_ok(self.TONE + ["--format", "flac", "-o", "boom"])
        self.assertEqual(read(self.path("boom.flac"))[:4], b"fLaC")

    def test_every_format_reads_back_with_sox(self):
        if not shutil.which("soxi"):
            self.skipTest("sox is not installed")
        cases = [  # arguments, channels, rate, bits, encoding
            (["-o", "a.flac"], 2, 44100, 16, "FLAC"),
            (["-o", "a.ogg"], 2, 44100, None, "Vorbis"),
            (["-o", "m.ogg", "--mono"], 1, 44100, None, "Vorbis"),
            (["-o", "a.wav", "--mono"], 1, 44100, 16, "Signed Integer PCM"),
            (["-o", "b.wav", "--bits", "8"], 2, 44100, 8, "Unsigned Integer PCM"),
            (["-o", "b.flac", "--bits", "8", "--rate", "22050"], 2, 22050, 8, "FLAC"),
            (["-o", "c.wav", "--rate", "11025", "--mono"], 1, 11025, 16, "Signed Integer PCM"),
            (["-o", "d", "--format", "ogg", "--rate", "48000"], 2, 48000, None, "Vorbis"),
        ]
        for args, channels, rate, bits, encoding in cases:
            with self.subTest(args=args):
                self.render_ok(self.TONE + args)
                name = args[1] if "." in args[1] else args[1] + ".ogg"
                info = subprocess.run(["soxi", self.path(name)], capture_output=True,
                                      text=True).stdout
                self.assertRegex(info, r"Channels\s*: %d\n" % channels)
                self.assertRegex(info, r"Sample Rate\s*: %d\n" % rate)
                self.assertIn(encoding, info)
                if bits:
                    self.assertRegex(info, r"Precision\s*: %d-bit" % bits)
                self.assertRegex(info, r"Duration\s*: 00:00:01\.00")
        # Encoders that number their streams still give the same file twice.
        first = read(self.path("a.ogg"))
        self.render_ok(self.TONE + ["-o", "a.ogg"])
        self.assertEqual(read(self.path("a.ogg")), first)
        # FLAC is lossless: it decodes to the very samples of the WAV file.
        plain = self.render_file(self.TONE, "plain.wav")
        decoded = subprocess.run(["sox", self.path("a.flac"), "-t", "raw", "-"],
                                 capture_output=True).stdout
        self.assertEqual(decoded, cli.data_bytes(plain)[:len(decoded)])
        self.assertEqual(len(decoded), 44100 * 4)

    def test_resampling_keeps_the_pitch(self):
        for rate in (11025, 22050, 48000):
            with self.subTest(rate=rate):
                self.render_ok(self.TONE + ["--rate", str(rate), "--mono", "-o", "t.wav"])
                with wave.open(self.path("t.wav")) as sound:
                    self.assertEqual(sound.getframerate(), rate)
                    frames = sound.readframes(sound.getnframes())
                samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
                self.assertAlmostEqual(peak_frequency(samples, rate, 440), 440.0, delta=1.0)

    def test_standard_output_refuses_a_terminal(self):
        controller, terminal = pty.openpty()
        try:
            result = subprocess.run([cli.RENDER] + self.TONE + ["-o", "-"], stdout=terminal,
                                    stderr=subprocess.PIPE, cwd=self.folder, timeout=15)
        finally:
            os.close(terminal)
            os.close(controller)
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"terminal", result.stderr)

    def test_format_mistakes(self):
        for args, fragment in [(["--format", "mp3"], "'mp3'"), (["--rate", "12345"], "--rate"),
                               (["--bits", "24"], "--bits"),
                               (["--bits", "8", "--format", "ogg"], "ogg"),
                               (["--print-settings", "-o", "-"], "standard output")]:
            with self.subTest(args=args):
                self.assert_fails(self.TONE + ["-o", "x.wav"] + args, 2, fragment)


# The libraries behind the formats beyond the plain WAV, those they pull in,
# and SDL, which only playing needs.
LOADED_LATE = ("libsndfile", "libsoxr", "libogg", "libvorbis", "libFLAC", "libopus", "libmpg123",
               "libmp3lame", "libgomp", "libSDL2-2.0")


class FormatLibraryTest(WorkflowTest):
    TONE = FormatTest.TONE

    def loaded(self, args):
        """The shared libraries a run with `args` loads, as the dynamic loader tells."""
        result = self.run_render(self.TONE + args, {"LD_DEBUG": "libs"})
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return re.findall(r"calling init: (\S+)", result.stderr.decode())

    def loaded_late(self, paths):
        return sorted({os.path.basename(path).split(".so")[0] for path in paths} &
                      set(LOADED_LATE))

    def test_only_the_formats_that_need_them_load_their_libraries(self):
        self.assertEqual(self.loaded_late(self.loaded(["-o", "plain.wav"])), [])
        self.assertEqual(self.loaded_late(self.loaded(["-o", "-"])), [])
        flac = self.loaded_late(self.loaded(["-o", "a.flac"]))
        self.assertIn("libsndfile", flac)
        self.assertNotIn("libsoxr", flac)
        resampled = self.loaded_late(self.loaded(["--rate", "22050", "-o", "r.wav"]))
        self.assertIn("libsoxr", resampled)
        self.assertEqual(read(self.path("a.flac"))[:4], b"fLaC")
        if shutil.which("sox"):
            decoded = subprocess.run(["sox", self.path("a.flac"), "-t", "raw", "-"],
                                     capture_output=True).stdout
            self.assertEqual(decoded, cli.data_bytes(read(self.path("plain.wav"))))

    def test_a_missing_library_is_named_and_nothing_is_written(self):
        """Hides libsndfile behind an empty file in a mount namespace of its own."""
        if subprocess.run(["unshare", "-rm", "true"], capture_output=True).returncode != 0:
            self.skipTest("no mount namespace for an unprivileged user here")
        library = next(path for path in self.loaded(["-o", "probe.flac"]) if "libsndfile" in path)
        os.remove(self.path("probe.flac"))
        hide = 'mount --bind /dev/null "$0" && exec "$@"'
        result = subprocess.run(["unshare", "-rm", "sh", "-c", hide, os.path.realpath(library),
                                 cli.RENDER] + self.TONE + ["-o", "a.flac"],
                                cwd=self.folder, capture_output=True, timeout=15)
        stderr = result.stderr.decode(errors="replace")
        self.assertEqual(result.returncode, 1, stderr)
        self.assertIn("needs libsndfile (libsndfile.so.1): ", stderr)
        self.assertIn("; install the package libsndfile1", stderr)
        self.assertEqual(os.listdir(self.folder), [])


def peak_frequency(samples, rate, expected):
    """The strongest frequency near `expected`: a Hann-windowed DFT at whole
    hertz around it (a 1-second signal puts its bins 1 Hz apart), refined by a
    parabola through the log magnitudes of the peak and its neighbours."""
    n = len(samples)
    window = [x * (0.5 - 0.5 * math.cos(2 * math.pi * i / n)) for i, x in enumerate(samples)]

    def magnitude(freq):
        step = 2 * math.pi * freq / rate
        re = sum(x * math.cos(step * i) for i, x in enumerate(window))
        im = sum(x * math.sin(step * i) for i, x in enumerate(window))
        return math.log(math.hypot(re, im) + 1e-9)

    bins = {f: magnitude(f) for f in range(expected - 5, expected + 6)}
    peak = max(bins, key=bins.get)
    left, mid, right = bins[peak - 1], bins[peak], bins[peak + 1]
    return peak + 0.5 * (left - right) / (left - 2 * mid + right)


if __name__ == "__main__":
    cli.main()
