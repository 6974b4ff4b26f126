#!/usr/bin/env bash
# End-to-end test of the program in a real X11 window: starts its own Xvfb on
# a free display, drives the program with xdotool like a user and checks the
# window's title and client size, that dragging on the Freq knob changes its
# caption, that Save wave writes a valid WAV file through the real dialog, and
# that closing the window ends the program with exit status 0.
# Usage: e2e_window.sh PROGRAM ARTIFACT_FOLDER (screenshots are kept there).
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

# The title and the client area.
[[ "$(xdotool getwindowname "$window")" == "Tonkelwerk 1.00" ]] || fail "title"
size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[[ "$size" == "640x155" ]] || fail "client area is $size, not 640x155"

# Drags with the left button on a knob's right half: it turns up every frame.
drag() {
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1
  xdotool mousemove --window "$window" $(($1 + 1)) $(($2 + 1))
  sleep "$3"
  xdotool mouseup 1
  sleep 0.2
}

# The caption strip under the Freq knob (x 190..259, y 80..99).
caption() { import -window "$window" -crop 70x20+190+80 +repage "$artifacts/$1"; }

import -window "$window" "$artifacts/start.png"
caption freq-before.png
drag 240 40 0.5
caption freq-after.png
changed=$(compare -metric AE "$artifacts/freq-before.png" "$artifacts/freq-after.png" null: 2>&1 || true)
[[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 10 ]] || fail "Freq caption unchanged ($changed pixels)"

drag 505 40 0.3  # Len.
import -window "$window" "$artifacts/turned.png"

# Save wave through the real dialog: type a name without extension.
xdotool mousemove --window "$window" 590 52 click 1
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Saving wave\.\.\.$' | head -1) ||
  fail "the save dialog did not open"
sleep 0.5
import -window "$dialog" "$artifacts/dialog.png"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "e2e_sound"
xdotool key Return
for _ in $(seq 100); do
  [[ -s "$artifacts/e2e_sound.wav" ]] && break
  sleep 0.05
done
sleep 0.3
python3 - "$artifacts/e2e_sound.wav" <<'PY' || fail "no valid WAV file written"
import sys, wave
with wave.open(sys.argv[1], "rb") as sound:
    assert sound.getnchannels() == 2, sound.getnchannels()
    assert sound.getframerate() == 44100, sound.getframerate()
    assert sound.getsampwidth() == 2, sound.getsampwidth()
    assert sound.getnframes() > 0
print("WAV ok:", sound.getnframes(), "frames")
PY

# The close box: the program ends with exit status 0.
e2e_close "$window"
echo "PASS: screenshots in $artifacts"
