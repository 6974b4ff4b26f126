#!/usr/bin/python3
"""The npm package installed from its tarball into a game's project, in
Node: npm_test.py TARBALL RENDER_TOOL. Runs consumer_test.mjs, which
compares the sounds with RENDER_TOOL's files byte for byte, the package's
README example, and consumer_types.ts under tsc. (The package in a page in
headless Chromium is the cross-check's, tests/same_bytes/same_bytes.py.)"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def install_consumer(tarball, folder):
    """A project in `folder` with the package installed from `tarball`, as
    a game's would be; npm needs no registry for a package without
    dependencies."""
    with open(os.path.join(folder, 'package.json'), 'w') as out:
        json.dump({'name': 'consumer', 'private': True, 'type': 'module'}, out)
    subprocess.run(['npm', 'install', '--offline', '--no-audit', '--no-fund', tarball],
                   cwd=folder, check=True, stdout=subprocess.DEVNULL)


def case_node(folder, tool):
    for name in ('consumer_test.mjs', 'consumer_types.ts'):
        shutil.copy(os.path.join(HERE, name), folder)
    scratch = os.path.join(folder, 'scratch')
    os.mkdir(scratch)
    subprocess.run(['node', 'consumer_test.mjs', tool, scratch], cwd=folder, check=True)
    # The package's README example runs as printed.
    readme = open(os.path.join(folder, 'node_modules', 'tonkelwerk', 'README.md')).read()
    example = re.search(r'```js\n(.*?)```', readme, re.S).group(1)
    open(os.path.join(folder, 'readme_example.mjs'), 'w').write(example)
    subprocess.run(['node', 'readme_example.mjs'], cwd=folder, check=True)
    print('ok README example')
    if not shutil.which('tsc'):
        raise AssertionError("tsc missing (Debian's node-typescript): the types are unchecked")
    subprocess.run(['tsc', '--noEmit', '--strict', '--module', 'nodenext', '--moduleResolution',
                    'nodenext', '--target', 'es2022', 'consumer_types.ts'], cwd=folder, check=True)
    print('ok types')


def main():
    tarball, tool = sys.argv[1:3]
    folder = tempfile.mkdtemp(prefix='tonkelwerk-npm-')
    try:
        install_consumer(os.path.abspath(tarball), folder)
        case_node(folder, os.path.abspath(tool))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == '__main__':
    main()
