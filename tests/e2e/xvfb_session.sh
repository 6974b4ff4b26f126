# shellcheck shell=bash
# Sourced by the scripts that need a private X server: xvfb_start LOG [SCREEN]
# starts Xvfb on a free display number that Xvfb chooses (screen WIDTHxHEIGHTxDEPTH, 1024x768x24
# unless given), exports DISPLAY and sets xvfb_pid; xvfb_stop ends it. Needs
# Xvfb and xdotool.

# Waits until our Xvfb answers; false when it died.
xvfb_ready() {
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

# Xvfb picks the display number itself (-displayfd) and claims it with its
# lock file: servers started side by side, by parallel tests or by other
# checkouts, cannot end up sharing one number, as a guess made here could.
xvfb_start() {
  local log=$1 size=${2:-1024x768x24} number_file number=""
  unset WAYLAND_DISPLAY
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$number_file" >"$log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    number=$(head -n 1 "$number_file")
    [[ -n "$number" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$number_file"
  if [[ -z "$number" ]]; then
    xvfb_stop
    return 1
  fi
  export DISPLAY=":$number"
  xvfb_ready || { xvfb_stop; return 1; }
}

xvfb_stop() {
  [[ -n "${xvfb_pid:-}" ]] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
