#!/usr/bin/python3
"""Editing on the page end to end in headless Chromium, in one session: the
context menu by right click, keyboard and a finger's long press, the command
keys with undo and redo, and the wheel over a knob. Sounds are checked by
their bytes against tonkelwerk-render; page_test.py has the page's helpers.
page_edit_test.py PAGE_DIR RENDER_TOOL edit"""
import os
import subprocess
import time

import page_test
from page_test import AUDIO_HOOK, KNOB_X, KNOB_Y, SLIDERS, key, save_as, touch

MENU = """(m => m && Array.from(m.children, e => e.getAttribute('role') === 'separator' ? '-' :
  [e.firstChild.textContent, e.children[0] ? e.children[0].textContent : '',
   e.getAttribute('aria-disabled') === 'true']))(document.querySelector('[role=menu]'))"""
NO_MENU = "!document.querySelector('[role=menu]')"
ACTIVE = "document.activeElement.getAttribute('role') + ':' + document.activeElement.firstChild.textContent"
ENTRIES = [['Pickup', '1'], ['Laser', '2'], ['Explosion', '3'], ['Powerup', '4'], ['Hit', '5'],
           ['Jump', '6'], ['Blip', '7'], ['Random', 'R'], ['Mutate', 'M'], '-', ['Undo', 'Ctrl+Z'],
           ['Redo', 'Ctrl+Shift+Z'], '-', ['Copy settings', 'Ctrl+C'], ['Paste settings', 'Ctrl+V']]
# Whether the wheel's last event over the page was kept from scrolling it.
WHEEL_HOOK = "window.addEventListener('wheel', e => { window.wheelKept = e.defaultPrevented; });"
ALT, CTRL, SHIFT = 1, 2, 8


def press(page, name, modifiers=0):
    """Presses and releases a letter or digit key with `modifiers` held."""
    code = ('Digit' if name.isdigit() else 'Key') + name.upper()
    for kind in ('rawKeyDown', 'keyUp'):
        page.send('Input.dispatchKeyEvent', type=kind, key=name, code=code,
                  windowsVirtualKeyCode=ord(name.upper()), modifiers=modifiers)


def right_click(page, x, y):
    """Right-clicks at (x, y) of the page; returns the menu's entries."""
    page.mouse('mouseMoved', x, y)
    page.mouse('mousePressed', x, y, 2, 'right', 1)
    page.mouse('mouseReleased', x, y, 0, 'right', 1)
    return page.wait_for(MENU)


def greyed(entries):
    return [e[0] for e in entries if e != '-' and e[2]]


def angles(page):
    return [int(a) for a in page.evaluate(SLIDERS % 'aria-valuenow')]


def wheel(page, x, y, delta, modifiers=0):
    page.send('Input.dispatchMouseEvent', type='mouseWheel', x=x, y=y, deltaX=0, deltaY=delta,
              modifiers=modifiers)


def render(tool, folder, args):
    """The file and the standard output of tonkelwerk-render ARGS -o FILE."""
    path = os.path.join(folder, 'render.wav')
    printed = subprocess.run([tool, *args, '-o', path], check=True, capture_output=True,
                             text=True).stdout
    return open(path, 'rb').read(), printed


def menu_opens_and_closes(page, freq):
    """At the pointer (moved up where it would leave the viewport), with the
    focus; every entry with its key, Undo and Redo greyed; Escape closes it
    and the focus goes back."""
    key(page, 'Tab', 'Tab', 9)
    entries = right_click(page, *freq)
    assert [e if e == '-' else e[:2] for e in entries] == ENTRIES, entries
    assert greyed(entries) == ['Undo', 'Redo'], entries
    left, top, bottom, height = page.evaluate(
        "(r => [r.left, r.top, r.bottom, document.documentElement.clientHeight])"
        "(document.querySelector('[role=menu]').getBoundingClientRect())")
    assert abs(left - freq[0]) <= 1 and bottom <= height, (left, bottom, height, freq)
    assert abs(top - freq[1]) <= 1 or abs(bottom - height) <= 1, (top, bottom, height, freq)
    assert page.evaluate("!!document.activeElement.closest('[role=menu]')"), 'the menu has no focus'
    key(page, 'Escape', 'Escape', 27)
    page.wait_for(NO_MENU)
    assert page.evaluate("document.activeElement.textContent") == 'Preview'


def laser_by_keyboard(page, freq, tool, scratch, downloads):
    """The arrows wrap and skip greyed entries; Enter chooses Laser, which
    plays. The copy's link renders what was played and what Save wave writes,
    and the renderer's --preset laser with its seed draws the very knobs
    shown, so each lies in Laser's range. Returns the saved bytes."""
    right_click(page, *freq)
    for name, vk, active in [('End', 35, 'Paste settings'), ('Home', 36, 'Pickup'),
                             ('ArrowUp', 38, 'Paste settings'), ('ArrowDown', 40, 'Pickup'),
                             ('ArrowDown', 40, 'Laser'), *[('ArrowDown', 40, None)] * 7,
                             ('ArrowDown', 40, 'Copy settings'), *[('ArrowUp', 38, None)] * 8]:
        key(page, name, name, vk)
        assert active is None or page.evaluate(ACTIVE) == 'menuitem:' + active, (name, active)
    assert page.evaluate(ACTIVE) == 'menuitem:Laser', page.evaluate(ACTIVE)
    page_test.enter(page)
    played = page.wait_for('window.startedSounds[0]')
    assert page.evaluate(NO_MENU), 'the menu stayed open'
    page.evaluate("document.dispatchEvent(new ClipboardEvent('copy'))")
    link = page.wait_for('location.hash')[1:]
    knobs = dict(word.split('=') for word in link.split('&'))
    expected, _ = render(tool, scratch, [a for k, v in knobs.items() for a in ('--' + k, v)])
    assert played['channels'][0] == page_test.wave_channels(expected)[0], 'played another sound'
    saved = save_as(page, downloads, 'laser')
    assert saved == expected, 'Save wave differs from the link\'s render'
    _, drawn = render(tool, scratch, ['--preset', 'laser', '--seed', knobs['seed'],
                                      '--print-settings'])
    assert drawn.split(': ')[1].strip() == link.replace('&', ' '), (drawn, link)
    assert angles(page) == [int(knobs[k]) for k in page_test.LINK], angles(page)
    return saved


def undo_and_redo(page, freq, downloads, steps):
    """Two changes more by key (Alt with a key is none); undo by key and by
    the menu's entry, redo by either key: each step's own bytes come back."""
    before = angles(page)
    press(page, '5', ALT)
    time.sleep(0.3)
    assert angles(page) == before, 'Alt+5 changed the knobs'
    press(page, '5')
    steps.append(save_as(page, downloads, 'hit'))
    press(page, 'm')
    steps.append(save_as(page, downloads, 'mutated'))
    assert len(set(steps)) == 3, 'two steps sound alike'
    press(page, 'z', CTRL)
    assert save_as(page, downloads, 'undo') == steps[1], 'Ctrl+Z'
    assert greyed(right_click(page, *freq)) == [], 'Undo or Redo greyed'
    page.evaluate("[...document.querySelectorAll('[role=menuitem]')]"
                  ".find(e => e.firstChild.textContent === 'Undo').click()")
    assert save_as(page, downloads, 'undo-menu') == steps[0], 'the menu\'s Undo'
    press(page, 'Z', CTRL | SHIFT)
    assert save_as(page, downloads, 'redo') == steps[1], 'Ctrl+Shift+Z'
    press(page, 'y', CTRL)
    assert save_as(page, downloads, 'redo-y') == steps[2], 'Ctrl+Y'


def wheel_turns(page, freq, start):
    """A step a notch (Shift: ten), kept in 0..360, without scrolling the
    page; three lines are a notch."""
    page.click(590, 82)  # Reset all
    page.wait_for(f"({SLIDERS % 'aria-valuenow'}).every(a => a === '0')")
    for delta, modifiers, angle in [(-100, 0, 1), (-200, 0, 3), (-100, SHIFT, 13), (100, 0, 12),
                                    (100, SHIFT, 2), (100, SHIFT, 0)]:
        wheel(page, *freq, delta, modifiers)
        page.wait_for(f"({SLIDERS % 'aria-valuenow'})[2] === '{angle}'")
    assert page.evaluate('window.wheelKept') is True, 'the wheel over a knob scrolls the page'
    page.evaluate("""(p => document.elementFromPoint(...p).dispatchEvent(new WheelEvent('wheel',
      {clientX: p[0], clientY: p[1], deltaY: -3, deltaMode: 1, bubbles: true})))(%s)""" % list(freq))
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[2] === '1'")
    for _ in range(8):
        wheel(page, *start, -100, SHIFT)
    page.wait_for(f"({SLIDERS % 'aria-valuenow'})[0] === '360'")
    assert angles(page) == [360, 0, 1, 0, 0, 0], angles(page)


def long_press(page, freq):
    """A finger held still opens the menu; its press ends there, so the
    knob under it turns no more, whatever the finger does next."""
    page.send('Emulation.setTouchEmulationEnabled', enabled=True)
    touch(page, 'touchStart', *freq)
    page.wait_for(MENU, timeout=3)
    held = angles(page)
    touch(page, 'touchMove', freq[0] + 12, freq[1] - 15)  # further than a press may wander
    touch(page, 'touchEnd')
    time.sleep(0.3)
    assert angles(page) == held and page.evaluate(MENU), 'the press went on after the menu opened'
    key(page, 'Escape', 'Escape', 27)
    page.wait_for(NO_MENU)


def case_edit(page, url, tool, scratch):
    downloads = os.path.join(scratch, 'downloads')
    os.mkdir(downloads)
    page.send('Browser.setDownloadBehavior', behavior='allow', downloadPath=downloads)
    page.send('Page.addScriptToEvaluateOnNewDocument', source=AUDIO_HOOK + WHEEL_HOOK)
    page.open(url)
    left, top = page.evaluate("(r => [r.left, r.top])"
                              "(document.querySelector('.tw-window').getBoundingClientRect())")
    # Freq's right half, where a held finger turns it up; Start's middle.
    freq = (left + KNOB_X[2] + 50, top + KNOB_Y + 35)
    menu_opens_and_closes(page, freq)
    steps = [laser_by_keyboard(page, freq, tool, scratch, downloads)]
    undo_and_redo(page, freq, downloads, steps)
    wheel_turns(page, freq, (left + KNOB_X[0] + 35, top + KNOB_Y + 35))
    long_press(page, freq)


if __name__ == '__main__':
    page_test.main(globals())
