"""A page of the web build in headless Chromium, driven through the DevTools
protocol, and the local web server it is loaded from (127.0.0.1 only)."""
import functools
import http.server
import json
import os
import shutil
import socketserver
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket  # Debian's python3-websocket


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm'}

    def log_message(self, *args):
        pass


def serve(folder):
    """Serves `folder` on 127.0.0.1 on a free port; returns the server."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = socketserver.ThreadingTCPServer(('127.0.0.1', 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Browser:
    """Headless Chromium with one page; `events` keeps every event seen."""

    def __init__(self, chromium='chromium'):
        self.profile = tempfile.mkdtemp(prefix='tonkelwerk-chromium-')
        self.process = subprocess.Popen(
            [chromium, '--headless=new', '--no-sandbox', '--disable-gpu',
             '--no-first-run', '--no-default-browser-check', '--mute-audio',
             '--remote-debugging-address=127.0.0.1', '--remote-debugging-port=0',
             '--user-data-dir=' + self.profile, 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        for _ in range(200):
            if os.path.exists(port_file) and open(port_file).read().count('\n') >= 1:
                break
            time.sleep(0.05)
        port = open(port_file).read().split('\n')[0]
        pages = json.load(urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list'))
        page = next(p for p in pages if p['type'] == 'page')
        self.socket = websocket.create_connection(page['webSocketDebuggerUrl'], timeout=30)
        self.next_id = 0
        self.events = []
        for domain in ('Page', 'Runtime'):
            self.send(domain + '.enable')

    def send(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get('id') == self.next_id:
                if 'error' in message:
                    raise RuntimeError(f'{method}: {message["error"]}')
                return message['result']
            self.events.append(message)

    def evaluate(self, expression):
        result = self.send('Runtime.evaluate', expression=expression, awaitPromise=True,
                           returnByValue=True)
        if 'exceptionDetails' in result:
            raise RuntimeError(f'{expression}: {result["exceptionDetails"]}')
        return result['result'].get('value')

    def wait_for(self, expression, timeout=10.0):
        """Polls until `expression` is truthy; returns its value."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError(f'timed out waiting for: {expression}')

    def open(self, url):
        self.send('Page.navigate', url=url)
        # The first painted frame marks the program as running.
        self.wait_for(f"document.URL === {json.dumps(url)} &&"
                      " performance.getEntriesByName('tonkelwerk-first-frame').length > 0")

    def mouse(self, kind, x, y, buttons=0, button='none', clicks=0):
        self.send('Input.dispatchMouseEvent', type=kind, x=x, y=y, buttons=buttons,
                  button=button, clickCount=clicks)

    def click(self, x, y):
        """A left click at (x, y) of the window's client area."""
        left, top = self.evaluate(
            "(r => [r.left, r.top])(document.querySelector('.tw-window').getBoundingClientRect())")
        self.mouse('mouseMoved', left + x, top + y)
        self.mouse('mousePressed', left + x, top + y, 1, 'left', 1)
        self.mouse('mouseReleased', left + x, top + y, 0, 'left', 1)

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            self.process.wait(timeout=10)
            shutil.rmtree(self.profile, ignore_errors=True)
