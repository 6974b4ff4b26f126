#!/usr/bin/python3
"""The npm package installed from its tarball into a game's project:
npm_test.py TARBALL RENDER_TOOL CASE.

Cases: node (consumer_test.mjs and the package's README example in Node,
and consumer_types.ts under tsc),
chromium (consumer_page.html in headless Chromium, through Web Audio). The
sounds are compared with RENDER_TOOL's files byte for byte."""
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'web'))
from devtools import Browser, serve  # noqa: E402

SOUNDS = [
    {'freq': 120, 'len': 40, 'seed': 7},
    {'start': 90, 'end': 180, 'freq': 270, 'rustle': 45, 'cutter': 135, 'len': 20, 'seed': 1},
    {'start': 360, 'end': 360, 'freq': 360, 'rustle': 360, 'cutter': 360, 'len': 360,
     'seed': 4294967295},
]


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


def renderer_wav(tool, sound, folder):
    path = os.path.join(folder, 'expected.wav')
    args = [tool, '-o', path]
    for name, value in sound.items():
        args += ['--' + name, str(value)]
    subprocess.run(args, check=True)
    return open(path, 'rb').read()


def case_chromium(folder, tool):
    shutil.copy(os.path.join(HERE, 'consumer_page.html'), folder)
    server = serve(folder)
    page = Browser()
    try:
        url = f'http://127.0.0.1:{server.server_address[1]}/consumer_page.html'
        page.send('Page.navigate', url=url)
        page.wait_for('window.ready === true')
        for sound in SOUNDS:
            wav = renderer_wav(tool, sound, folder)
            got = page.evaluate(f'renderAndPlay({json.dumps(sound)})')
            data_frames = int.from_bytes(wav[40:44], 'little') // 4
            expected = {'sha256': hashlib.sha256(wav).hexdigest(), 'decodedFrames': data_frames,
                        'playedFrames': data_frames, 'framesUnlike': 0}
            assert got == expected, f'{sound}: {got}, expected {expected}'
        refusal = page.evaluate('refusal({freq: 361, len: 40})')
        assert refusal == '2 A knob angle lies outside 0..360 degrees.', refusal
    finally:
        page.close()
        server.shutdown()
    print('ok chromium')


def main():
    tarball, tool, case = sys.argv[1:4]
    folder = tempfile.mkdtemp(prefix='tonkelwerk-npm-')
    try:
        install_consumer(os.path.abspath(tarball), folder)
        {'node': case_node, 'chromium': case_chromium}[case](folder, os.path.abspath(tool))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == '__main__':
    main()
