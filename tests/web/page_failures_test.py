#!/usr/bin/python3
"""The page when things go wrong, and the page installed, end to end in
headless Chromium: page_failures_test.py PAGE_DIR RENDER_TOOL CASE.

Cases: honest (a bad link, a throwing audio context, the save dialog's names,
bad pastes, a clipboard the page cannot write, the about text), offline (the
manifest, the favicon, the page's outline, a new build's page and cache, a
reload from the service worker with the server gone). Uses page_test.py's helpers."""
import json
import os
import sys
import shutil
import time

from devtools import serve
from page_test import LINK, LINK_FRAGMENT, PASTE, main, marker_at, open_dialog_text, render, save_as

THROWING_AUDIO = """window.AudioContext = window.webkitAudioContext =
  function() { throw new Error('no audio device'); };"""
# A plain-http host: no asynchronous clipboard. Records what each copy event carries.
NO_CLIPBOARD = """Object.defineProperty(Navigator.prototype, 'clipboard', {get: () => undefined});
window.copied = [];
window.addEventListener('copy', e => window.copied.push(e.clipboardData.getData('text/plain')));"""
NO_COPY_EVENT = "document.execCommand = () => false;"


def close_box(page):
    page.evaluate("document.querySelector('dialog[open] .tw-box-buttons button').click()")
    page.wait_for("!document.querySelector('dialog[open]')")


def knobs_at_link(page):
    return all(marker_at(page, knob, angle) for knob, angle in enumerate(LINK.values()))


def type_in_save_dialog(page, text):
    page.evaluate("document.querySelector('dialog[open] input').select()")
    page.send('Input.insertText', text=text)
    page.evaluate("document.querySelector('dialog[open] button[value=Save]').click()")


def ctrl_c(page):
    for kind in ('rawKeyDown', 'keyUp'):
        page.send('Input.dispatchKeyEvent', type=kind, key='c', code='KeyC',
                  windowsVirtualKeyCode=67, modifiers=2)


def check_silent_page_still_saves(page, url, tool, downloads):
    page.click(590, 22)  # Preview
    title, text = open_dialog_text(page)
    assert title == 'Attention' and 'Preview plays no sound' in text, (title, text)
    assert 'no audio device' in text, text
    close_box(page)
    page.click(590, 22)
    time.sleep(0.5)
    assert not page.evaluate("document.querySelector('dialog[open]')"), 'told twice'
    assert save_as(page, downloads, 'laser') == render(tool, 7, os.path.dirname(downloads))


def check_save_names(page, downloads):
    page.click(590, 52)  # Save wave
    open_dialog_text(page)
    assert page.evaluate("document.querySelector('dialog[open] input').value") == 'tonkelwerk.wav'
    type_in_save_dialog(page, '   ')
    time.sleep(0.3)
    message = page.evaluate("document.querySelector('dialog[open] input').validationMessage")
    assert 'only blanks' in message, message
    type_in_save_dialog(page, '../../up.wav')
    page.wait_for("!document.querySelector('dialog[open]')")
    end = time.monotonic() + 10
    while 'up.wav' not in os.listdir(downloads) and time.monotonic() < end:
        time.sleep(0.1)
    assert 'up.wav' in os.listdir(downloads), os.listdir(downloads)


def check_bad_text_box(page, reason):
    title, text = open_dialog_text(page)
    assert title == 'Attention' and reason in text, (title, text)
    close_box(page)
    assert knobs_at_link(page), f'the knobs moved for {reason}'


def case_honest(page, url, tool, scratch):
    downloads = os.path.join(scratch, 'downloads')
    os.mkdir(downloads)
    page.send('Browser.setDownloadBehavior', behavior='allow', downloadPath=downloads)
    page.send('Page.addScriptToEvaluateOnNewDocument', source=THROWING_AUDIO)
    page.open(url + LINK_FRAGMENT)
    check_silent_page_still_saves(page, url, tool, downloads)
    check_save_names(page, downloads)
    # A bad link, opened or edited, and bad pastes: a box that names why.
    page.evaluate("location.hash = '#start=361&freq=100&len=40'")
    check_bad_text_box(page, "'start=361'")
    page.evaluate(PASTE % json.dumps('freq=55\0garbage len=360'))
    check_bad_text_box(page, 'control character \\x00')
    page.evaluate(PASTE % json.dumps('freq=10 len=5\u2028freq=20 len=6'))
    check_bad_text_box(page, '2 lines')
    page.open(url.replace('index.html', '') + '?bad#freq=100&len=40&cutter=-1')
    title, text = open_dialog_text(page)
    assert title == 'Attention' and "'cutter=-1'" in text, (title, text)
    # Ctrl+C without the asynchronous clipboard: the copy event's own data,
    # else a box with the link.
    page.send('Page.addScriptToEvaluateOnNewDocument', source=NO_CLIPBOARD)
    page.open(url + LINK_FRAGMENT)
    ctrl_c(page)
    copied = page.wait_for("window.copied.find(t => t.endsWith(location.hash) && t)")
    assert copied.endswith(LINK_FRAGMENT) and copied.startswith('http://'), copied
    page.send('Page.addScriptToEvaluateOnNewDocument', source=NO_COPY_EVENT)
    page.open(url + '?by-hand' + LINK_FRAGMENT)
    ctrl_c(page)
    title, _ = open_dialog_text(page)
    shown = page.evaluate("document.querySelector('dialog[open] input').value")
    assert title == 'Link to this sound' and shown.endswith(LINK_FRAGMENT), (title, shown)
    close_box(page)
    # The about text tells what the page's Ctrl+C copies.
    page.evaluate("[...document.querySelectorAll('.tw-window button')]"
                  ".find(b => b.textContent === 'Informations').click()")
    _, text = open_dialog_text(page)
    assert 'link to this page' in text and 'tonkelwerk-render' not in text, text


def fetch_ok(page, path):
    return page.evaluate(f"fetch({json.dumps(path)}).then(r => r.ok, () => false)")


def case_offline(page, url, tool, scratch):
    # A copy of the page, served here, so that its server can go away.
    folder = os.path.join(scratch, 'page')
    shutil.copytree(os.path.join(sys.argv[1], 'icons'), os.path.join(folder, 'icons'))
    for entry in os.scandir(sys.argv[1]):
        if entry.is_file():
            shutil.copy(entry.path, folder)
    server = serve(folder)
    url = f'http://127.0.0.1:{server.server_address[1]}/index.html'
    page.open(url)
    assert page.evaluate("document.querySelector('main h1').textContent").startswith('Tonkelwerk')
    assert page.evaluate("!!document.querySelector('main .tw-window canvas')")
    assert page.evaluate("document.querySelector('meta[name=description]').content")
    assert fetch_ok(page, page.evaluate("document.querySelector('link[rel=icon]').href"))
    manifest = json.loads(page.evaluate(
        "fetch(document.querySelector('link[rel=manifest]').href).then(r => r.text())"))
    assert manifest['display'] == 'standalone' and manifest['theme_color'], manifest
    sizes = {icon['sizes']: icon['src'] for icon in manifest['icons'] if icon['type'] == 'image/png'}
    for size in ('192', '512'):
        width = page.evaluate(f"""new Promise(done => {{ const i = new Image();
            i.onload = () => done(i.naturalWidth); i.onerror = () => done(0);
            i.src = {json.dumps(sizes[size + 'x' + size])}; }})""")
        assert width == int(size), (size, width)
    # The worker controls the page once its cache of this build is full.
    page.wait_for("navigator.serviceWorker.controller !== null", timeout=20)
    names = page.evaluate("caches.keys()")
    assert len(names) == 1 and names[0].startswith('tonkelwerk-'), names
    # A new build: its page is served at once, and its cache replaces the old one.
    for name, old, new in (('service-worker.js', names[0], 'tonkelwerk-next'),
                           ('index.html', '</body>', '<!-- next --></body>')):
        path = os.path.join(folder, name)
        text = open(path).read()
        open(path, 'w').write(text.replace(old, new))
        # Later than the first build by more than the server's one-second
        # Last-Modified, as a real new build is: else a fast run gets 304.
        later = time.time() + 5
        os.utime(path, (later, later))
    page.open(url + '?next')
    assert '<!-- next -->' in page.evaluate("document.documentElement.outerHTML"), 'a stale page'
    page.wait_for("caches.keys().then(k => k.join() === 'tonkelwerk-next')", timeout=20)
    server.shutdown()
    server.server_close()
    page.open(url)
    assert not fetch_ok(page, 'no-such-file'), 'the server is still there'
    assert '<!-- next -->' in page.evaluate("document.documentElement.outerHTML")


if __name__ == '__main__':
    main(globals())
