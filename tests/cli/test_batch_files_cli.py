#!/usr/bin/env python3
"""How tonkelwerk-render puts many files on the disk: all or nothing, never
over a name that exists without --force, and nothing left behind when a
batch is raced, fails midway or is interrupted.

Runs the real binary (TONKELWERK_RENDER or the first argument).
"""

import os
import resource
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_render_cli as cli  # noqa: E402  (the shared test fixture)


def kit(count, seed_step, first_len=20):
    """`count` lines x1..xN; the first is long, so that a racing batch
    passes the early check for existing names before any file is written."""
    return "".join("x%d: freq=100 len=%d rustle=50 seed=%d\n"
                   % (i, first_len if i == 1 else 20, i * seed_step) for i in range(1, count + 1))


class BatchFilesTest(cli.RenderTest):
    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)

    def contents(self, folder):
        """Every name in `folder` with its bytes (hidden temporaries too)."""
        found = {}
        for name in os.listdir(self.path(folder)):
            with open(self.path(os.path.join(folder, name)), "rb") as f:
                found[name] = f.read()
        return found

    def start(self, args, **options):
        return subprocess.Popen([cli.RENDER] + args, cwd=self.folder, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, **options)


class AllOrNothingTest(BatchFilesTest):
    def test_two_batches_racing_into_one_folder(self):
        self.write("a.txt", kit(300, 1, first_len=360))
        self.write("b.txt", kit(300, 9, first_len=360))
        for name in ("a", "b"):
            self.start(["--batch", name + ".txt", "--out-dir", "ref-" + name]).communicate()
        refs = {name: self.contents("ref-" + name) for name in ("a", "b")}
        self.assertEqual(len(refs["a"]), 300)
        for round_ in range(3):
            with self.subTest(round=round_):
                folder = "same%d" % round_
                racers = {name: self.start(["--batch", name + ".txt", "--out-dir", folder])
                          for name in ("a", "b")}
                results = {name: (p.wait(timeout=60), p.stderr.read().decode())
                           for name, p in racers.items()}
                winners = [name for name, (status, _) in results.items() if status == 0]
                self.assertEqual(len(winners), 1, results)
                loser = "b" if winners == ["a"] else "a"
                status, stderr = results[loser]
                self.assertEqual(status, 1, stderr)
                self.assertIn("exists already", stderr)
                self.assertEqual(self.contents(folder), refs[winners[0]],
                                 "every file is the winner's; nothing of the loser's remains")
                for p in racers.values():
                    p.stdout.close()
                    p.stderr.close()

    def test_a_failure_midway_leaves_no_new_file(self):
        os.mkdir(self.path("out"))
        self.write("out/old.wav", "mine")
        # Line 3 is larger than the limit; lines 1, 2 and 4 are not.
        self.write("big.txt", "a: freq=100 len=5 seed=1\nb: freq=100 len=5 seed=2\n"
                              "c: freq=100 len=300 seed=3\nd: freq=100 len=5 seed=4\n")

        def limit():
            resource.setrlimit(resource.RLIMIT_FSIZE, (100000, resource.RLIM_INFINITY))
        result = subprocess.run([cli.RENDER, "--batch", "big.txt", "--out-dir", "out"],
                                cwd=self.folder, capture_output=True, preexec_fn=limit,
                                timeout=30)
        stderr = result.stderr.decode()
        self.assertEqual(self.contents("out"), {"old.wav": b"mine"})
        self.assertEqual(result.returncode, 1, stderr)
        self.assertIn("out/c.wav): the file is larger than the system allows (nothing written)",
                      stderr)

        # A name that exists only once the files are placed: b.wav links to
        # the free name c.wav, which line b takes before line c comes to it.
        os.symlink("c.wav", self.path("out/b.wav"))
        for args in ([], ["--force"]):
            with self.subTest(args=args):
                result = self.run_render(["--batch", "big.txt", "--out-dir", "out"] + args)
                stderr = result.stderr.decode()
                if args:
                    self.assertEqual(result.returncode, 0, stderr)
                    continue
                self.assertEqual(result.returncode, 1, stderr)
                self.assertIn("'out/c.wav' exists already", stderr)
                self.assertIn("the 2 files (out/a.wav to out/b.wav) placed before it were "
                              "removed again", stderr)
                self.assertEqual(sorted(os.listdir(self.path("out"))), ["b.wav", "old.wav"])
                self.assertEqual(os.readlink(self.path("out/b.wav")), "c.wav")

    def test_count_never_replaces_a_name_that_turns_up(self):
        os.symlink("laser-03.wav", self.path("laser-02.wav"))
        result = self.run_render(["--preset", "laser", "--count", "3", "--seed", "1", "-o",
                                  "laser.wav"])
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"'laser-03.wav' exists already", result.stderr)
        self.assertEqual(os.listdir(self.folder), ["laser-02.wav"])


class InterruptTest(BatchFilesTest):
    def interrupt(self, args, sig, status):
        os.mkdir(self.path("out"))
        process = self.start(args)
        deadline = time.monotonic() + 20
        while not os.listdir(self.path("out")) and time.monotonic() < deadline:
            time.sleep(0.005)
        process.send_signal(sig)
        out, err = process.communicate(timeout=30)
        self.assertEqual(process.returncode, status, err)
        self.assertEqual(err, b"tonkelwerk-render: interrupted: nothing was written\n")
        self.assertEqual(out, b"")
        self.assertEqual(os.listdir(self.path("out")), [], "no file and no temporary")

    def test_interrupts_leave_nothing_behind(self):
        self.write("big.txt", kit(5000, 1))
        cases = [(["--batch", "big.txt", "--out-dir", "out"], signal.SIGINT, 130),
                 (["--batch", "big.txt", "--out-dir", "out"], signal.SIGTERM, 143),
                 (["--preset", "explosion", "--count", "999", "--seed", "1", "-o", "out/e"],
                  signal.SIGINT, 130)]
        for args, sig, status in cases:
            with self.subTest(args=args[:2], signal=sig):
                self.interrupt(args, sig, status)
                os.rmdir(self.path("out"))


if __name__ == "__main__":
    cli.main()
