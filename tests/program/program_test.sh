#!/usr/bin/env bash
# Runs the real program in its own virtual X server and drives it like a user: the window fills
# the screen and takes odd input, a second copy ends at once with 0 while the first keeps running,
# and closing the window, a stop signal or the end of the X server ends the program with 0.
# Usage: program_test.sh CASE SCRIBBIX XCLOSE
set -uo pipefail
case_name=$1 prog=$2 xclose=$3
screen_w=1152 screen_h=864

work=$(mktemp -d)
pids=()
xvfb=
# True while process $1 runs (a process that ended but was not yet reaped does not count).
alive() {
  local state
  state=$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)
  [ -n "$state" ] && [ "$state" != Z ]
}
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
  # A server stopped with TERM removes its lock file and socket; a killed one leaves them, and
  # servers starting later race over the stale lock.
  if [ -n "$xvfb" ]; then
    kill -TERM "$xvfb" 2>/dev/null
    for _ in $(seq 100); do alive "$xvfb" || break; sleep 0.05; done
    kill -KILL "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
export SDL_AUDIODRIVER=dummy
unset SCRIBBIX_SCREEN
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "FAIL ($case_name): $*" >&2
  echo "display ${DISPLAY:-none}; program output:" >&2
  cat "$work/program.log" >&2 2>/dev/null
  exit 1
}

# The state and kernel wait channel of each thread of a process that hangs.
threads() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s:%s ' "$(cut -d' ' -f3 "$t/stat" 2>/dev/null)" "$(cat "$t/wchan" 2>/dev/null)"
  done
}

# Waits up to 120 s (the machine may be busy) for the program's window and sets $win; fails at
# once, with the exit status, when the program ends first.
wait_window() {
  local deadline=$((SECONDS + 120)) rc
  while [ "$SECONDS" -lt "$deadline" ]; do
    win=$(xdotool search --name '^Scribbix v1\.0\.0$' 2>/dev/null | head -1)
    [ -n "$win" ] && return 0
    if ! alive "$pid"; then
      wait "$pid"; rc=$?
      fail "program ended with status $rc before its window appeared"
    fi
    sleep 0.1
  done
  fail "no window after 120 s; threads (state:wait channel): $(threads "$pid")"
}

# Waits up to 120 s for process $1 to end; fails if it does not or its exit code is not $2.
expect_exit() {
  local pid=$1 want=$2 rc deadline=$((SECONDS + 120))
  while alive "$pid" && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  alive "$pid" && fail "process $pid still running; threads (state:wait channel): $(threads "$pid")"
  wait "$pid"; rc=$?
  [ "$rc" = "$want" ] || fail "exit code $rc, expected $want"
}

# A private X server on a display it picks itself (-displayfd writes the number once it accepts
# connections), so cases and other test runs never share a server.
start_xvfb() {
  local deadline=$((SECONDS + 60))
  Xvfb -displayfd 9 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp 9>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb=$!
  until grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null; do
    alive "$xvfb" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    [ "$SECONDS" -lt "$deadline" ] || fail "Xvfb not ready after 60 s"
    sleep 0.05
  done
  export DISPLAY=":$(cat "$work/display")"
}

start() {
  "$prog" >>"$work/program.log" 2>&1 &
  pids+=($!)
  pid=$!
  wait_window
}

geometry() { xwininfo -id "$1" | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h}'; }

start_xvfb

case "$case_name" in
window_input_close)
  start
  [ "$(geometry "$win")" = "${screen_w}x${screen_h}" ] || fail "window is $(geometry "$win")"
  xwininfo -id "$win" | grep -q 'Absolute upper-left X:  0' || fail "window not at the left edge"
  xdotool mousemove --window "$win" 200 150 click 1 click 3 mousedown 1 mousemove 260 190 mouseup 1 \
    click 4 click 5 key --window "$win" a eacute ctrl+z Escape Return KP_1 F5 || fail "xdotool"
  # The close request queues behind the input: the program has handled all of it before it can
  # end with 0; a crash on input shows as another exit code or a window that is gone.
  xwininfo -id "$win" >/dev/null 2>&1 || fail "window gone after the input"
  "$xclose" "$win" || fail "xclose"
  expect_exit "$pid" 0
  ;;
second_copy_exits_at_once)
  start
  # The limit only keeps a hanging copy from stalling the run; no timing is asserted.
  timeout 120 "$prog" >"$work/second.log" 2>&1; rc=$?
  [ "$rc" = 0 ] || fail "second copy exit code $rc"
  [ -s "$work/second.log" ] && fail "second copy printed: $(cat "$work/second.log")"
  alive "$pid" || fail "first copy ended"
  [ "$(xdotool search --name '^Scribbix v1\.0\.0$' | wc -l)" = 1 ] || fail "not exactly one window"
  kill -TERM "$pid"
  expect_exit "$pid" 0
  ;;
sigterm|sigint|sighup)
  start
  kill -"${case_name#sig}" "$pid"
  expect_exit "$pid" 0
  ;;
display_lost)
  start
  # The X server goes away under the program (a logout, a crash): it saves and ends with 0;
  # Xlib's own handler would end it with 1 and save nothing.
  kill -TERM "$xvfb"
  wait "$xvfb" 2>/dev/null
  xvfb=
  expect_exit "$pid" 0
  ;;
screen_override)
  export SCRIBBIX_SCREEN=800x600
  start
  [ "$(geometry "$win")" = "800x600" ] || fail "window is $(geometry "$win")"
  kill -TERM "$pid"
  expect_exit "$pid" 0
  ;;
*) fail "unknown case" ;;
esac
echo "ok ($case_name)"
