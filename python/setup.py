"""The wheel's tag: the module is pure Python for every Python 3, but the
library it carries is built for this machine, so the wheel is
py3-none-<platform> (py3-none-linux_x86_64 here). The rest is in
pyproject.toml. Depends on: setuptools and wheel (python3-setuptools,
python3-wheel)."""

import sysconfig

from setuptools import setup
from wheel.bdist_wheel import bdist_wheel


class PlatformWheel(bdist_wheel):
    def get_tag(self):
        return ("py3", "none", sysconfig.get_platform().replace("-", "_").replace(".", "_"))


setup(cmdclass={"bdist_wheel": PlatformWheel})
