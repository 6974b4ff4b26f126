#!/usr/bin/env python3
"""Every way to the engine gives the same bytes: a dozen knob sets and seeds,
rendered by tonkelwerk-render on Linux and on Windows (Wine), through the C
interface with the static library, the shared library and tonkelwerk.dll
(Wine), through the C++ interface, from Python, and from the npm package in
Node and in headless Chromium, where each sound is also played through Web Audio
(tests/npm/consumer_page.html). Prints a table of which ways match the Linux
renderer and fails when any differs or fails to render.

Usage: same_bytes.py --source DIR --release DIR --win32 DIR --npm-tarball TGZ
(the source tree, the release and win32 build folders, the npm package)."""
import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / 'web'))
import devtools  # noqa: E402  (the page tests' headless Chromium)

# start end freq rustle cutter len seed: the shortest and the longest sound,
# every knob at its ends, and seeds from 0 to the largest.
SETS = [
    (0, 0, 1, 0, 0, 1, 0),
    (10, 90, 120, 20, 30, 40, 7),
    (360, 360, 360, 360, 360, 360, 4294967295),
    (200, 15, 44, 0, 100, 90, 1),
    (0, 360, 7, 180, 0, 250, 12345),
    (90, 90, 90, 90, 90, 90, 90),
    (45, 300, 200, 0, 0, 120, 3),
    (300, 20, 15, 360, 5, 60, 99),
    (5, 5, 360, 1, 360, 360, 2024),
    (180, 0, 60, 50, 250, 10, 424242),
    (0, 0, 240, 0, 0, 30, 0),
    (123, 234, 345, 111, 222, 333, 3000000000),
]
KNOBS = ('start', 'end', 'freq', 'rustle', 'cutter', 'len')

PYTHON_RENDER = '''
import sys, tonkelwerk
for line in sys.stdin:
    *angles, seed, path = line.split()
    knobs = dict(zip(("start", "end", "freq", "rustle", "cutter", "len"), map(int, angles)))
    open(path, "wb").write(tonkelwerk.render(**knobs, seed=int(seed)))
'''
NODE_RENDER = '''
import { readFileSync, writeFileSync } from 'node:fs';
import { render } from 'tonkelwerk';
for (const line of readFileSync(0, 'utf8').trim().split('\\n')) {
  const [start, end, freq, rustle, cutter, len, seed, path] = line.split(' ');
  const knobs = { start, end, freq, rustle, cutter, len, seed };
  for (const key in knobs) knobs[key] = Number(knobs[key]);
  writeFileSync(path, await render(knobs));
}
'''


def digest(data):
    return hashlib.sha256(data).hexdigest()


def run(command, folder, stdin='', env=None):
    result = subprocess.run(command, cwd=folder, input=stdin, capture_output=True, text=True,
                            env=env, timeout=600)
    if result.returncode != 0:
        raise RuntimeError(f'{command[0]} exited {result.returncode}: {result.stderr[-800:]}')


def set_lines():
    """The sets as lines "start end freq rustle cutter len seed NN.wav"."""
    return ''.join(' '.join(map(str, s)) + f' {n:02}.wav\n' for n, s in enumerate(SETS))


def file_digests(folder):
    return [digest((folder / f'{n:02}.wav').read_bytes()) for n in range(len(SETS))]


def by_lines(command, env=None):
    """A way that reads the set lines and writes NN.wav into its folder."""
    def way(folder):
        run(command, folder, set_lines(), env)
        return file_digests(folder)
    return way


def linux_renderer(renderer):
    def way(folder):
        for n, s in enumerate(SETS):
            options = [w for k, v in zip(KNOBS, s) for w in (f'--{k}', str(v))]
            run([str(renderer), *options, '--seed', str(s[6]), '-o', f'{n:02}.wav'], folder)
        return file_digests(folder)
    return way


def windows_renderer(wine_run, renderer):
    """One Wine process for all sets: a batch with a line per sound."""
    def way(folder):
        batch = ''.join(f'{n:02}: ' + ' '.join(f'{k}={v}' for k, v in zip(KNOBS, s)) +
                        f' seed={s[6]}\n' for n, s in enumerate(SETS))
        (folder / 'kit.txt').write_text(batch)
        run([str(wine_run), str(renderer), '--batch', 'kit.txt', '--out-dir', '.'], folder)
        return file_digests(folder)
    return way


def npm_project(folder, tarball):
    (folder / 'package.json').write_text('{"private": true, "type": "module"}\n')
    run(['npm', 'install', '--offline', '--no-audit', '--no-fund', str(tarball)], folder)


def node_way(tarball):
    def way(folder):
        npm_project(folder, tarball)
        (folder / 'render.mjs').write_text(NODE_RENDER)
        run(['node', 'render.mjs'], folder, set_lines())
        return file_digests(folder)
    return way


def chromium_way(tarball, page):
    """A game's page imports the package, renders each sound and plays it
    through Web Audio: every frame of the WAV's data must come out."""
    def way(folder):
        npm_project(folder, tarball)
        shutil.copy(page, folder / 'index.html')
        server = devtools.serve(str(folder))
        browser = devtools.Browser()
        try:
            browser.send('Page.navigate',
                         url=f'http://127.0.0.1:{server.server_address[1]}/index.html')
            browser.wait_for('window.ready === true', timeout=30)
            digests = []
            for s in SETS:
                sound = json.dumps(dict(zip(KNOBS + ('seed',), s)))
                got = browser.evaluate(f'renderAndPlay({sound})')
                frames = got['dataFrames']
                played = (got['decodedFrames'], got['playedFrames'], got['framesUnlike'])
                if played != (frames, frames, 0):
                    raise RuntimeError(f'Web Audio played {sound} as {got}')
                digests.append(got['sha256'])
            return digests
        finally:
            browser.close()
            server.shutdown()
    return way


def main():
    parser = argparse.ArgumentParser()
    for name in ('--source', '--release', '--win32', '--npm-tarball'):
        parser.add_argument(name, type=Path, required=True)
    args = parser.parse_args()
    source, release, win32 = args.source.resolve(), args.release.resolve(), args.win32.resolve()
    tarball = args.npm_tarball.resolve()
    programs = release / 'tests' / 'same_bytes'
    wine_run = source / 'tests' / 'wine' / 'wine-run.sh'
    python_env = dict(os.environ, PYTHONPATH=str(source / 'python'),
                      TONKELWERK_LIBRARY=str(release / 'sound' / 'libtonkelwerk.so.1'))
    ways = {
        'tonkelwerk-render, Linux': linux_renderer(release / 'cli' / 'tonkelwerk-render'),
        'tonkelwerk-render.exe, Wine': windows_renderer(
            wine_run, win32 / 'cli' / 'tonkelwerk-render.exe'),
        'C, static library': by_lines([str(programs / 'tonkelwerk_same_bytes_c_static')]),
        'C, libtonkelwerk.so.1': by_lines([str(programs / 'tonkelwerk_same_bytes_c_shared')]),
        'C, tonkelwerk.dll, Wine': by_lines([str(wine_run), str(
            win32 / 'tests' / 'same_bytes' / 'tonkelwerk_same_bytes_c_shared.exe')]),
        'C++, static library': by_lines([str(programs / 'tonkelwerk_same_bytes_cpp')]),
        'Python': by_lines([sys.executable, '-c', PYTHON_RENDER], python_env),
        'JavaScript, Node': node_way(tarball),
        'JavaScript, Chromium': chromium_way(
            tarball, source / 'tests' / 'npm' / 'consumer_page.html'),
    }
    results = {}
    with tempfile.TemporaryDirectory() as temp:
        for name, way in ways.items():
            folder = Path(temp) / name.replace(' ', '_').replace(',', '')
            folder.mkdir()
            try:
                results[name] = way(folder)
            except (RuntimeError, OSError, subprocess.TimeoutExpired) as error:
                results[name] = str(error)
    reference = results['tonkelwerk-render, Linux']
    if isinstance(reference, str):
        print(f'FAIL: the reference failed: {reference}', file=sys.stderr)
        sys.exit(1)
    wrong = 0
    for name, result in results.items():
        if isinstance(result, str):
            verdict = f'failed: {result}'
        else:
            same = sum(a == b for a, b in zip(result, reference))
            verdict = f'{same} of {len(SETS)} files as tonkelwerk-render writes them'
        wrong += result != reference
        print(f'{name:30} {verdict}')
    if wrong:
        print(f'FAIL: {wrong} of {len(ways)} ways differ', file=sys.stderr)
        sys.exit(1)


if __name__ == '__main__':
    main()
