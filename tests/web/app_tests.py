#!/usr/bin/python3
"""The command tests of every backend on the web backend's test hook, in a
page of headless Chromium: app_tests.py TESTS_DIR [GTEST_ARGUMENT...].

Serves TESTS_DIR (app_tests.html with the test program beside it), passes
the arguments to the program, prints what it wrote to the console and exits
with its exit status."""
import sys
import urllib.parse

from devtools import Browser, serve


def main():
    folder, arguments = sys.argv[1], sys.argv[2:]
    server = serve(folder)
    query = '&'.join(urllib.parse.quote(a, safe='') for a in arguments)
    url = f'http://127.0.0.1:{server.server_address[1]}/app_tests.html?{query}'
    page = Browser()
    try:
        page.send('Page.navigate', url=url)
        status = page.wait_for("window.twExitStatus !== undefined && String(window.twExitStatus)",
                               timeout=150)
    finally:
        for event in page.events:
            if event.get('method') == 'Runtime.consoleAPICalled':
                print(' '.join(str(a.get('value', '')) for a in event['params']['args']))
            if event.get('method') == 'Runtime.exceptionThrown':
                print(event['params']['exceptionDetails'])
        page.close()
        server.shutdown()
    sys.exit(0 if status == '0' else 1)


if __name__ == '__main__':
    main()
