"""The wheel as a user installs it: pip installs it into a fresh virtual
environment (python3 -m venv, nothing fetched), and the module there renders
the renderer's bytes with the library it carries, with neither
TONKELWERK_LIBRARY nor this source folder to help it.
Leaves out: the module's behaviour (test_module.py). Depends on: pytest,
python3-venv, the wheel in TONKELWERK_WHEEL_DIR and tonkelwerk-render in
TONKELWERK_RENDER.
"""

import glob
import os
import subprocess
import sys
import zipfile

RENDER = os.environ["TONKELWERK_RENDER"]
WHEEL_DIR = os.environ["TONKELWERK_WHEEL_DIR"]

PROGRAM = """
import sys, tonkelwerk
sys.stdout.buffer.write(tonkelwerk.render(start=30, end=200, freq=164, rustle=300, cutter=90,
                                          len=120, seed=11))
"""


def test_the_installed_wheel_renders_with_its_own_library(tmp_path):
    wheels = glob.glob(os.path.join(WHEEL_DIR, "tonkelwerk-*.whl"))
    assert len(wheels) == 1, wheels
    wheel = wheels[0]
    assert os.path.basename(wheel).endswith("-py3-none-linux_x86_64.whl")
    with zipfile.ZipFile(wheel) as archive:
        assert "tonkelwerk/py.typed" in archive.namelist()

    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", str(venv)], check=True, timeout=300)
    python = str(venv / "bin" / "python")
    env = {k: v for k, v in os.environ.items()
           if k not in ("TONKELWERK_LIBRARY", "PYTHONPATH", "LD_LIBRARY_PATH")}
    subprocess.run([python, "-m", "pip", "install", "--quiet", "--no-index", wheel],
                   check=True, timeout=300, env=env)

    rendered = subprocess.run([python, "-c", PROGRAM], capture_output=True, check=True,
                              timeout=60, env=env, cwd=str(tmp_path)).stdout
    out = tmp_path / "sound.wav"
    subprocess.run([RENDER, "--start", "30", "--end", "200", "--freq", "164", "--rustle", "300",
                    "--cutter", "90", "--len", "120", "--seed", "11", "-o", str(out)],
                   check=True, timeout=60)
    assert rendered == out.read_bytes()

    # The module and the library it loaded are the installed ones, and pip
    # knows the engine's version.
    where = subprocess.run([python, "-c", "import tonkelwerk; print(tonkelwerk.__file__, "
                            "tonkelwerk.__version__, tonkelwerk._lib._name)"],
                           capture_output=True, text=True, check=True, env=env,
                           cwd=str(tmp_path)).stdout.split()
    assert all(path.startswith(str(venv)) for path in (where[0], where[2])), where
    shown = subprocess.run([python, "-m", "pip", "show", "tonkelwerk"], capture_output=True,
                           text=True, check=True, env=env).stdout
    assert "Version: %s\n" % where[1] in shown
