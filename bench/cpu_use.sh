#!/usr/bin/env bash
# CPU use of the desktop emulator in normal play: the share of one core the
# process takes over ten seconds once started, and the frames per second it
# kept meanwhile (target: under 10% of a core at 50 frames per second),
# measured twice: with the rewind history kept (as the program runs) and with
# --no-rewind, so the difference is what the history costs.
# Runs on the display there is, else under Xvfb when installed, else on Qt's
# offscreen platform. Usage: bench/cpu_use.sh [path to rq4800]
set -euo pipefail
cd "$(dirname "$0")/.."
gui=${1:-build/release/host/qt/rq4800}
if [ ! -x "$gui" ]; then
  echo "cpu_use: $gui not built, skipped"
  exit 0
fi

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
platform="display ${DISPLAY:-}"
if [ -z "${DISPLAY:-}" ]; then
  if command -v Xvfb >/dev/null; then
    Xvfb :97 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:97
    sleep 1
    platform="Xvfb"
  else
    export QT_QPA_PLATFORM=offscreen
    platform="offscreen"
  fi
fi

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() {  # $1: label, then the program's options
  local label=$1
  shift
  local out pid t0 t1 s0 s1 frames
  out=$(mktemp)
  "$gui" --exit-after 14 "$@" >"$out" 2>/dev/null &
  pid=$!
  sleep 3  # start-up (and a first clock measurement) is not part of normal play
  t0=$(cpu_ticks "$pid"); s0=$(date +%s.%N)
  sleep 10
  t1=$(cpu_ticks "$pid"); s1=$(date +%s.%N)
  wait "$pid" || true
  frames=$(grep -o '[0-9.]* frames per second' "$out" || echo "unknown frames per second")
  rm -f "$out"
  awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s0="$s0" -v s1="$s1" -v p="$platform" -v f="$frames" -v l="$label" \
    'BEGIN { printf "cpu_use (%s, %s): %.1f%% of one core over %.1f s of normal play, %s\n", p, l, 100 * (b - a) / hz / (s1 - s0), s1 - s0, f }'
}
measure "rewind on"
measure "rewind off" --no-rewind
