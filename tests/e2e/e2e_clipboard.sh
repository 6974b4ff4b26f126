#!/usr/bin/env bash
# End-to-end test of the clipboard bridge between the program and
# tonkelwerk-render in a real X11 window (a private Xvfb, driven with xdotool,
# the clipboard read and written with xclip): Ctrl+C after turning knobs puts
# a settings line on the clipboard, and rendering that line gives the bytes
# that Save wave wrote; Ctrl+V of a line sets the knobs and its seed, so that
# Preview and every Save wave after it write the bytes that rendering the line
# gives; a paste of anything else says why in a box and changes nothing.
# Usage: e2e_clipboard.sh PROGRAM RENDERER ARTIFACT_FOLDER
set -euo pipefail

program=$(realpath "$1")
render=$(realpath "$2")
artifacts=$(realpath -m "$3")
here=$(dirname "$(realpath "$0")")
# shellcheck source=tests/e2e/e2e_session.sh
source "$here/e2e_session.sh"
e2e_begin "$artifacts"

cd "$artifacts"
SDL_AUDIODRIVER=dummy SDL_NO_SIGNAL_HANDLERS=1 QT_QPA_PLATFORM=xcb \
  "$program" >"$artifacts/program.log" 2>&1 &
program_pid=$!
window=$(main_window) || fail "the window did not appear"
sleep 0.5

# Drags with the left button on a knob's right half: it turns up every frame.
drag() {
  xdotool mousemove --window "$window" "$1" 40 mousedown 1
  xdotool mousemove --window "$window" $(($1 + 1)) 41
  sleep "$2"
  xdotool mouseup 1
  sleep 0.2
}

shortcut() {
  xdotool windowfocus --sync "$window"
  xdotool key "$1"
  sleep 0.3
}

# Save wave through the real dialog, to NAME.wav in the artifact folder.
save_wave() {
  xdotool mousemove --window "$window" 590 52 click 1
  local dialog
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Saving wave\.\.\.$' | head -1) ||
    fail "the save dialog did not open"
  sleep 0.5
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 20 "$1"
  xdotool key Return
  for _ in $(seq 100); do
    [[ -s "$artifacts/$1.wav" ]] && break
    sleep 0.05
  done
  sleep 0.3
  [[ -s "$artifacts/$1.wav" ]] || fail "Save wave wrote no $1.wav"
}

# Renders the settings line on standard input into rendered/NAME.wav.
render_line() {
  "$render" --batch - --out-dir "$artifacts/rendered" >/dev/null || fail "the renderer refused the line"
}

# Copy: knobs turned by hand, Ctrl+C, Save wave, then the renderer.
drag 240 0.5  # Freq
drag 330 0.4  # Rustle: noise, so that the seed matters
drag 505 0.3  # Len.
shortcut ctrl+c
line=$(timeout 5 xclip -o -selection clipboard) || fail "nothing on the clipboard after Ctrl+C"
echo "copied: $line"
[[ "$line" =~ ^start=0\ end=0\ freq=[1-9][0-9]*\ rustle=[1-9][0-9]*\ cutter=0\ len=[1-9][0-9]*\ seed=[0-9]+$ ]] ||
  fail "not the knobs' settings line: '$line'"
save_wave copied
echo "copied: $line" | render_line
cmp "$artifacts/copied.wav" "$artifacts/rendered/copied.wav" ||
  fail "the rendered line differs from what Save wave wrote"

# Paste: a line on the clipboard, Ctrl+V, Preview, Save wave twice.
pasted="pasted: start=30 end=100 freq=150 rustle=40 cutter=15 len=30 seed=4242"
printf '%s\n' "$pasted" | xclip -i -selection clipboard
shortcut ctrl+v
xdotool mousemove --window "$window" 590 22 click 1
sleep 0.6  # the preview lasts 240 ms
save_wave pasted
save_wave again
echo "$pasted" | render_line
for name in pasted again; do
  cmp "$artifacts/$name.wav" "$artifacts/rendered/pasted.wav" ||
    fail "$name.wav, saved after Ctrl+V and Preview, differs from the pasted line's render"
done

# A clipboard that is no settings line says so and changes nothing: Ctrl+C
# gives the pasted line back (without its name), seed and all.
printf 'no knobs here' | xclip -i -selection clipboard
shortcut ctrl+v
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Attention$' | head -1) ||
  fail "a bad paste opened no Attention box"
xdotool windowfocus --sync "$box"
xdotool key Return
sleep 0.3
shortcut ctrl+c
again=$(timeout 5 xclip -o -selection clipboard) || fail "nothing on the clipboard"
[[ "$again" == "${pasted#pasted: }" ]] || fail "after a bad paste the knobs are '$again'"

kill "$program_pid"
program_pid=""
echo "PASS"
