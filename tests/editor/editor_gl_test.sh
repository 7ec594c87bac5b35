#!/usr/bin/env bash
# The picture editor on a real X server (xvfb-run, 640 x 480): rendering checks read back from the
# framebuffer, and a drag made with xdotool through the real input dispatcher that must leave
# paint where the pointer went.
# Usage: editor_gl_test.sh render CASE HARNESS DISPLAY-BASE
#        editor_gl_test.sh drag HARNESS DISPLAY-BASE SCALE   (the drawing is SCALE times the screen)
# With SX_EDITOR_SHOTS=<folder> in the environment the screenshots are kept there.
set -uo pipefail
kind=$1

if [ -z "${SX_IN_XVFB:-}" ]; then
  export SX_IN_XVFB=1
  if [ "$kind" = render ]; then base=$4; else base=$3; fi
  exec xvfb-run -a -n "$base" -s "-screen 0 640x480x24 -nolisten tcp" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
unset SCRIBBIX_SCREEN
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL ($kind): $*" >&2; exit 1; }

case "$kind" in
render)
  case_name=$2 harness=$3 shots=${SX_EDITOR_SHOTS:-}
  timeout 60 "$harness" render "$case_name" "$work/shot.png" || fail "$case_name did not match"
  [ -n "$shots" ] && cp "$work/shot.png" "$shots/editor-render-$case_name.png"
  ;;
drag)
  harness=$2 scale=$4 shots=${SX_EDITOR_SHOTS:-}
  "$harness" drag "$work/drawing.png" "$work/ready" "$scale" &
  pid=$!
  for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
  [ -e "$work/ready" ] || fail "the harness never showed a frame"
  # A slanted drag from (100, 150) to (540, 370), in small steps as a hand would make it.
  xdotool mousemove 100 150 mousedown 1 || fail "xdotool"
  for i in $(seq 1 40); do
    xdotool mousemove $((100 + i * 11)) $((150 + i * 11 / 2)) || fail "xdotool"
  done
  xdotool mouseup 1 || fail "xdotool"
  sleep 0.5
  kill -TERM "$pid"
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  wait "$pid"; rc=$?; pid=
  [ "$rc" = 0 ] || fail "harness exit code $rc"
  "$harness" check "$work/drawing.png" $((100 * scale)) $((150 * scale)) $((540 * scale)) $((370 * scale)) ||
    fail "no paint in the layer where the pointer went"
  # The last frame on screen shows it too: the stroke's regions were re-uploaded.
  "$harness" check "$work/drawing-screen.png" 100 150 540 370 || fail "the stroke is not on screen"
  if [ -n "$shots" ]; then cp "$work/drawing-screen.png" "$shots/editor-drag-$scale.png"; fi
  ;;
*) fail "unknown kind" ;;
esac
echo "ok ($kind)"
