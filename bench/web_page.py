#!/usr/bin/python3
"""The web page's size, start-up and idle cost, in headless Chromium.

Usage: bench/web_page.py [BUILD_DIR]   (default build/web; build it with
scripts/serve-web.sh or the web preset first). Prints each figure with its
ratio to the goal: the .wasm and .js under 300 KB together, page load to the
first painted frame under 300 ms, the page's renderer process under 1 % of a
core while idle (its processor time over 5 seconds, beside a blank page's;
also the page's main thread busy, DevTools' TaskDuration, and all of
Chromium's processes); and the page's size as a gzip-compressing server
sends it."""
import gzip
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'web'))
from devtools import Browser, serve  # noqa: E402


def cpu_seconds(profile, renderer_only):
    """Processor time of Chromium's processes for `profile` (or its renderers)."""
    total = 0
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            command = open(f'/proc/{pid}/cmdline', 'rb').read().decode(errors='replace')
            fields = open(f'/proc/{pid}/stat').read().rsplit(')', 1)[1].split()
        except OSError:
            continue
        if profile in command and (not renderer_only or '--type=renderer' in command):
            total += int(fields[11]) + int(fields[12])
    return total / os.sysconf('SC_CLK_TCK')


def measure_idle(page, seconds=5):
    """Shares of a core over `seconds`: the page's main thread busy, its
    renderer process, all of Chromium."""
    def busy():
        metrics = page.send('Performance.getMetrics')['metrics']
        return next(m['value'] for m in metrics if m['name'] == 'TaskDuration')
    time.sleep(1)
    start = time.monotonic()
    before = (busy(), cpu_seconds(page.profile, True), cpu_seconds(page.profile, False))
    time.sleep(seconds)
    after = (busy(), cpu_seconds(page.profile, True), cpu_seconds(page.profile, False))
    elapsed = time.monotonic() - start
    return [(b - a) / elapsed for a, b in zip(before, after)]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else 'build/web'
    size = sum(os.path.getsize(os.path.join(folder, 'tonkelwerk' + ext)) for ext in ('.js', '.wasm'))
    print(f'size: {size / 1000:.1f} KB (.wasm + .js), ratio to 300 KB goal {size / 300000:.2f}')
    page_files = ('index.html', 'tonkelwerk.js', 'tonkelwerk.wasm')
    packed = sum(len(gzip.compress(open(os.path.join(folder, name), 'rb').read(), 9))
                 for name in page_files)
    print(f'gzip: {packed / 1000:.1f} KB (index.html + .js + .wasm, as scripts/serve_web.py sends them)')
    server = serve(folder)
    page = Browser()
    try:
        loads = []
        for _ in range(5):
            page.open(f'http://127.0.0.1:{server.server_address[1]}/index.html')
            loads.append(page.evaluate(
                "performance.getEntriesByName('tonkelwerk-first-frame')[0].startTime"))
        first = sorted(loads)[len(loads) // 2]
        print(f'first frame: {first:.0f} ms after navigation (median of 5), '
              f'ratio to 300 ms goal {first / 300:.2f}')
        page.send('Performance.enable')
        idle = measure_idle(page)
        page.send('Page.navigate', url='data:text/html,<title>blank</title>')
        blank = measure_idle(page)
        for name, goal, value, base in zip(('main thread', 'renderer process', 'all of Chromium'),
                                           (None, 0.01, None), idle, blank):
            ratio = f', ratio to 1 % goal {value / goal:.2f}' if goal else ''
            print(f'idle: {name} {100 * value:.2f} % of a core (a blank page: '
                  f'{100 * base:.2f} %){ratio}')
    finally:
        page.close()
        server.shutdown()


if __name__ == '__main__':
    main()
