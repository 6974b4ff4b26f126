#!/usr/bin/env bash
# End-to-end test of the context menu in a real X11 window: a right click on
# a knob opens the menu as a window of its own, Escape closes it, a right
# click on the buttons opens none, and its first entry (the pickup preset)
# turns the knobs and plays the sound through SDL's disk driver.
# Usage: e2e_menu.sh PROGRAM ARTIFACT_FOLDER (screenshots are kept there).
set -euo pipefail

program=$(realpath "$1")
artifacts=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")
# shellcheck source=tests/e2e/e2e_session.sh
source "$here/e2e_session.sh"
e2e_begin "$artifacts"
e2e_start_program "$program"

window=$(main_window) || fail "the window did not appear"
sleep 0.5

# The program's visible windows other than the main window: its menu.
menus() { xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -vx "$window" || true; }

# Waits up to 5 s until the program shows $1 menus.
await_menus() {
  for _ in $(seq 50); do
    [[ $(menus | wc -l) -eq $1 ]] && return 0
    sleep 0.1
  done
  return 1
}

# Samples played so far: bytes that are not zero.
sound_bytes() { tr -d '\0' <"$artifacts/audio.raw" 2>/dev/null | wc -c; }

# The caption strip under the Freq knob.
caption() { import -window "$window" -crop 70x20+190+80 +repage "$artifacts/$1"; }

await_menus 0 || fail "a menu is open at the start"
xdotool mousemove --window "$window" 225 45 click 3
await_menus 1 || fail "the right click on the Freq knob opened no menu"
menu=$(menus | head -1)
import -window "$menu" "$artifacts/menu.png"
height=$(xwininfo -id "$menu" | awk '/Height:/ {print $2}')
# Fourteen entries and two separators.
[[ $height -gt 200 ]] || fail "the menu is $height pixels high"
xdotool key Escape
await_menus 0 || fail "Escape left the menu open"

xdotool mousemove --window "$window" 590 140 click 3
sleep 0.5
await_menus 0 || fail "a right click on the buttons opened a menu"

# The first entry: the pickup preset, played at once.
caption freq-before.png
xdotool mousemove --window "$window" 225 45 click 3
await_menus 1 || fail "the menu did not open again"
xdotool key Down Return
await_menus 0 || fail "the menu stayed open after its entry was chosen"
for _ in $(seq 50); do
  (($(sound_bytes) > 4000)) && break
  sleep 0.1
done
(($(sound_bytes) > 4000)) || fail "the pickup entry played no sound ($(sound_bytes) bytes)"
caption freq-after.png
changed=$(compare -metric AE "$artifacts/freq-before.png" "$artifacts/freq-after.png" null: 2>&1 || true)
[[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 10 ]] || fail "Freq unchanged ($changed pixels)"

e2e_close "$window"
echo "PASS: screenshots in $artifacts"
