#!/usr/bin/env bash
# End-to-end test of the program's start in an X11 session with a window
# manager (Openbox, which frames windows with a title bar): the window's outer
# frame is centred on a 1280x800 screen; and without a sound device an error
# box opens instead of the window, standard error gives SDL's reason, and the
# program ends with exit status 1 once the box is closed.
# Usage: e2e_startup.sh PROGRAM ARTIFACT_FOLDER (screenshots are kept there).
set -euo pipefail

program=$(realpath "$1")
artifacts=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")
# shellcheck source=tests/e2e/e2e_session.sh
source "$here/e2e_session.sh"
e2e_begin "$artifacts" 1280x800x24
HOME=$artifacts openbox --sm-disable >"$artifacts/openbox.log" 2>&1 &
wm_pid=$!
# Up to 20 s: on a busy machine Openbox takes a while to claim the screen.
for _ in $(seq 400); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "Openbox did not start"

# Starts the program with SDL's audio driver $1; its output goes to $2.out
# and $2.err.
start_program() {
  SDL_AUDIODRIVER=$1 SDL_NO_SIGNAL_HANDLERS=1 QT_QPA_PLATFORM=xcb \
    "$program" >"$artifacts/$2.out" 2>"$artifacts/$2.err" &
  program_pid=$!
}

# Waits up to 10 seconds for the program to end with exit status $1.
expect_exit() {
  local status=0
  timeout 10 tail --pid="$program_pid" -f /dev/null || fail "the program did not end"
  wait "$program_pid" || status=$?
  program_pid=""
  ((status == $1)) || fail "exit status $status, not $1"
}

# "X Y WIDTH HEIGHT" of the window's outer frame: the client area and the
# frame extents that the window manager announces.
frame_of() {
  local x y w h left right top bottom
  read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4}
    /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}')
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# The outer frame is centred, title bar included: on this screen with
# Openbox's frame of 642x176 its top-left corner is (319, 312).
start_program dummy centred
window=$(main_window) || fail "the window did not appear"
frame="" expected=""
for _ in $(seq 50); do
  if xprop -id "$window" _NET_FRAME_EXTENTS | grep -q '='; then
    frame=$(frame_of "$window")
    read -r _ _ width height <<<"$frame"
    expected="$(((1280 - width) / 2)) $(((800 - height) / 2)) $width $height"
    [[ "$frame" == "$expected" ]] && break
  fi
  sleep 0.1
done
import -window root "$artifacts/centred.png"
[[ -n "$frame" ]] || fail "the window manager announced no frame"
((height > 155)) || fail "the frame ($frame) has no title bar: nothing to centre"
[[ "$frame" == "$expected" ]] || fail "outer frame at $frame, not $expected"
echo "outer frame (x y width height): $frame"
# Every size of the icon goes to the window manager, not one picture to scale.
icon_sizes=$(xprop -len 1000000 -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x' | tr -dc '0-9\n' |
  sort -n | xargs)
[[ "$icon_sizes" == "16 22 24 32 48 64 128 256" ]] || fail "_NET_WM_ICON holds the sizes: $icon_sizes"
python3 "$here/x11_close_window.py" "$window"
expect_exit 0

# No sound device: the box tells why, standard error too, and the status is 1.
start_program nowhere no-sound
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Error$' | head -1) ||
  fail "no error box appeared"
sleep 0.3
import -window root "$artifacts/no-sound.png"
! xdotool search --onlyvisible --name '^Tonkelwerk 1\.00$' >/dev/null ||
  fail "the main window opened without a sound device"
grep -qx 'Error: Error. DirectX-Error: 002' "$artifacts/no-sound.err" ||
  fail "standard error lacks the message: $(cat "$artifacts/no-sound.err")"
grep -qx "no sound device could be opened: .*'nowhere'.*" "$artifacts/no-sound.err" ||
  fail "standard error lacks SDL's reason: $(cat "$artifacts/no-sound.err")"
xdotool windowactivate --sync "$box"
xdotool key Return
expect_exit 1
echo "PASS: screenshots in $artifacts"
