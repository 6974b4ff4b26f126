#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 like `python3 -m http.server`, but sends the
page's text and WebAssembly gzip-compressed to browsers that accept it:
serve_web.py FOLDER PORT. Compressed copies are made once per file version,
in memory. Leaves out: ranges and other encodings."""
import functools
import gzip
import http.server
import os
import sys

COMPRESSED_TYPES = ('text/', 'application/javascript', 'application/wasm',
                    'application/manifest+json', 'image/svg+xml')


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json'}
    cache = {}  # path -> (modification time, compressed bytes)

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path) and path.endswith('/'):
            path = os.path.join(path, 'index.html')
        kind = self.guess_type(path)
        wants_gzip = 'gzip' in self.headers.get('Accept-Encoding', '')
        if not (wants_gzip and os.path.isfile(path) and kind.startswith(COMPRESSED_TYPES)):
            return super().send_head()
        body = self.compressed(path)
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(body)))
        self.send_header('Vary', 'Accept-Encoding')
        self.end_headers()
        if self.command == 'GET':
            self.wfile.write(body)
        return None

    def compressed(self, path):
        modified = os.stat(path).st_mtime_ns
        kept = self.cache.get(path)
        if not kept or kept[0] != modified:
            with open(path, 'rb') as file:
                kept = (modified, gzip.compress(file.read(), compresslevel=9, mtime=0))
            self.cache[path] = kept
        return kept[1]


def main():
    folder, port = sys.argv[1], int(sys.argv[2])
    handler = functools.partial(Handler, directory=folder)
    with http.server.ThreadingHTTPServer(('127.0.0.1', port), handler) as server:
        server.serve_forever()


if __name__ == '__main__':
    main()
