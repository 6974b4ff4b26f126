# shellcheck shell=bash
# Sourced by the end-to-end scripts of the Linux program. e2e_begin ARTIFACTS
# [SCREEN] empties the artifact folder, starts a private Xvfb (xvfb_session.sh)
# and makes sure that the program (program_pid), a window manager (wm_pid) and
# the server end with the script; e2e_start_program PROGRAM starts it on X11
# with its sound in audio.raw; main_window waits for the program's window
# and prints its id; e2e_close WINDOW closes it with its close box and
# checks that the program ends with status 0; fail MESSAGE ends the test.
e2e_here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
# shellcheck source=tests/e2e/xvfb_session.sh
source "$e2e_here/xvfb_session.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_cleanup() {
  if [[ -n "${program_pid:-}" ]]; then kill -9 "$program_pid" 2>/dev/null || true; fi
  if [[ -n "${wm_pid:-}" ]]; then kill "$wm_pid" 2>/dev/null || true; fi
  xvfb_stop
}

e2e_begin() {
  artifacts=$1
  rm -rf "$artifacts"
  mkdir -p "$artifacts"
  program_pid=""
  wm_pid=""
  trap e2e_cleanup EXIT
  xvfb_start "$artifacts/xvfb.log" "${2:-}" || fail "Xvfb did not start"
  # Under AddressSanitizer: D-Bus keeps some memory to the end of the process.
  export LSAN_OPTIONS="suppressions=$e2e_here/../lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
}

main_window() {
  timeout 10 xdotool search --sync --onlyvisible --name '^Tonkelwerk 1\.00$' | head -1
}

e2e_start_program() {
  cd "$artifacts"
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$artifacts/audio.raw" SDL_NO_SIGNAL_HANDLERS=1 \
    QT_QPA_PLATFORM=xcb "$1" >"$artifacts/program.log" 2>&1 &
  program_pid=$!
}

e2e_close() {
  python3 "$e2e_here/x11_close_window.py" "$1"
  local status=0
  timeout 10 tail --pid="$program_pid" -f /dev/null || fail "the program did not end"
  wait "$program_pid" || status=$?
  program_pid=""
  [[ $status -eq 0 ]] || fail "exit status $status"
}
