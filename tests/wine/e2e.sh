#!/usr/bin/env bash
# End-to-end tests of tonkelwerk.exe under Wine, in an X server of their own
# (Xvfb), driven with real mouse and key events (xdotool) like a user.
#
#   e2e.sh prepare   makes the Wine prefix that every case shares (once per
#                    test run: DirectDraw on Wine's GDI renderer, window
#                    frames drawn by Wine so that the close box is there
#                    without a window manager)
#   e2e.sh CASE      runs one case: window, attention, knobs, dpi (the window
#                    at 100 % and 200 % display scale), menu, preview, save,
#                    informations, close-box, no-sound; or backend, the backend's own tests
#                    (a GoogleTest program) on the same display and prefix; or
#                    commands, the command tests of every backend (a GoogleTest
#                    program, APP_TESTS_EXE) on this backend's test hook; or
#                    installer, the Windows packages (SETUP_EXE, PORTABLE_ZIP)
#                    checked against the Linux build's renderer (LINUX_RENDER);
#                    or render-names, tonkelwerk-render.exe's bytes on a pipe
#                    and under non-ASCII names, checked against that renderer,
#                    or render-formats, its FLAC, Ogg, 8-bit, mono and
#                    resampled files checked the same way, or render-kits,
#                    its batches all or nothing; or sdk, the engine's DLL
#                    and a C game built with the zip's sdk/ folder (MINGW_CC,
#                    OBJDUMP); or resources, both
#                    programs' version records, manifests and icons
#
# Environment: TONKELWERK_EXE, WINDOW_PROBE_EXE and BACKEND_TESTS_EXE (the
# programs; APP_TESTS_EXE for the case commands only) and
# E2E_DIR (a folder of the build tree for the prefix, the cases' files and
# the screenshots kept as artifacts). Sound goes to an ALSA "file" device
# that each case names in its own asoundrc, so a case sees what was played.
set -euo pipefail

: "${TONKELWERK_EXE:?}" "${WINDOW_PROBE_EXE:?}" "${BACKEND_TESTS_EXE:?}" "${E2E_DIR:?}"
: "${RENDER_EXE:?}"
export WINEPREFIX=$E2E_DIR/prefix
export WINEDEBUG=-all
wine_overrides="mscoree,mshtml="
readonly title="Tonkelwerk 1.00"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prepare() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$E2E_DIR"
  WINEDLLOVERRIDES=$wine_overrides wineboot -i </dev/null >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  [[ -f $WINEPREFIX/user.reg ]] || fail "no Wine prefix was made"
  grep -q '"renderer"="gdi"' "$WINEPREFIX/user.reg" || fail "the renderer setting did not stick"
}

# --- the display and the program --------------------------------------------

# xvfb_start and xvfb_stop: a private X server.
# shellcheck source=../e2e/xvfb_session.sh
source "$(dirname "$0")/../e2e/xvfb_session.sh"

cleanup() {
  if [[ -n ${program_pid:-} ]]; then kill "$program_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  xvfb_stop
  wait 2>/dev/null || true
}

# Sound of the programs started from now on goes to sound.raw.
write_asoundrc() {
  cat >"$case_dir/.asoundrc" <<EOF
pcm.!default {
  type file
  slave.pcm "null"
  file "$case_dir/sound.raw"
  format "raw"
}
EOF
}

# Starts the program in the case folder.
start_program() {
  write_asoundrc
  (cd "$case_dir" && HOME=$case_dir WINEDLLOVERRIDES=${1:-$wine_overrides} \
    exec wine "$TONKELWERK_EXE" </dev/null >"$case_dir/program.log" 2>&1) &
  program_pid=$!
}

# Waits up to $1 seconds for the program to end and checks that its exit
# status is $2 (0 unless given).
expect_exit() {
  local tries=$(($1 * 10)) expected=${2:-0}
  while kill -0 "$program_pid" 2>/dev/null && ((tries-- > 0)); do sleep 0.1; done
  if kill -0 "$program_pid" 2>/dev/null; then fail "the program did not end"; fi
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  ((status == expected)) || fail "the program ended with status $status, not $expected"
}

probe() {
  wine "$WINDOW_PROBE_EXE" "$@" 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# Waits up to $3 seconds until the probe finds window kind $1 titled $2, and
# prints its report.
await() {
  local tries=$(($3 * 4)) report
  while ((tries-- > 0)); do
    if report=$(probe "$1" "$2"); then
      echo "$report"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# The value of the probe's line "KEY value", spaces kept.
field() { sed -n "s/^$1 //p" <<<"$2" | head -n 1; }

# Waits for the main window and keeps where its client area lies.
await_main_window() {
  main_report=$(await window "$title" 30) || fail "the window \"$title\" did not open"
  read -r origin_x origin_y <<<"$(field origin "$main_report")"
}

# Display pixels per pixel of the program's own coordinates: 2 at 200 %.
scale=1

# Clicks at client coordinates of the main window.
click_client() {
  xdotool mousemove $((origin_x + $1 * scale)) $((origin_y + $2 * scale)) click 1
}

# Holds the left button on the right half of the knob at client x $1 for $2
# seconds: the knob turns up by its step every frame.
turn_knob_up() {
  xdotool mousemove $((origin_x + ($1 + 55) * scale)) $((origin_y + 45 * scale)) mousedown 1
  xdotool mousemove_relative 1 0 sleep "$2" mouseup 1
}

screenshot() { import -window root "$E2E_DIR/$1"; }

# Pixels of the knob image at client x $1 that differ between the two
# screenshots "${2:-knobs}-before.png" and "-turned.png".
knob_change() {
  local area="$((70 * scale))x$((90 * scale))+$((origin_x + $1 * scale))+$((origin_y + 10 * scale))"
  local shot
  for shot in before turned; do
    convert "$E2E_DIR/${2:-knobs}-$shot.png" -crop "$area" +repage "$case_dir/knob-$shot.png"
  done
  compare -metric AE "$case_dir/knob-before.png" "$case_dir/knob-turned.png" null: 2>&1 || true
}

# Samples written to the sound device so far: bytes that are not zero.
sound_bytes() { tr -d '\0' <"$case_dir/sound.raw" 2>/dev/null | wc -c; }

# Answers the box titled $1 with OK after checking its text is $2.
answer_box() {
  local report
  report=$(await box "$1" 15) || fail "no \"$1\" box appeared"
  [[ $(field text "$report") == "$2" ]] || fail "the \"$1\" box says '$(field text "$report")'"
  read -r ok_x ok_y <<<"$(field ok "$report")"
  xdotool mousemove "$ok_x" "$ok_y" click 1
  local tries=40
  while probe box "$1" >/dev/null && ((tries-- > 0)); do sleep 0.25; done
  ((tries > 0)) || fail "the \"$1\" box stayed open after OK"
}

close_by_close_box() {
  local report
  report=$(probe window "$title") || fail "the window is gone before its close box was clicked"
  read -r close_x close_y <<<"$(field close "$report")"
  [[ -n ${close_x:-} ]] || fail "the window has no close box"
  xdotool mousemove "$close_x" "$close_y" click 1
  expect_exit 15
}

# Clicks Save wave and types NAME ($1) of the case folder, $2 ms between keys
# (default 20; letters without a key of their own need more, as xdotool maps
# each in turn).
type_save_name() {
  click_client "$save_x" "$save_y"
  await window "Saving wave..." 20 >/dev/null || fail "the save dialog did not open"
  sleep 0.5
  xdotool type --delay "${2:-20}" "Z:${case_dir//\//\\}\\$1"
  xdotool key Return
}

# Save wave to NAME.wav in the case folder, through the real dialog.
save_as() {
  type_save_name "$@"
  local tries=40
  while [[ ! -s $case_dir/$1.wav ]] && ((tries-- > 0)); do sleep 0.25; done
  [[ -s $case_dir/$1.wav ]] || fail "no $1.wav was written"
  sleep 0.5
}

# Renders the settings line $1 with tonkelwerk-render.exe into rendered/.
render_line() {
  wine "$RENDER_EXE" --batch - --out-dir "Z:${case_dir//\//\\}\\rendered" <<<"$1" \
    >/dev/null 2>&1 || fail "the renderer refused '$1'"
}

# --- the cases ----------------------------------------------------------------

readonly attention_text="The knobs 'Freq' and 'Len.' must be higher than 0."
readonly preview_x=590 preview_y=22 save_x=590 save_y=52 reset_x=590 reset_y=82
readonly informations_x=590 informations_y=132
readonly freq_knob_x=190 rustle_knob_x=280 len_knob_x=460

case_backend() {
  write_asoundrc
  (cd "$case_dir" && HOME=$case_dir WINEDLLOVERRIDES=$wine_overrides \
    wine "$BACKEND_TESTS_EXE" </dev/null) || fail "the backend's tests failed"
}

# The program inside the test program: it answers its own boxes and dialogs.
case_commands() {
  : "${APP_TESTS_EXE:?}"
  write_asoundrc
  (cd "$case_dir" && HOME=$case_dir WINEDLLOVERRIDES=$wine_overrides \
    wine "$APP_TESTS_EXE" </dev/null) || fail "the command tests failed"
}

case_window() {
  start_program
  await_main_window
  [[ $(field client "$main_report") == "640 155" ]] ||
    fail "client area is $(field client "$main_report"), not 640 155"
  local style
  style=$(field style "$main_report")
  # Title bar, system menu and minimise box; no sizing border, no maximise box.
  (((style & 0xCA0000) == 0xCA0000)) || fail "style $style lacks caption, menu or minimise box"
  (((style & 0x50000) == 0)) || fail "style $style has a sizing border or maximise box"
  local left top right bottom
  read -r left top right bottom <<<"$(field outer "$main_report")"
  ((left == (1024 - (right - left)) / 2 && top == (768 - (bottom - top)) / 2)) ||
    fail "the window at $left,$top is not centred on the 1024 x 768 screen"
  screenshot window.png
  close_by_close_box
}

case_attention() {
  start_program
  await_main_window
  click_client "$preview_x" "$preview_y"
  answer_box Attention "$attention_text"
  click_client "$save_x" "$save_y"
  answer_box Attention "$attention_text"
  ! probe window "Saving wave..." >/dev/null || fail "the save dialog opened with the knobs at 0"
  (($(sound_bytes) == 0)) || fail "something was played"
  close_by_close_box
}

case_knobs() {
  start_program
  await_main_window
  sleep 1
  screenshot knobs-before.png
  turn_knob_up "$freq_knob_x" 1
  turn_knob_up "$len_knob_x" 1
  sleep 0.5
  screenshot knobs-turned.png
  # Only the dials of Freq and Len. changed; Start did not.
  (($(knob_change 10) == 0)) || fail "the Start knob changed"
  (($(knob_change "$freq_knob_x") > 0)) || fail "the Freq knob did not turn"
  (($(knob_change "$len_knob_x") > 0)) || fail "the Len. knob did not turn"
  # Both knobs are above 0 now: Preview plays instead of warning.
  click_client "$preview_x" "$preview_y"
  sleep 1
  ! probe box Attention >/dev/null || fail "Preview still asks for Freq and Len."
  # Reset all turns them back to 0.
  click_client "$reset_x" "$reset_y"
  click_client "$preview_x" "$preview_y"
  answer_box Attention "$attention_text"
  close_by_close_box
}

# The context menu: a right click on a knob opens it, Escape closes it, and
# its first entry (the pickup preset) turns the knobs and plays.
case_menu() {
  start_program
  await_main_window
  sleep 1
  ! probe menu - >/dev/null || fail "a menu is open at the start"
  xdotool mousemove $((origin_x + freq_knob_x + 35)) $((origin_y + 45)) click 3
  local report
  report=$(await menu - 15) || fail "the right click on the Freq knob opened no menu"
  local left top right bottom
  read -r left top right bottom <<<"$(field outer "$report")"
  ((bottom - top > 200)) || fail "the menu is $((bottom - top)) pixels high"
  screenshot menu.png
  xdotool key Escape
  local tries=40
  while probe menu - >/dev/null && ((tries-- > 0)); do sleep 0.25; done
  ((tries > 0)) || fail "Escape left the menu open"
  (($(sound_bytes) == 0)) || fail "something was played"
  xdotool mousemove $((origin_x + freq_knob_x + 35)) $((origin_y + 45)) click 3
  await menu - 15 >/dev/null || fail "the menu did not open again"
  xdotool key Down Return
  tries=40
  while (($(sound_bytes) < 4000)) && ((tries-- > 0)); do sleep 0.25; done
  (($(sound_bytes) >= 4000)) || fail "the pickup entry played no sound ($(sound_bytes) bytes)"
  close_by_close_box
}

case_informations() {
  start_program
  await_main_window
  click_client "$informations_x" "$informations_y"
  local report
  report=$(await box Informations 15) || fail "no \"Informations\" box appeared"
  local text lines
  text=$(field text "$report")
  [[ $text == 'Tonkelwerk V1.00 \n'* ]] || fail "the about text begins '${text:0:40}'"
  lines=$(grep -o '\\n' <<<"$text" | wc -l)
  ((lines == 21)) || fail "the about text has $((lines + 1)) lines, not 22"
  [[ $text == *'\n  DirectX 7+\n  Soundcard\n  WindowsXP SP1+\n'* ]] ||
    fail "the about text lacks the Windows requirements"
  answer_box Informations "$text"
  close_by_close_box
}

case_preview() {
  start_program
  await_main_window
  sleep 1
  (($(sound_bytes) == 0)) || fail "sound was played before Preview"
  turn_knob_up "$freq_knob_x" 1
  turn_knob_up "$len_knob_x" 1
  click_client "$preview_x" "$preview_y"
  local tries=40
  while (($(sound_bytes) < 4000)) && ((tries-- > 0)); do sleep 0.25; done
  (($(sound_bytes) >= 4000)) || fail "Preview played no sound ($(sound_bytes) bytes)"
  close_by_close_box
}

# The header fields of a saved file and its size: D + 46 bytes for the data
# size D of some Len. from 1 to 360 (D = 176,400 x Len. x 8 ms, rounded).
check_wave_file() {
  local file=$1 size data riff
  size=$(stat -c %s "$file")
  read -r riff data <<<"$(od -An -tu4 -j4 -N4 "$file") $(od -An -tu4 -j40 -N4 "$file")"
  [[ $(head -c 4 "$file") == RIFF && $(dd if="$file" bs=1 skip=8 count=8 2>/dev/null) == "WAVEfmt " ]] ||
    fail "$file does not start as a RIFF/WAVE file"
  [[ $(dd if="$file" bs=1 skip=36 count=4 2>/dev/null) == data ]] || fail "no data chunk at 36"
  [[ $(od -An -tu2 -j20 -N4 "$file" | xargs) == "1 2" ]] || fail "not PCM with 2 channels"
  [[ $(od -An -tu4 -j24 -N8 "$file" | xargs) == "44100 176400" ]] || fail "not 44,100 Hz"
  [[ $(od -An -tu2 -j32 -N4 "$file" | xargs) == "4 16" ]] || fail "not 16-bit frames of 4 bytes"
  ((size == data + 46 && riff == data + 36)) || fail "size $size, RIFF $riff, data $data disagree"
  local len
  for len in $(seq 1 360); do
    (((14112 * len + 5) / 10 == data)) && return 0
  done
  fail "data size $data belongs to no length"
}

case_save() {
  start_program
  await_main_window
  turn_knob_up "$freq_knob_x" 1
  turn_knob_up "$len_knob_x" 1
  # A name without extension: the program adds ".wav".
  save_as boom
  check_wave_file "$case_dir/boom.wav"
  [[ ! -e $case_dir/boom ]] || fail "a file without the extension was written too"
  # A folder in the way: the error box gives the reason on its second line.
  mkdir "$case_dir/taken.wav"
  type_save_name taken
  answer_box Error "Couldn't write file to disk.\\nThe target is not a regular file."
  [[ -d $case_dir/taken.wav && -z $(ls -A "$case_dir/taken.wav") ]] || fail "the folder changed"
  # A Greek name, typed as a user types it.
  save_as ήχος 200
  close_by_close_box
}

case_close_box() {
  start_program
  await_main_window
  close_by_close_box
  ! probe window "$title" >/dev/null || fail "the window is still there"
}

case_no_sound() {
  start_program "$wine_overrides;winealsa.drv,winepulse.drv,wineoss.drv=d"
  await box Error 30 >/dev/null || fail "no error box appeared"
  ! probe window "$title" >/dev/null || fail "the main window opened without a sound device"
  answer_box Error "Error. DirectX-Error: 002\nNo sound device was found."
  # A failed start tells scripts and launchers so.
  expect_exit 15 1
  ! grep -q . "$case_dir/sound.raw" 2>/dev/null || fail "sound was played"
}

# Ctrl+C and Ctrl+V through the Windows clipboard, which Wine shares with the
# X11 one (read and written here with xclip): the copied line renders to the
# bytes Save wave wrote, a pasted line's seed is the one Preview and every
# Save wave after it use, and a paste of anything else says why.
case_clipboard() {
  start_program
  await_main_window
  turn_knob_up "$freq_knob_x" 1
  turn_knob_up "$rustle_knob_x" 1
  turn_knob_up "$len_knob_x" 1
  xdotool key ctrl+c
  sleep 0.5
  local line
  line=$(timeout 5 xclip -o -selection clipboard | tr -d '\r') || fail "no text on the clipboard"
  [[ $line =~ ^start=0\ end=0\ freq=[1-9][0-9]*\ rustle=[1-9][0-9]*\ cutter=0\ len=[1-9][0-9]*\ seed=[0-9]+$ ]] ||
    fail "not the knobs' settings line: '$line'"
  save_as copied
  render_line "copied: $line"
  cmp "$case_dir/copied.wav" "$case_dir/rendered/copied.wav" || fail "the copied line renders other bytes"
  local pasted="pasted: start=30 end=100 freq=150 rustle=40 cutter=15 len=30 seed=4242"
  printf '%s' "$pasted" | xclip -i -selection clipboard
  sleep 0.3
  xdotool key ctrl+v
  sleep 0.5
  click_client "$preview_x" "$preview_y"
  sleep 0.6  # the preview lasts 240 ms
  save_as pasted
  save_as again
  render_line "$pasted"
  for name in pasted again; do
    cmp "$case_dir/$name.wav" "$case_dir/rendered/pasted.wav" ||
      fail "$name.wav, saved after Ctrl+V and Preview, differs from the line's render"
  done
  # Anything else on the clipboard is told in a box and changes nothing.
  printf 'no knobs here' | xclip -i -selection clipboard
  sleep 0.3
  xdotool key ctrl+v
  answer_box Attention "This is no Tonkelwerk link or settings line: unknown word 'no' (want key=value)"
  xdotool key ctrl+c
  sleep 0.5
  line=$(timeout 5 xclip -o -selection clipboard | tr -d '\r') || fail "no text on the clipboard"
  [[ $line == "${pasted#pasted: }" ]] || fail "after a bad paste the knobs are '$line'"
  close_by_close_box
}

# tonkelwerk-render.exe writes the Linux build's bytes: to a pipe (no CR
# before each LF), and under names and folders outside the ANSI code page,
# given on its command line or read from a batch file (itself under such a
# name, with CRLF line ends) or from standard input (which ends at its end,
# not at a Ctrl+Z). Wine hands the arguments on as Unicode when the locale
# is UTF-8.
case_render_names() {
  [[ -x $LINUX_RENDER ]] || fail "no Linux tonkelwerk-render at $LINUX_RENDER (build preset release)"
  export LANG=C.UTF-8
  cd "$case_dir"
  local knobs=(--start 30 --end 200 --freq 164 --rustle 20 --cutter 90 --len 40 --seed 7) name
  "$LINUX_RENDER" "${knobs[@]}" -o linux.wav
  wine "$RENDER_EXE" "${knobs[@]}" -o - >piped.wav || fail "-o - failed"
  cmp linux.wav piped.wav || fail "-o - wrote other bytes than the Linux renderer"
  mkdir "dir é"
  for name in café.wav αβγ.wav "dir é/ήχος.wav"; do
    wine "$RENDER_EXE" "${knobs[@]}" -o "$name" || fail "-o '$name' failed"
    cmp linux.wav "$name" || fail "'$name' differs from the Linux render"
  done

  mkdir "klänge"
  printf 'zap: freq=120 end=90 rustle=20 len=40 seed=7\r\n# \x1a\r\ncoin: freq=150 len=15 seed=9\r\n' \
    >"klänge/kit.txt"
  "$LINUX_RENDER" --batch "klänge/kit.txt" --out-dir linux-kit >/dev/null
  [[ $(ls linux-kit | xargs) == "coin.wav zap.wav" ]] || fail "the Linux batch wrote: $(ls linux-kit)"
  wine "$RENDER_EXE" --batch "klänge/kit.txt" --out-dir "dir é/kit" >/dev/null || fail "the batch failed"
  diff -r linux-kit "dir é/kit" || fail "the batch file's sounds differ from the Linux ones"
  wine "$RENDER_EXE" --batch - --out-dir "dir é/ü/piped" <"klänge/kit.txt" >/dev/null ||
    fail "the batch from standard input failed"
  diff -r linux-kit "dir é/ü/piped" || fail "the piped batch's sounds differ from the Linux ones"

  # Messages keep their UTF-8 on the way to a file.
  local message
  ! message=$(wine "$RENDER_EXE" --batch "klänge/kit.txt" --out-dir café.wav 2>&1 >/dev/null) ||
    fail "a batch into the file café.wav succeeded"
  message=${message%$'\r'}
  [[ $message == "tonkelwerk-render: cannot make the folder 'café.wav': a file of that name is in the way" ]] ||
    fail "the message is '$message'"
}

# tonkelwerk-render.exe writes every format, sample size, channel count and
# rate as the Linux build does, byte for byte: its libraries are built from
# the same sources and call glibc's maths functions, so libsoxr designs the
# same filters and the Vorbis encoder rounds alike. Each command names its
# file under @, the one renderer's folder; both must say the same on
# standard error (a resampled or Ogg sound's count of clipped samples too).
case_render_formats() {
  [[ -x $LINUX_RENDER ]] || fail "no Linux tonkelwerk-render at $LINUX_RENDER (build preset release)"
  cd "$case_dir"
  local zap="--start 30 --end 200 --freq 164 --rustle 20 --cutter 90 --len 40 --seed 7"
  local hum="--freq 60 --end 10 --len 120 --seed 3"
  local commands=(
    "$zap -o @/a.flac" "$zap --mono --bits 8 -o @/b.flac" "$zap --bits 8 -o @/c.wav"
    "$hum --mono -o @/d.wav" "$hum --gain -1.5 --mono --bits 8 -o @/e.wav"
    "$zap --format flac -o @/f.sfx" "$zap -o @/g.ogg" "$hum --mono --gain -6 -o @/h.ogg"
    "--batch kit.txt --out-dir @/kit --format flac"
    "$hum --rate 48000 -o @/r/a.flac" "$hum --gain -1.5 --rate 11025 --mono -o @/r/b.flac"
    "$zap --rate 22050 --mono -o @/r/c.wav" "$hum --rate 11025 --bits 8 -o @/r/d.wav"
    "--preset laser --count 2 --seed 5 --rate 22050 -o @/r/e.flac"
    "$hum --rate 48000 --mono -o @/r/f.ogg" "$zap --rate 22050 -o @/r/g.ogg"
  )
  printf 'a: freq=100 len=10 seed=1\nb: freq=120 rustle=30 len=12 seed=2\n' >kit.txt
  mkdir -p {linux,windows}/r
  local command
  for command in "${commands[@]}"; do
    # shellcheck disable=SC2086 # a command is its words
    "$LINUX_RENDER" ${command//@/linux} >/dev/null 2>linux.err || fail "the Linux renderer failed: $command"
    # shellcheck disable=SC2086
    wine "$RENDER_EXE" ${command//@/windows} >/dev/null 2>windows.err ||
      fail "failed: $command: $(<windows.err)"
    tr -d '\r' <windows.err | cmp -s linux.err - || fail "$command said: $(<windows.err)"
  done
  [[ $(find windows -type f | wc -l) == 18 ]] || fail "wrote: $(find windows -type f | xargs)"
  diff -r linux windows || fail "the Windows renderer wrote other bytes than the Linux one"
}

# A kit lands whole or not at all on Windows too: a name that exists stops
# the batch and --count before any file takes its name (MoveFileExW keeps
# it), --force replaces it with the Linux bytes, and Ctrl+C (Wine turns
# SIGINT into the console's Ctrl+C event) leaves no file, hidden or not.
case_render_kits() {
  [[ -x $LINUX_RENDER ]] || fail "no Linux tonkelwerk-render at $LINUX_RENDER (build preset release)"
  cd "$case_dir"
  printf 'a: freq=100 len=10 seed=1\nb: freq=120 rustle=30 len=12 seed=2\nc: freq=90 len=8 seed=3\n' >kit.txt
  "$LINUX_RENDER" --batch kit.txt --out-dir linux >/dev/null
  mkdir kit
  echo old >kit/b.wav
  ! wine "$RENDER_EXE" --batch kit.txt --out-dir kit >/dev/null 2>&1 || fail "a batch replaced b.wav"
  [[ $(ls -A kit | xargs) == b.wav && $(<kit/b.wav) == old ]] || fail "the refused batch left: $(ls -A kit)"
  echo old >kit/d-02.wav
  ! wine "$RENDER_EXE" --freq 100 --len 10 --seed 1 --count 3 -o kit/d.wav >/dev/null 2>&1 ||
    fail "--count replaced d-02.wav"
  [[ $(ls -A kit | xargs) == "b.wav d-02.wav" ]] || fail "the refused --count left: $(ls -A kit)"
  rm kit/d-02.wav
  wine "$RENDER_EXE" --batch kit.txt --out-dir kit --force >/dev/null || fail "--force failed"
  diff -r linux kit || fail "the forced batch differs from the Linux one"

  local i status
  for ((i = 1; i <= 3000; i++)); do echo "x$i: freq=100 len=200 rustle=50 seed=$i"; done >big.txt
  wine "$RENDER_EXE" --batch big.txt --out-dir big 2>interrupted.txt &
  sleep 3
  pkill -INT -f 'tonkelwerk-render.exe --batch big.txt' || fail "the batch ended before Ctrl+C"
  status=0
  wait $! || status=$?
  ((status == 130)) || fail "an interrupted batch exited with $status"
  grep -q "interrupted: nothing was written" interrupted.txt || fail "the interrupt said: $(<interrupted.txt)"
  [[ -z $(ls -A big 2>/dev/null) ]] || fail "the interrupt left $(ls -A big | wc -l) files"
}

# The portable zip holds the two programs (a windowed one and a console one),
# the two texts and the engine for games (sdk/, the case "sdk"); the
# installer puts them into a folder of its own, adds a
# Start menu shortcut that starts in Documents, an entry in the installed
# programs and the folder to the user's PATH; installing again keeps one copy,
# and the uninstaller takes all of that away again, down to the folders it
# made and the one PATH entry.
pe_subsystem() { python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read()
print(struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 0x5C)[0])' "$1"; }

# The working folder that the shell link $1 names ([MS-SHLLINK] StringData).
lnk_working_dir() { python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x1: at += 2 + struct.unpack_from("<H", data, at)[0]
if flags & 0x2: at += struct.unpack_from("<I", data, at)[0]
width = 2 if flags & 0x80 else 1
for bit in (0x4, 0x8, 0x10):
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        text = data[at + 2:at + 2 + count * width]
        at += 2 + count * width
        if bit == 0x10: print(text.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0"))' "$1"; }

# Value $2 of registry key $1 as `reg query` prints it, type first; nothing
# when there is no such value.
reg_value() {
  { wine reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
    sed -n "s/^ *$2 *\(REG_[A-Z_]*\) *\(.*\)/\1 \2/p"
}

user_path() { reg_value 'HKCU\Environment' Path; }

# Runs the installer silently with options $@ and waits until it is done.
setup() {
  wine "$SETUP_EXE" /S "$@" </dev/null >/dev/null 2>&1 || fail "setup $* failed"
  wineserver -w
}

case_installer() {
  [[ -x $LINUX_RENDER ]] || fail "no Linux tonkelwerk-render at $LINUX_RENDER (build preset release)"
  local listing files="LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt sdk/README.txt
    sdk/bin/tonkelwerk.dll sdk/include/tonkelwerk/engine_defs.h sdk/include/tonkelwerk/presets.h
    sdk/include/tonkelwerk/settings_line.h sdk/include/tonkelwerk/sound_engine.h
    sdk/include/tonkelwerk/tonkelwerk.h sdk/lib/libtonkelwerk.dll.a sdk/lib/tonkelwerk.def
    tonkelwerk-render.exe tonkelwerk.exe"
  files=$(xargs <<<"$files")
  listing=$(unzip -Z1 "$PORTABLE_ZIP" | grep -v '/$' | sed 's|^[^/]*/||' | LC_ALL=C sort | xargs)
  [[ $listing == "$files" ]] || fail "the zip holds: $listing"
  # README.txt: for Notepad, on using the program, not on building it.
  unzip -p "$PORTABLE_ZIP" '*/README.txt' >"$case_dir/README.txt"
  [[ $(grep -c $'\r$' "$case_dir/README.txt") == $(wc -l <"$case_dir/README.txt") ]] ||
    fail "README.txt has lines without CR LF"
  grep -q 'tonkelwerk-render.exe --freq' "$case_dir/README.txt" || fail "README.txt shows no renderer command"
  ! grep -qE 'cmake --preset|scripts/' "$case_dir/README.txt" || fail "README.txt tells how to build"
  # The licenses of the libraries in the renderer, one section each.
  [[ $(unzip -p "$PORTABLE_ZIP" '*/THIRD-PARTY-NOTICES.txt' | grep -c '^==== ') == 7 ]] ||
    fail "THIRD-PARTY-NOTICES.txt lacks the notices of the renderer's seven libraries"

  # Per user: the installer's manifest asks Windows for no administrator.
  grep -aq 'level="asInvoker"' "$SETUP_EXE" || fail "the installer asks for more than the user's rights"
  local folder=$WINEPREFIX/drive_c/Games/Tonkelwerk uninstall_key
  uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tonkelwerk'
  local user_path_before='C:\Tools;%USERPROFILE%\bin'
  wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path_before" /f >/dev/null 2>&1
  setup '/D=C:\Games\Tonkelwerk'
  listing=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs)
  # shellcheck disable=SC2086 # the names are its words
  [[ $listing == "$(printf '%s\n' $files Uninstall.exe | LC_ALL=C sort | xargs)" ]] || fail "installed: $listing"
  (($(pe_subsystem "$folder/tonkelwerk.exe") == 2)) || fail "tonkelwerk.exe is no windowed program"
  (($(pe_subsystem "$folder/tonkelwerk-render.exe") == 3)) || fail "tonkelwerk-render.exe is no console program"
  local shortcut documents
  shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Tonkelwerk.lnk')
  [[ -n $shortcut ]] || fail "no Start menu shortcut"
  documents="$(wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')\\Documents"
  [[ $(lnk_working_dir "$shortcut") == "$documents" ]] ||
    fail "the shortcut starts in '$(lnk_working_dir "$shortcut")', not $documents"
  wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -qF 'C:\Games\Tonkelwerk\Uninstall.exe' ||
    fail "no uninstaller in the list of installed programs"
  local size files_kb
  size=$(reg_value "$uninstall_key" EstimatedSize)
  files_kb=$(($(find "$folder" -type f -exec cat {} + | wc -c) / 1024))
  size=${size#REG_DWORD 0x}
  [[ $size =~ ^[0-9a-fA-F]+$ ]] || fail "EstimatedSize is no DWORD: '$size'"
  ((16#$size >= files_kb && 16#$size <= files_kb + 5)) ||
    fail "EstimatedSize is $((16#$size)) KB, the files take $files_kb KB"
  [[ $(user_path) == "REG_EXPAND_SZ $user_path_before;C:\Games\Tonkelwerk" ]] ||
    fail "PATH after setup: $(user_path)"

  # Again without a folder: the installed one, its PATH entry not doubled;
  # /PATH=0 takes that entry off again.
  setup
  [[ -z $(find "$WINEPREFIX/drive_c/users" -path '*/Programs/Tonkelwerk' -type d) &&
     $(reg_value "$uninstall_key" InstallLocation) == 'REG_SZ C:\Games\Tonkelwerk' ]] ||
    fail "setup again did not go to the installed folder"
  [[ $(user_path) == "REG_EXPAND_SZ $user_path_before;C:\Games\Tonkelwerk" ]] ||
    fail "PATH after setup again: $(user_path)"
  setup /PATH=0
  [[ $(user_path) == "REG_EXPAND_SZ $user_path_before" ]] || fail "PATH after setup /PATH=0: $(user_path)"

  # Into another folder: the old copy goes, with the folders it made.
  setup /PATH=1 '/D=C:\Other\Tonkelwerk'
  [[ ! -e $WINEPREFIX/drive_c/Games ]] || fail "the old copy is left: $(find "$WINEPREFIX/drive_c/Games" -printf '%P ')"
  folder=$WINEPREFIX/drive_c/Other/Tonkelwerk
  [[ $(user_path) == "REG_EXPAND_SZ $user_path_before;C:\Other\Tonkelwerk" ]] ||
    fail "PATH after setup into another folder: $(user_path)"

  # By its name alone, as in a new console: found through the user's PATH.
  local knobs=(--start 30 --end 200 --freq 164 --rustle 20 --cutter 90 --len 40 --seed 7)
  (cd "$case_dir" && wine cmd /c "tonkelwerk-render.exe ${knobs[*]} -o windows.wav" </dev/null) ||
    fail "the installed tonkelwerk-render.exe failed"
  "$LINUX_RENDER" "${knobs[@]}" -o "$case_dir/linux.wav"
  cmp "$case_dir/linux.wav" "$case_dir/windows.wav" || fail "Windows and Linux renders differ"

  TONKELWERK_EXE=$folder/tonkelwerk.exe start_program
  await_main_window
  close_by_close_box

  # The uninstaller runs from a copy of itself in the temporary folder.
  wine "$folder/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
  wineserver -w
  [[ ! -e $WINEPREFIX/drive_c/Other ]] || fail "left behind: $(find "$WINEPREFIX/drive_c/Other" -printf '%P ')"
  [[ ! -e $shortcut ]] || fail "the Start menu shortcut is left"
  ! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall entry is left"
  [[ $(user_path) == "REG_EXPAND_SZ $user_path_before" ]] || fail "PATH after uninstalling: $(user_path)"
  wine reg delete 'HKCU\Environment' /v Path /f >/dev/null 2>&1
}

# The engine for games in the Windows packages (sdk/): tonkelwerk.dll needs
# nothing but Windows' own DLLs, exports the interface and nothing else (its
# .def file the same names, for MSVC) and carries its version record; the
# README's example builds and runs as it says; and a C99 game built with the
# zip's headers and import library alone, run with the DLL beside it,
# renders the Linux renderer's bytes.
case_sdk() {
  [[ -x $LINUX_RENDER ]] || fail "no Linux tonkelwerk-render at $LINUX_RENDER (build preset release)"
  : "${MINGW_CC:?}" "${OBJDUMP:?}" "${TONKELWERK_VERSION:?}"
  local here sdk
  here=$(cd "$(dirname "$0")" && pwd)
  cd "$case_dir"
  unzip -q "$PORTABLE_ZIP" '*/sdk/*' || fail "the zip has no sdk folder"
  sdk=$(echo tonkelwerk-*/sdk)
  [[ $(grep -c $'\r$' "$sdk/README.txt") == $(wc -l <"$sdk/README.txt") ]] ||
    fail "sdk/README.txt has lines without CR LF"

  local dll=$sdk/bin/tonkelwerk.dll import exports declared
  for import in $("$OBJDUMP" -p "$dll" | sed -n 's/^\tDLL Name: //p'); do
    [[ -n $(find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$import") ]] ||
      fail "tonkelwerk.dll needs $import, which Windows lacks"
  done
  exports=$("$OBJDUMP" -p "$dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p')
  declared=$(grep -o 'TONKELWERK_API[^(]*(' "$sdk/include/tonkelwerk/tonkelwerk.h" | grep -o 'tonkelwerk_[a-z_]*($' | tr -d '(' | sort)
  [[ $(grep '^tonkelwerk_' <<<"$exports" | sort) == "$declared" ]] ||
    fail "the C functions exported and declared differ: $(diff <(grep '^tonkelwerk_' <<<"$exports" | sort) - <<<"$declared" | xargs)"
  grep -q '^_ZN10tonkelwerk' <<<"$exports" || fail "tonkelwerk.dll exports no C++ interface"
  ! grep -v -e '^tonkelwerk_' -e '^_ZN10tonkelwerk' <<<"$exports" ||
    fail "tonkelwerk.dll exports more than the interface (above)"
  [[ $(head -n 1 "$sdk/lib/tonkelwerk.def") == 'LIBRARY "tonkelwerk.dll"'* ]] ||
    fail "tonkelwerk.def names no DLL: $(head -n 1 "$sdk/lib/tonkelwerk.def")"
  [[ $(sed -n 's/^ *\([^ ]*\) @[0-9]*$/\1/p' "$sdk/lib/tonkelwerk.def" | sort) == $(sort <<<"$exports") ]] ||
    fail "tonkelwerk.def lists other names than the DLL exports"

  local report line
  report=$(python3 "$here/pe_resources.py" "$dll") || fail "tonkelwerk.dll: unreadable"
  for line in "FileDescription=Tonkelwerk sound engine" "OriginalFilename=tonkelwerk.dll" \
              "FileVersion=$TONKELWERK_VERSION" "ProductName=Tonkelwerk"; do
    grep -qxF "version $line" <<<"$report" || fail "tonkelwerk.dll lacks $line"
  done

  # Its example, built and run as it says, with MinGW-w64.
  local command
  tr -d '\r' <"$sdk/README.txt" | sed -n '/game\.c:$/,/^  }$/{/game\.c:$/d;s/^  //;p}' >"$sdk/game.c"
  command=$(tr -d '\r' <"$sdk/README.txt" | sed -n 's/^  gcc //p')
  # shellcheck disable=SC2086 # the command is its words
  (cd "$sdk" && "$MINGW_CC" $command && cp bin/tonkelwerk.dll . && wine game.exe) ||
    fail "sdk/README.txt's example failed: $MINGW_CC $command"

  mkdir game windows linux
  "$MINGW_CC" -std=c99 -pedantic-errors -Wall -Wextra -Werror -DTONKELWERK_DLL -I"$sdk/include" \
    "$here/../same_bytes/render_c.c" -L"$sdk/lib" -ltonkelwerk -o game/game.exe || fail "the game did not build"
  cp "$sdk/bin/tonkelwerk.dll" game/
  local sets=("30 200 164 20 90 40 7" "0 0 120 0 0 40 1" "360 0 60 300 0 120 3"
              "10 90 200 360 45 360 4294967295" "180 270 1 5 360 1 0") i knobs
  for i in "${!sets[@]}"; do
    read -r -a knobs <<<"${sets[i]}"
    "$LINUX_RENDER" --start "${knobs[0]}" --end "${knobs[1]}" --freq "${knobs[2]}" \
      --rustle "${knobs[3]}" --cutter "${knobs[4]}" --len "${knobs[5]}" --seed "${knobs[6]}" \
      -o "linux/$i.wav" || fail "the Linux renderer refused ${sets[i]}"
    echo "${sets[i]} ../windows/$i.wav"
  done >sounds.txt
  (cd game && wine game.exe <../sounds.txt 2>../game.err) || fail "the game failed: $(<game.err)"
  diff -r linux windows || fail "the game's sounds differ from the Linux renderer's"
}

# The version record and manifest of both programs as Windows reads them
# (aware of each monitor's scale, classic controls), and
# the icon's sizes (the window's icons are the backend's own test).
case_resources() {
  : "${TONKELWERK_VERSION:?}"
  local exe report descriptions=()
  for exe in "$TONKELWERK_EXE" "$RENDER_EXE"; do
    report=$(python3 "$(dirname "$0")/pe_resources.py" "$exe") || fail "$exe: unreadable"
    local expected=("FileVersion=$TONKELWERK_VERSION" "ProductVersion=$TONKELWERK_VERSION"
                    "ProductName=Tonkelwerk" "CompanyName=The Tonkelwerk developers"
                    "OriginalFilename=$(basename "$exe")")
    local line
    for line in "${expected[@]}"; do
      grep -qxF "version $line" <<<"$report" || fail "$(basename "$exe") lacks $line"
    done
    grep -q '^version LegalCopyright=.*zlib license' <<<"$report" || fail "no zlib license named"
    descriptions+=("$(sed -n 's/^version FileDescription=//p' <<<"$report")")
    local manifest
    manifest=$(sed -n 's/^manifest //p' <<<"$report")
    grep -q 'level="asInvoker"' <<<"$manifest" || fail "$(basename "$exe") asks for more rights"
    (($(grep -o '<supportedOS ' <<<"$manifest" | wc -l) == 4)) ||
      fail "$(basename "$exe") does not name Windows 7, 8, 8.1 and 10/11"
    grep -q '<dpiAwareness [^>]*>PerMonitorV2, PerMonitor</dpiAwareness>' <<<"$manifest" &&
      grep -q '<dpiAware [^>]*>true/pm</dpiAware>' <<<"$manifest" ||
      fail "$(basename "$exe") leaves the display scale to Windows"
    ! grep -qi 'Common-Controls' <<<"$manifest" || fail "$(basename "$exe") changes the controls' look"
  done
  [[ -n ${descriptions[0]} && -n ${descriptions[1]} && ${descriptions[0]} != "${descriptions[1]}" ]] ||
    fail "the descriptions are '${descriptions[0]}' and '${descriptions[1]}'"
  local sizes
  sizes=$(python3 "$(dirname "$0")/pe_resources.py" "$TONKELWERK_EXE" | sed -n 's/^icon //p' | xargs)
  [[ $sizes == "16 32 20 32 24 32 32 32 40 32 48 32 64 32 256 32" ]] ||
    fail "the icon holds (size bits): $sizes"
}

# --- the display scale ---------------------------------------------------------

readonly dpi_reference=$(dirname "$0")/dpi-96-client.png

# Sets the display scale of the programs started from now on: LogPixels $1
# (96 is 100 %), or no value of the user's own for "".
log_pixels() {
  wineserver -k 2>/dev/null || true
  local key='HKCU\Control Panel\Desktop'
  if [[ -n $1 ]]; then
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  else
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
  fi
  wineserver -w
}

# The client area of screenshot $1 at the display's pixels, as $2.
crop_client() {
  local size
  size=$(field client "$main_report")
  convert "$E2E_DIR/$1" -crop "${size% *}x${size#* }+$origin_x+$origin_y" +repage "$case_dir/$2"
}

# The colours of image $1, one a line, sorted.
colours() { convert "$1" -unique-colors -depth 8 txt:- | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p' | sort -u; }

# The size "W H" of what image $1 shows on its background within W x H+X+Y ($2).
drawn_size() { convert "$1" -crop "$2" +repage -trim -format '%w %h' info:; }

# At 100 % the window shows the very pixels it showed before it could scale;
# at 200 % its client area is twice as large and drawn at that size: the
# Start dial twice as wide and tall (to a pixel), dials of no colour that the 100 % ones lack (a stretched picture blends them)
# and not every 2 x 2 block of one colour (as a picture doubled would be); a drag
# and a click at the doubled places turn the knob and press the button there.
# LogPixels is put back as it was, whatever the outcome.
case_dpi() {
  local before
  before=$(reg_value 'HKCU\Control Panel\Desktop' LogPixels)
  before=${before#REG_DWORD }
  trap "log_pixels '${before:+$((before))}'; cleanup" EXIT
  log_pixels 96
  # At 200 % the window is wider than the other cases' screen.
  xvfb_stop
  xvfb_start "$case_dir/xvfb-large.log" 1600x1200x24 || fail "no large X display could be started"
  start_program
  await_main_window
  sleep 1
  screenshot dpi-96.png
  crop_client dpi-96.png client-96.png
  local differing
  differing=$(compare -metric AE "$dpi_reference" "$case_dir/client-96.png" null: 2>&1) || true
  [[ $differing == 0 ]] || fail "at 100 % the client area differs from $dpi_reference in $differing pixels"
  close_by_close_box

  log_pixels 192
  scale=2
  start_program
  await_main_window
  [[ $(field client "$main_report") == "1280 310" ]] ||
    fail "at 200 % the client area is $(field client "$main_report"), not 1280 310"
  sleep 1
  screenshot dpi-before.png
  crop_client dpi-before.png client-192.png
  local small large
  read -r -a small <<<"$(drawn_size "$case_dir/client-96.png" 90x80+0+0)"
  read -r -a large <<<"$(drawn_size "$case_dir/client-192.png" 180x160+0+0)"
  ((${#small[@]} == 2 && ${#large[@]} == 2)) || fail "no Start dial to measure"
  ((large[0] - 2 * small[0] <= 1 && 2 * small[0] - large[0] <= 1 &&
    large[1] - 2 * small[1] <= 1 && 2 * small[1] - large[1] <= 1)) ||
    fail "at 200 % the Start dial is ${large[*]}, at 100 % ${small[*]}"
  # The dials above the captions: shapes alone, which GDI draws unblended.
  convert "$case_dir/client-192.png" -crop 1080x160+0+0 +repage "$case_dir/dials-192.png"
  convert "$case_dir/client-96.png" -crop 540x80+0+0 +repage "$case_dir/dials-96.png"
  local blended
  blended=$(comm -23 <(colours "$case_dir/dials-192.png") <(colours "$case_dir/dials-96.png") | wc -l)
  ((blended == 0)) || fail "at 200 % the dials show $blended colours of a stretched picture"
  convert "$case_dir/client-192.png" -crop 1080x290+0+0 +repage "$case_dir/screen-192.png"
  convert "$case_dir/screen-192.png" -sample 50% -sample 200% "$case_dir/doubled-192.png"
  differing=$(compare -metric AE "$case_dir/screen-192.png" "$case_dir/doubled-192.png" null: 2>&1) || true
  ((differing > 0)) || fail "at 200 % the screen is the 100 % picture doubled"
  turn_knob_up "$freq_knob_x" 1
  sleep 0.5
  screenshot dpi-turned.png
  (($(knob_change 10 dpi) == 0)) || fail "at 200 % the Start knob changed"
  (($(knob_change "$len_knob_x" dpi) == 0)) || fail "at 200 % the Len. knob changed"
  (($(knob_change "$freq_knob_x" dpi) > 0)) || fail "at 200 % the Freq knob did not turn"
  click_client "$preview_x" "$preview_y"
  answer_box Attention "$attention_text"
  close_by_close_box
}

# --- main -------------------------------------------------------------------

[[ $# -eq 1 ]] || fail "usage: e2e.sh prepare|CASE"
if [[ $1 == prepare ]]; then
  prepare
  exit 0
fi
[[ -f $WINEPREFIX/user.reg ]] || fail "run 'e2e.sh prepare' first"
declare -F "case_${1//-/_}" >/dev/null || fail "unknown case $1"
case_dir=$E2E_DIR/$1
rm -rf "$case_dir"
mkdir -p "$case_dir"
trap cleanup EXIT
xvfb_start "$case_dir/xvfb.log" || fail "no X display could be started"
"case_${1//-/_}"
echo "PASS: $1"
