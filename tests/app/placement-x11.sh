#!/usr/bin/env bash
# The main window under a real X server and window manager: a stored position is where
# the window's frame comes back, start after start (the frame is not known yet when the
# placement is restored). Skipped (77) without Xvfb, openbox and xdotool.
set -u
program=$1
for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "placement-x11: $tool not installed, skipped"; exit 77; }
done
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work # a lock of its own, apart from other tests' copies
export TRIPCONF_INI=$work/tripconf.ini TRIPCONF_PORTS=1=/dev/null
unset QT_QPA_PLATFORM
# Under the sanitizers: the X keyboard library reads its strings in a way the strict
# string checks take for overflows, and the X libraries keep allocations to the end.
[[ -n ${ASAN_OPTIONS:-} ]] && export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0:detect_leaks=0
display=
for n in $(seq 90 120); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=:$n; break; fi
done
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "$wm" "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

printf '[MainWindow]\nState=0\nLeft=100\nTop=200\n' >"$TRIPCONF_INI"
for run in 1 2 3; do
  "$program" 2>/dev/null &
  pid=$!
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
    [[ -n $window ]] && break
    sleep 0.1
  done
  [[ -n $window ]] || { echo "placement-x11: the window did not appear"; exit 1; }
  sleep 1
  xdotool windowactivate --sync "$window" key alt+F4 >/dev/null 2>&1
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null && { echo "placement-x11: the window did not close"; exit 1; }
  left=$(sed -n 's/^Left=//p' "$TRIPCONF_INI") top=$(sed -n 's/^Top=//p' "$TRIPCONF_INI")
  echo "run $run: Left=$left Top=$top"
  [[ $left == 100 && $top == 200 ]] || { echo "placement-x11: the window moved"; exit 1; }
done
