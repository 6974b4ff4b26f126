#!/usr/bin/env python3
"""The README's examples of the engine, built and run exactly as printed.

Each example writes laser.wav, which must be the file of
`tonkelwerk-render --freq 120 --rustle 20 --len 40 --seed 7`. The C and C++
examples are compiled with the README's own compile lines against the engine
installed from the build (its dev and lib components) and found through
pkg-config; the Python one runs against the source tree's module and the
build's shared library; the JavaScript one in a project that installed the
npm tarball.

Usage: readme_examples.py LANGUAGE... --readme FILE --renderer EXE
           [--build DIR] [--python-dir DIR] [--npm-tarball TGZ]
LANGUAGE is c, cpp, python or js.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

SECTION = "## Using the engine from C, C++, Python and JavaScript"
SOUND = ["--freq", "120", "--rustle", "20", "--len", "40", "--seed", "7"]
SOURCE_NAMES = {"c": "laser.c", "cpp": "game.cpp", "python": "laser.py", "js": "laser.mjs"}


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def section_blocks(readme):
    """The fenced blocks of the section, as (language, text) pairs."""
    text = readme.read_text(encoding="utf-8")
    start = text.find(SECTION)
    if start < 0:
        fail(f"the README has no section {SECTION!r}")
    end = text.find("\n## ", start + len(SECTION))
    body = text[start:end if end > 0 else len(text)]
    return re.findall(r"^```(\w+)\n(.*?)^```$", body, re.M | re.S)


def only_block(blocks, language):
    found = [text for lang, text in blocks if lang == language]
    if len(found) != 1:
        fail(f"the section has {len(found)} {language} examples, not one")
    lines = found[0].count("\n")
    if lines > 10:
        fail(f"the {language} example has {lines} lines, more than 10")
    return found[0]


def compile_line(blocks, source):
    """The README's shell line that compiles `source`."""
    for lang, text in blocks:
        for line in text.splitlines():
            if lang == "sh" and source in line.split():
                return line
    fail(f"the section has no compile line for {source}")


def run(command, folder, env, shell=False):
    result = subprocess.run(command, cwd=folder, env=env, shell=shell, capture_output=True,
                            text=True, timeout=300)
    if result.returncode != 0:
        fail(f"{command} exited {result.returncode}:\n{result.stdout}{result.stderr}")


def install_engine(build, prefix):
    for component in ("dev", "lib"):
        run(["cmake", "--install", str(build), "--prefix", str(prefix), "--component", component],
            build, os.environ.copy())
    pc_files = list(prefix.rglob("tonkelwerk*.pc"))
    if not pc_files:
        fail("the installed engine has no .pc file")
    return {p.parent for p in pc_files}


def run_example(language, blocks, args, folder):
    source = folder / SOURCE_NAMES[language]
    source.write_text(only_block(blocks, language), encoding="utf-8")
    env = os.environ.copy()
    if language in ("c", "cpp"):
        prefix = folder / "prefix"
        env["PKG_CONFIG_PATH"] = os.pathsep.join(str(d) for d in install_engine(args.build, prefix))
        run(compile_line(blocks, source.name), folder, env, shell=True)
        env["LD_LIBRARY_PATH"] = os.pathsep.join(str(p.parent) for p in prefix.rglob("*.so*"))
        run([str(folder / "a.out")], folder, env)
    elif language == "python":
        env["PYTHONPATH"] = str(args.python_dir)
        env["TONKELWERK_LIBRARY"] = str(args.build / "sound" / "libtonkelwerk.so.1")
        run([sys.executable, source.name], folder, env)
    else:
        (folder / "package.json").write_text('{"private": true}\n', encoding="utf-8")
        run(["npm", "install", "--offline", "--no-audit", "--no-fund", str(args.npm_tarball)],
            folder, env)
        run(["node", source.name], folder, env)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("languages", nargs="+", choices=sorted(SOURCE_NAMES))
    parser.add_argument("--readme", type=Path, required=True)
    parser.add_argument("--renderer", type=Path, required=True)
    parser.add_argument("--build", type=Path)
    parser.add_argument("--python-dir", type=Path)
    parser.add_argument("--npm-tarball", type=Path)
    args = parser.parse_args()
    for name in ("renderer", "build", "python_dir", "npm_tarball"):
        if getattr(args, name):
            setattr(args, name, getattr(args, name).resolve())
    blocks = section_blocks(args.readme)
    with tempfile.TemporaryDirectory() as temp:
        expected = Path(temp) / "expected.wav"
        run([str(args.renderer), *SOUND, "-o", str(expected)], temp, os.environ.copy())
        for language in args.languages:
            folder = Path(temp) / language
            folder.mkdir()
            run_example(language, blocks, args, folder)
            written = folder / "laser.wav"
            if not written.exists() or written.read_bytes() != expected.read_bytes():
                fail(f"the {language} example's laser.wav differs from tonkelwerk-render's")
            print(f"{language}: laser.wav as tonkelwerk-render writes it")


if __name__ == "__main__":
    main()
