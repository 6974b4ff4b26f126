# shellcheck shell=bash
# Sourced by the scripts that need a private X server: xvfb_start LOG [SCREEN]
# starts Xvfb on a free display number (screen WIDTHxHEIGHTxDEPTH, 1024x768x24
# unless given), exports DISPLAY and sets xvfb_pid; xvfb_stop ends it. Needs
# Xvfb and xdotool.

# Waits until our Xvfb answers; false when it died (its display was taken).
xvfb_ready() {
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

xvfb_start() {
  local log=$1 size=${2:-1024x768x24} number
  unset WAYLAND_DISPLAY
  for number in $(seq 90 200); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
    Xvfb ":$number" -screen 0 "$size" -nolisten tcp >"$log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    xvfb_ready && return 0
    xvfb_stop
  done
  return 1
}

xvfb_stop() {
  [[ -n "${xvfb_pid:-}" ]] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
