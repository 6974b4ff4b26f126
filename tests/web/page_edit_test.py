#!/usr/bin/python3
"""Editing on the page end to end in headless Chromium: the context menu by
right click, keyboard and a finger's long press, the command keys with undo
and redo, and the wheel over a knob. page_edit_test.py PAGE_DIR RENDER_TOOL edit.

Sounds are checked by their bytes against tonkelwerk-render; page_test.py
has the page's helpers."""
import os
import struct
import subprocess
import time

import page_test
from page_test import AUDIO_HOOK, SLIDERS, key, save_as, touch

MENU = """(m => m && Array.from(m.children, e => e.getAttribute('role') === 'separator' ? '-' :
  [e.firstChild.textContent, e.children[0] ? e.children[0].textContent : '',
   e.getAttribute('aria-disabled') === 'true']))(document.querySelector('[role=menu]'))"""
ACTIVE = "document.activeElement.getAttribute('role') + ':' + document.activeElement.firstChild.textContent"
ENTRIES = [['Pickup', '1'], ['Laser', '2'], ['Explosion', '3'], ['Powerup', '4'], ['Hit', '5'],
           ['Jump', '6'], ['Blip', '7'], ['Random', 'R'], ['Mutate', 'M'], '-', ['Undo', 'Ctrl+Z'],
           ['Redo', 'Ctrl+Shift+Z'], '-', ['Copy settings', 'Ctrl+C'], ['Paste settings', 'Ctrl+V']]
# Whether the wheel's last event over the page was kept from scrolling it.
WHEEL_HOOK = """window.addEventListener('wheel', e => { window.wheelKept = e.defaultPrevented; });"""
CTRL, SHIFT = 2, 8


def press(page, name, modifiers=0):
    """Presses and releases a letter or digit key with `modifiers` held."""
    code = ('Digit' if name.isdigit() else 'Key') + name.upper()
    for kind in ('rawKeyDown', 'keyUp'):
        page.send('Input.dispatchKeyEvent', type=kind, key=name, code=code,
                  windowsVirtualKeyCode=ord(name.upper()), modifiers=modifiers)


def origin(page):
    return page.evaluate("(r => [r.left, r.top])"
                         "(document.querySelector('.tw-window').getBoundingClientRect())")


def right_click(page, x, y):
    page.mouse('mouseMoved', x, y)
    page.mouse('mousePressed', x, y, 2, 'right', 1)
    page.mouse('mouseReleased', x, y, 0, 'right', 1)
    return page.wait_for(MENU)


def angles(page):
    return [int(a) for a in page.evaluate(SLIDERS % 'aria-valuenow')]


def copied_link(page, before):
    """The knobs and seed of the link that a copy puts in the address bar."""
    page.evaluate("document.dispatchEvent(new ClipboardEvent('copy'))")
    link = page.wait_for("location.hash !== %r && location.hash" % before)
    return dict(word.split('=') for word in link[1:].split('&')), link


def render(tool, folder, args):
    path = os.path.join(folder, 'render.wav')
    printed = subprocess.run([tool, *args, '-o', path], check=True, capture_output=True,
                             text=True).stdout
    return open(path, 'rb').read(), printed


def wheel(page, x, y, delta, modifiers=0):
    page.send('Input.dispatchMouseEvent', type='mouseWheel', x=x, y=y, deltaX=0, deltaY=delta,
              modifiers=modifiers)


def case_edit(page, url, tool, scratch):
    downloads = os.path.join(scratch, 'downloads')
    os.mkdir(downloads)
    page.send('Browser.setDownloadBehavior', behavior='allow', downloadPath=downloads)
    page.send('Page.addScriptToEvaluateOnNewDocument', source=AUDIO_HOOK + WHEEL_HOOK)
    page.open(url)
    left, top = origin(page)
    freq = (left + page_test.KNOB_X[2] + 50, top + page_test.KNOB_Y + 35)

    # A right click on a knob opens the menu there, every entry with its
    # key, Undo and Redo greyed; Escape closes it and the focus goes back.
    key(page, 'Tab', 'Tab', 9)
    entries = right_click(page, *freq)
    assert [e if e == '-' else e[:2] for e in entries] == ENTRIES, entries
    assert [e[0] for e in entries if e != '-' and e[2]] == ['Undo', 'Redo'], entries
    # At the pointer, moved up where it would leave the viewport.
    box = page.evaluate("(r => [r.left, r.top, r.bottom, document.documentElement.clientHeight])"
                        "(document.querySelector('[role=menu]').getBoundingClientRect())")
    assert abs(box[0] - freq[0]) <= 1 and box[2] <= box[3], (box, freq)
    assert abs(box[1] - freq[1]) <= 1 or abs(box[2] - box[3]) <= 1, (box, freq)
    assert page.evaluate("!!document.activeElement.closest('[role=menu]')"), 'the menu has no focus'
    key(page, 'Escape', 'Escape', 27)
    page.wait_for("!document.querySelector('[role=menu]')")
    assert page.evaluate("document.activeElement.textContent") == 'Preview'

    # The arrows wrap and skip the greyed entries; Enter plays Laser.
    right_click(page, *freq)
    for name, vk, expected in [('End', 35, 'Paste settings'), ('Home', 36, 'Pickup'),
                               ('ArrowUp', 38, 'Paste settings'), ('ArrowDown', 40, 'Pickup'),
                               ('ArrowDown', 40, 'Laser')]:
        key(page, name, name, vk)
        assert page.evaluate(ACTIVE) == 'menuitem:' + expected, (name, page.evaluate(ACTIVE))
    for _ in range(8):
        key(page, 'ArrowDown', 'ArrowDown', 40)
    assert page.evaluate(ACTIVE) == 'menuitem:Copy settings', page.evaluate(ACTIVE)
    for _ in range(8):
        key(page, 'ArrowUp', 'ArrowUp', 38)
    page_test.enter(page)
    played = page.wait_for('window.startedSounds[0]')
    assert not page.evaluate("document.querySelector('[role=menu]')"), 'the menu stayed open'

    # The copy's link renders what was played and what Save wave writes, and
    # the renderer's --preset laser with its seed draws the very knobs shown
    # (so each lies in Laser's range).
    knobs, link = copied_link(page, '')
    knob_args = [a for name in page_test.LINK for a in ('--' + name, knobs[name])]
    expected, _ = render(tool, scratch, knob_args + ['--seed', knobs['seed']])
    data = expected[44:44 + struct.unpack_from('<I', expected, 40)[0]]
    # Whole frames only: the data's size may end in half a sample.
    samples = list(struct.unpack(f'<{len(data) // 4 * 2}h', data[:len(data) // 4 * 4]))[0::2]
    assert played['channels'][0] == samples, 'the played sound is not the link\'s render'
    steps = [save_as(page, downloads, 'laser')]
    assert steps[0] == expected, 'Save wave differs from the link\'s render'
    _, drawn = render(tool, scratch, ['--preset', 'laser', '--seed', knobs['seed'],
                                      '--print-settings'])
    assert drawn.split(': ')[1].strip() == link[1:].replace('&', ' '), (drawn, link)
    assert angles(page) == [int(knobs[name]) for name in page_test.LINK], angles(page)

    # Two changes more by key, each kept; Alt with a key is no command.
    before = angles(page)
    press(page, '5', modifiers=1)
    time.sleep(0.3)
    assert angles(page) == before, 'Alt+5 changed the knobs'
    press(page, '5')
    steps.append(save_as(page, downloads, 'hit'))
    press(page, 'm')
    steps.append(save_as(page, downloads, 'mutated'))
    assert len(set(steps)) == 3, 'two steps sound alike'
    # Undo by key and by the menu's entry, redo by either key: each step's
    # own bytes come back.
    press(page, 'z', CTRL)
    assert save_as(page, downloads, 'undo') == steps[1], 'Ctrl+Z'
    entries = right_click(page, *freq)
    assert [e[0] for e in entries if e != '-' and e[2]] == [], entries
    page.evaluate("[...document.querySelectorAll('[role=menuitem]')]"
                  ".find(e => e.firstChild.textContent === 'Undo').click()")
    assert save_as(page, downloads, 'undo-menu') == steps[0], 'the menu\'s Undo'
    press(page, 'Z', CTRL | SHIFT)
    assert save_as(page, downloads, 'redo') == steps[1], 'Ctrl+Shift+Z'
    press(page, 'y', CTRL)
    assert save_as(page, downloads, 'redo-y') == steps[2], 'Ctrl+Y'

    # The wheel turns the knob under it a step a notch (Shift: ten), kept in
    # 0..360, and the page does not scroll meanwhile; three lines are a notch.
    page.click(590, 82)  # Reset all
    page.wait_for(f"({SLIDERS % 'aria-valuenow'}).every(a => a === '0')")
    start = (left + page_test.KNOB_X[0] + 35, top + page_test.KNOB_Y + 35)
    for delta, modifiers, freq_angle in [(-100, 0, 1), (-200, 0, 3), (-100, SHIFT, 13),
                                         (100, 0, 12), (100, SHIFT, 2), (100, SHIFT, 0)]:
        wheel(page, *freq, delta, modifiers)
        page.wait_for(f"({SLIDERS % 'aria-valuenow'})[2] === '{freq_angle}'")
    assert page.evaluate('window.wheelKept') is True, 'the wheel over a knob scrolls the page'
    page.evaluate("""(p => document.elementFromPoint(...p).dispatchEvent(new WheelEvent('wheel',
      {clientX: p[0], clientY: p[1], deltaY: -3, deltaMode: 1, bubbles: true})))(%s)""" % list(freq))
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[2] === '1'")
    for _ in range(8):
        wheel(page, *start, -100, SHIFT)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[0] === '360'")
    assert angles(page) == [360, 0, 1, 0, 0, 0], angles(page)

    # A finger held still opens the menu; its press ends there, so the knob
    # under it stops turning.
    page.send('Emulation.setTouchEmulationEnabled', enabled=True)
    touch(page, 'touchStart', *freq)
    page.wait_for(MENU, timeout=3)
    held = angles(page)
    touch(page, 'touchMove', freq[0] + 30, freq[1] + 30)
    touch(page, 'touchEnd')
    time.sleep(0.3)
    assert angles(page) == held and page.evaluate(MENU), 'the press went on after the menu opened'
    key(page, 'Escape', 'Escape', 27)
    page.wait_for("!document.querySelector('[role=menu]')")


if __name__ == '__main__':
    page_test.main(globals())
