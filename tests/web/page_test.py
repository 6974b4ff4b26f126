#!/usr/bin/python3
"""The page end to end in headless Chromium: page_test.py PAGE_DIR RENDER_TOOL CASE.

Cases: rings, drag, link, save, attention, preview, keys, share, no-audio,
no-wasm, phone, sliders."""
import math
import os
import struct
import subprocess
import sys
import tempfile
import time

from devtools import Browser, serve

KNOB_X = [10, 100, 190, 280, 370, 460]  # Start, End, Freq, Rustle, Cutter, Len.
KNOB_Y = 10
LINK = {'start': 90, 'end': 180, 'freq': 270, 'rustle': 45, 'cutter': 135, 'len': 20}
CAPTIONS = ('Start', 'End', 'Freq', 'Rustle', 'Cutter', 'Len.')
LINK_FRAGMENT = '#' + '&'.join(f'{k}={v}' for k, v in LINK.items()) + '&seed=7'
BLACK = (0, 0, 0)

PIXEL = """(() => { const c = document.querySelector('.tw-window canvas').getContext('2d');
  return Array.from(c.getImageData(%d, %d, 1, 1).data.slice(0, 3)); })()"""


def pixel(page, x, y, ratio=1, part=None):
    """The colour of the window's pixel (x, y) on a screen of `ratio` device
    pixels per pixel: of its middle device pixel, or of device pixel `part`
    (dx, dy) of it."""
    dx, dy = part or (ratio // 2, ratio // 2)
    return tuple(page.evaluate(PIXEL % (x * ratio + dx, y * ratio + dy)))


def marker_at(page, knob, angle, ratio=1):
    """True when knob `knob` shows its marker ring (radius 7, black) at `angle`:
    black at its top, bottom, left and right, not at its centre."""
    theta = (angle + 90.0) * 0.0174532924
    px = KNOB_X[knob] + round(math.cos(theta) * 28 + 35)
    py = KNOB_Y + round(math.sin(theta) * 28 + 35)
    edges = [(px, py - 7), (px, py + 6), (px - 7, py), (px + 6, py)]
    return (all(pixel(page, x, y, ratio) == BLACK for x, y in edges)
            and pixel(page, px, py, ratio) != BLACK)


def render(tool, seed, folder):
    path = os.path.join(folder, 'expected.wav')
    args = [tool, '--seed', str(seed), '-o', path]
    for name, value in LINK.items():
        args += ['--' + name, str(value)]
    subprocess.run(args, check=True)
    return open(path, 'rb').read()


def open_dialog_text(page):
    return page.wait_for("(d => d && [d.querySelector('.tw-box-title').textContent,"
                         " d.querySelector('form').innerText])(document.querySelector('dialog[open]'))")


def case_rings(page, url, tool, scratch):
    page.open(url)
    for knob in range(6):
        x, y = KNOB_X[knob], KNOB_Y
        assert pixel(page, x + 35, y) == BLACK, f'knob {knob}: no outer black ring'
        assert pixel(page, x + 35, y + 1) == (255, 255, 255), f'knob {knob}: no white ring'
        assert pixel(page, x, y + 35) == BLACK, f'knob {knob}: ring not round'
        assert marker_at(page, knob, 0), f'knob {knob}: marker not at 0'
        assert not marker_at(page, knob, 180), f'knob {knob}: a marker at 180'


def case_drag(page, url, tool, scratch):
    page.open(url)
    left, top = page.evaluate("(r => [r.left, r.top])"
                              "(document.querySelector('.tw-window').getBoundingClientRect())")
    x, y = left + KNOB_X[2] + 60, top + KNOB_Y + 35  # Freq's right half: turns up
    page.mouse('mouseMoved', x, y)
    page.mouse('mousePressed', x, y, 1, 'left', 1)
    end = time.monotonic() + 1.0
    while time.monotonic() < end:
        page.mouse('mouseMoved', x, y, 1)
        time.sleep(0.02)
    page.mouse('mouseReleased', x, y, 0, 'left', 1)
    time.sleep(0.2)
    assert not marker_at(page, 2, 0), 'Freq did not turn'
    turned = [a for a in range(20, 361) if marker_at(page, 2, a)]
    assert turned, 'Freq shows no marker'
    for knob in (0, 1, 3, 4, 5):
        assert marker_at(page, knob, 0), f'knob {knob} turned too'


def case_link(page, url, tool, scratch):
    page.open(url + LINK_FRAGMENT)
    for knob, angle in enumerate(LINK.values()):
        assert marker_at(page, knob, angle), f'knob {knob} not at {angle}'
        assert not marker_at(page, knob, 0), f'knob {knob} still at 0'
    # A malformed link leaves every knob at 0.
    page.open(url.replace('index.html', '') + '?again#freq=400&len=20')
    for knob in range(6):
        assert marker_at(page, knob, 0), f'knob {knob} moved by a bad link'


def save_as(page, downloads, name):
    """Save wave through the page's dialog; returns the downloaded bytes."""
    page.click(590, 52)  # Save wave
    assert open_dialog_text(page)[0] == 'Saving wave...'
    page.send('Input.insertText', text=name)
    page.send('Input.dispatchKeyEvent', type='keyDown', key='Enter', code='Enter',
              windowsVirtualKeyCode=13, text='\r')
    page.send('Input.dispatchKeyEvent', type='keyUp', key='Enter', code='Enter',
              windowsVirtualKeyCode=13)
    saved = os.path.join(downloads, name + '.wav')
    end = time.monotonic() + 10
    while not os.path.exists(saved) and time.monotonic() < end:
        time.sleep(0.1)
    time.sleep(0.3)
    assert os.path.exists(saved), os.listdir(downloads)
    return open(saved, 'rb').read()


def case_save(page, url, tool, scratch):
    downloads = os.path.join(scratch, 'downloads')
    os.mkdir(downloads)
    page.send('Browser.setDownloadBehavior', behavior='allow', downloadPath=downloads)
    # The link's seed holds for Preview and every Save wave while the knobs stay.
    page.open(url + LINK_FRAGMENT)
    page.click(590, 22)  # Preview
    expected = render(tool, 7, scratch)
    assert save_as(page, downloads, 'laser') == expected, 'saved bytes differ'
    assert save_as(page, downloads, 'again') == expected, 'the second save differs'
    # Cancel writes nothing.
    page.click(590, 52)
    open_dialog_text(page)
    page.evaluate("document.querySelector('dialog[open] button[value=Cancel]').click()")
    time.sleep(0.5)
    assert sorted(os.listdir(downloads)) == ['again.wav', 'laser.wav'], os.listdir(downloads)


def case_attention(page, url, tool, scratch):
    page.open(url)
    page.click(590, 22)  # Preview
    title, text = open_dialog_text(page)
    assert title == 'Attention', title
    assert text.startswith("The knobs 'Freq' and 'Len.' must be higher than 0."), text
    page.evaluate("document.querySelector('dialog[open] button').click()")
    page.wait_for("!document.querySelector('dialog[open]')")


# Every buffer a source node starts, as its rate and its samples in 16-bit units.
AUDIO_HOOK = """
const started = AudioBufferSourceNode.prototype.start;
window.startedSounds = [];
AudioBufferSourceNode.prototype.start = function(...args) {
  const b = this.buffer;
  const channels = [];
  for (let c = 0; c < b.numberOfChannels; c++)
    channels.push(Array.from(b.getChannelData(c), v => Math.round(v * 32768)));
  window.startedSounds.push({rate: b.sampleRate, channels, at: performance.now()});
  return started.apply(this, args);
};"""


def wave_channels(image):
    """The samples of a stereo WAV file's left and right channel, whole
    frames only: the data's size may end in half a sample."""
    data = image[44:44 + struct.unpack_from('<I', image, 40)[0]]
    samples = struct.unpack(f'<{len(data) // 4 * 2}h', data[:len(data) // 4 * 4])
    return list(samples[0::2]), list(samples[1::2])


def case_preview(page, url, tool, scratch):
    page.send('Page.addScriptToEvaluateOnNewDocument', source=AUDIO_HOOK)
    page.open(url + LINK_FRAGMENT)
    page.click(590, 22)  # Preview
    sound = page.wait_for('window.startedSounds[0]')
    # The page is busy for the sound's length (160 ms): a click right away
    # waits until the sound has played.
    page.click(590, 22)
    left, right = wave_channels(render(tool, 7, scratch))
    assert sound['rate'] == 44100, sound['rate']
    assert sound['channels'][0] == left, 'left channel differs from the render'
    assert sound['channels'][1] == right, 'right channel differs from the render'
    second = page.wait_for('window.startedSounds[1]')
    assert second['at'] - sound['at'] >= 155, second['at'] - sound['at']


def key(page, name, code, vk, shift=False):
    """Presses and releases one key, with Shift held when `shift`."""
    modifiers = 8 if shift else 0
    for kind in ('rawKeyDown', 'keyUp'):
        page.send('Input.dispatchKeyEvent', type=kind, key=name, code=code,
                  windowsVirtualKeyCode=vk, modifiers=modifiers)


FOCUSED = ("(e => e.closest('.tw-window') && (e.getAttribute('aria-label') || e.textContent))"
           "(document.activeElement)")


def case_keys(page, url, tool, scratch):
    page.open(url)
    assert page.evaluate("document.activeElement === document.body"), 'a button has the focus'
    order = []
    for _ in range(5):
        key(page, 'Tab', 'Tab', 9)
        order.append(page.evaluate(FOCUSED))
    assert order == ['Preview', 'Save wave', 'Reset all', 'Informations', 'Start'], order
    key(page, 'Tab', 'Tab', 9, shift=True)
    assert page.evaluate(FOCUSED) == 'Informations'
    # Space clicks the focused button.
    page.send('Input.dispatchKeyEvent', type='keyDown', key=' ', code='Space',
              windowsVirtualKeyCode=32, text=' ')
    page.send('Input.dispatchKeyEvent', type='keyUp', key=' ', code='Space',
              windowsVirtualKeyCode=32)
    title, text = open_dialog_text(page)
    assert title == 'Informations', title
    lines = page.evaluate("document.querySelector('dialog[open] p').textContent").split('\n')
    assert len(lines) == 22 and lines[0] == 'Tonkelwerk V1.00 ', lines
    assert lines[12:15] == ['  Web browser', '  WebAssembly', '  Web Audio'], lines


PASTE = """(text => { const data = new DataTransfer(); data.setData('text/plain', text);
  document.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data})); })(%s)"""


def case_share(page, url, tool, scratch):
    page.open(url + LINK_FRAGMENT)
    # The knobs stay where the link put them, so a copy is that link, seed and all.
    page.evaluate("document.dispatchEvent(new ClipboardEvent('copy'))")
    time.sleep(0.2)
    assert page.evaluate('location.hash') == LINK_FRAGMENT, page.evaluate('location.hash')
    page.evaluate(PASTE % "'tick: freq=10 len=5 # from a script'")
    time.sleep(0.2)
    for knob, angle in enumerate([0, 0, 10, 0, 0, 5]):
        assert marker_at(page, knob, angle), f'knob {knob} not at {angle} after a paste'
    # A line without a seed: the copy draws a fresh one.
    page.evaluate("document.dispatchEvent(new ClipboardEvent('copy'))")
    link = page.wait_for("location.hash !== %r && location.hash" % LINK_FRAGMENT)
    words = link[1:].split('&')
    assert words[:6] == ['start=0', 'end=0', 'freq=10', 'rustle=0', 'cutter=0', 'len=5'], link
    assert words[6].startswith('seed=') and len(words) == 7, link
    page.evaluate(PASTE % "'not a sound'")
    title, text = open_dialog_text(page)
    assert title == 'Attention' and "'not'" in text, (title, text)


def start_up_error(page, url, hide):
    page.send('Page.addScriptToEvaluateOnNewDocument', source=f'delete window.{hide};')
    page.send('Page.navigate', url=url)
    return page.wait_for(
        "(b => b && [b.querySelector('.tw-box-title').textContent, b.innerText])"
        "(document.querySelector('.tw-box'))")


def case_no_audio(page, url, tool, scratch):
    # The page works without sound; Preview says why it is silent.
    page.send('Page.addScriptToEvaluateOnNewDocument', source='delete window.AudioContext;')
    page.open(url + LINK_FRAGMENT)
    page.click(590, 22)  # Preview
    title, text = open_dialog_text(page)
    assert title == 'Attention' and 'this browser gives the page no Web Audio' in text, (title, text)


def case_no_wasm(page, url, tool, scratch):
    title, text = start_up_error(page, url, 'WebAssembly')
    assert title == 'Error' and 'Error. DirectX-Error: 001' in text, (title, text)
    assert 'cannot run WebAssembly' in text, text
    # Opened from the disk, the page tells how to serve it.
    page.send('Page.navigate', url='file://' + os.path.join(sys.argv[1], 'index.html'))
    text = page.wait_for("(b => b && b.innerText)(document.querySelector('.tw-box'))")
    assert 'python3 -m http.server' in text, text


SLIDERS = "Array.from(document.querySelectorAll('[role=slider]'), s => s.getAttribute('%s'))"
CANVAS_BOX = ("(r => [r.left, r.top, r.width, r.height])"
              "(document.querySelector('.tw-window canvas').getBoundingClientRect())")


def touch(page, kind, x=None, y=None):
    points = [] if x is None else [{'x': x, 'y': y}]
    page.send('Input.dispatchTouchEvent', type=kind, touchPoints=points)


def rings_sharp(page, knob, ratio):
    """True when every device pixel of the knob's outer ring at its top is
    black and every one of the white ring under it white."""
    x, y = KNOB_X[knob] + 35, KNOB_Y
    parts = [(dx, dy) for dx in range(ratio) for dy in range(ratio)]
    return (all(pixel(page, x, y, ratio, part) == BLACK for part in parts) and
            all(pixel(page, x, y + 1, ratio, part) == (255, 255, 255) for part in parts))


def case_phone(page, url, tool, scratch):
    page.send('Emulation.setDeviceMetricsOverride', width=390, height=844, deviceScaleFactor=3,
              mobile=True)
    page.send('Emulation.setTouchEmulationEnabled', enabled=True)
    page.open(url)
    page.evaluate("window.cancelled = 0;"
                  "document.addEventListener('pointercancel', () => window.cancelled++, true)")
    # The whole window fits the screen's width, in its own proportions, with
    # buttons a finger can hit.
    left, top, width, height = page.evaluate(CANVAS_BOX)
    assert page.evaluate('document.documentElement.scrollWidth') <= 390, 'scrolls sideways'
    assert left >= 0 and left + width <= 390 and width >= 300, (left, width)
    assert abs(width / height - 640 / 155) < 0.03, (width, height)
    heights = page.evaluate("Array.from(document.querySelectorAll('.tw-window button'),"
                            " b => b.getBoundingClientRect().height)")
    assert len(heights) == 4 and min(heights) >= 44, heights
    # Drawn in device pixels, crisp.
    assert page.evaluate("(c => [c.width, c.height])(document.querySelector('.tw-window canvas'))") \
        == [1920, 465]
    assert rings_sharp(page, 2, 3), 'the rings are not drawn at 3 device pixels per pixel'
    scale = width / 640
    # A finger held still on Freq's right half turns it up; one dragged down
    # over Rustle's right half turns that, and the page does not take the drag.
    # (Held for half a second, a finger opens the menu instead: see
    # page_edit_test.py.)
    x, y = left + (KNOB_X[2] + 60) * scale, top + (KNOB_Y + 35) * scale
    touch(page, 'touchStart', x, y)
    time.sleep(0.3)
    touch(page, 'touchEnd')
    x = left + (KNOB_X[3] + 60) * scale
    touch(page, 'touchStart', x, top + (KNOB_Y + 10) * scale)
    for step in range(30):
        touch(page, 'touchMove', x, top + (KNOB_Y + 10 + 2 * step) * scale)
        time.sleep(0.02)
    touch(page, 'touchEnd')
    time.sleep(0.2)
    angles = [int(a) for a in page.evaluate(SLIDERS % 'aria-valuenow')]
    assert angles[2] > 0 and angles[3] > 0, angles
    assert angles[:2] + angles[4:] == [0, 0, 0, 0], angles
    assert page.evaluate('window.cancelled') == 0, 'the browser took the drag'
    assert marker_at(page, 2, angles[2], 3), f'Freq does not show {angles[2]}'
    # Another screen (Chromium looks at the ratio again when the size changes
    # too): the canvases follow its ratio, and the knobs stay drawn.
    page.send('Emulation.setDeviceMetricsOverride', width=844, height=390, deviceScaleFactor=2,
              mobile=True)
    page.wait_for("document.querySelector('.tw-window canvas').width === 1280")
    time.sleep(0.2)
    assert rings_sharp(page, 2, 2), 'the rings are not drawn again at 2 device pixels per pixel'
    assert marker_at(page, 2, angles[2], 2), 'Freq lost its picture'
    assert marker_at(page, 4, 0, 2), 'Cutter lost its picture'


def tab_back(page, times):
    for _ in range(times):
        key(page, 'Tab', 'Tab', 9, shift=True)


def enter(page):
    page.send('Input.dispatchKeyEvent', type='keyDown', key='Enter', code='Enter',
              windowsVirtualKeyCode=13, text='\r')
    page.send('Input.dispatchKeyEvent', type='keyUp', key='Enter', code='Enter',
              windowsVirtualKeyCode=13)


def case_sliders(page, url, tool, scratch):
    page.open(url)
    page.send('Accessibility.enable')
    nodes = page.send('Accessibility.getFullAXTree')['nodes']
    sliders = [n for n in nodes if n.get('role', {}).get('value') == 'slider']
    assert [n['name']['value'] for n in sliders] == list(CAPTIONS), sliders
    for node in sliders:
        values = {p['name']: p['value'].get('value') for p in node.get('properties', [])}
        assert (values.get('valuemin'), node['value']['value'], values.get('valuemax')) == \
            (0, 0, 360), node
    # Chromium's tree leaves out an ARIA slider's value text: read from the page.
    assert page.evaluate(SLIDERS % 'aria-valuetext') == [c + ':0' for c in CAPTIONS]
    # The sliders follow the buttons; Tab leaves the page after the last.
    order = []
    for _ in range(11):
        key(page, 'Tab', 'Tab', 9)
        order.append(page.evaluate(FOCUSED))
    assert order == ['Preview', 'Save wave', 'Reset all', 'Informations', *CAPTIONS, None], order
    tab_back(page, 1)
    assert page.evaluate(FOCUSED) == 'Len.'
    # Len. turns by its step of 1: arrows one step, Page keys ten, Home and End
    # to either end; the picture and the caption's text turn with it.
    for name, vk in [('ArrowUp', 38), ('ArrowRight', 39), ('ArrowRight', 39), ('ArrowLeft', 37),
                     ('PageUp', 33), ('PageUp', 33), ('PageDown', 34)]:
        key(page, name, name, vk)
    page.wait_for(f"({SLIDERS % 'aria-valuetext'})[5] === 'Len.:96'")
    assert marker_at(page, 5, 12), 'Len. does not show 12'
    key(page, 'End', 'End', 35)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[5] === '360'")
    key(page, 'Home', 'Home', 36)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[5] === '0'")
    # Start's step is 5, and it stops at its ends.
    tab_back(page, 5)
    assert page.evaluate(FOCUSED) == 'Start'
    for name, vk in [('ArrowUp', 38), ('ArrowUp', 38), ('ArrowDown', 40)]:
        key(page, name, name, vk)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[0] === '5'")
    key(page, 'PageDown', 'PageDown', 34)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[0] === '0'")
    key(page, 'End', 'End', 35)
    key(page, 'ArrowUp', 'ArrowUp', 38)
    page.wait_for(f"({SLIDERS % 'aria-valuetext'})[0] === 'Start:99'")
    assert marker_at(page, 0, 360), 'Start does not show 360'
    # Enter runs a focused button as Space does; the sliders follow the knobs.
    tab_back(page, 2)
    assert page.evaluate(FOCUSED) == 'Reset all'
    enter(page)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[0] === '0'")
    assert marker_at(page, 0, 0), 'Start still turned after Reset all'


def main(cases=globals()):
    """Runs the case named on the command line, a function case_NAME of `cases`."""
    folder, tool, case = sys.argv[1:4]
    server = serve(folder)
    url = f'http://127.0.0.1:{server.server_address[1]}/index.html'
    page = Browser()
    try:
        with tempfile.TemporaryDirectory(prefix='tonkelwerk-page-') as scratch:
            cases['case_' + case.replace('-', '_')](page, url, tool, scratch)
    finally:
        page.close()
        server.shutdown()
    print(f'{case}: ok')


if __name__ == '__main__':
    main()
