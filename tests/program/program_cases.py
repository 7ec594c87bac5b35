#!/usr/bin/env python3
"""The real program under its own virtual X server, driven like a user: the window fills the
screen and survives odd input, a second copy ends at once with 0 while the first keeps running,
and the close button, a stop signal or the end of the X server end the program with 0. The X
server and the program's launcher are the end-to-end session's.

Usage: program_cases.py CASE SCRIBBIX XCLOSE
"""
import os
import re
import signal
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'e2e'))
from user_session import TIMEOUT, TITLE, Failure, check, run  # noqa: E402

SCREEN = (1152, 864)


def placement(window):
    """(left, width, height) of a window."""
    info = subprocess.run(['xwininfo', '-id', window], capture_output=True, text=True, check=True).stdout
    return tuple(int(re.search(r'^\s+%s:\s+(-?\d+)' % k, info, re.M).group(1))
                 for k in ('Absolute upper-left X', 'Width', 'Height'))


def expect_exit(p):
    try:
        check(p.proc.wait(TIMEOUT) == 0, 'exit code %d' % p.proc.returncode)
    except subprocess.TimeoutExpired:
        raise Failure('the program did not end')


def case(name, p):
    if name == 'screen_override':
        p.env['SCRIBBIX_SCREEN'] = '800x600'
    p.start()
    if name == 'window_input_close':
        check(placement(p.window) == (0,) + SCREEN, 'window left, width, height %s' % (placement(p.window),))
        p.xdo('mousemove', '--window', p.window, 200, 150, 'click', 1, 'click', 3, 'mousedown', 1,
              'mousemove', 260, 190, 'mouseup', 1, 'click', 4, 'click', 5,
              'key', '--window', p.window, 'a', 'eacute', 'ctrl+z', 'Escape', 'Return', 'KP_1', 'F5')
        # The close request queues behind the input: the program has handled all of it before it
        # can end with 0; a crash on input shows as another exit code or a window that is gone.
        p.close()
        return
    if name == 'second_copy_exits_at_once':
        # The limit only keeps a hanging copy from stalling the run; no timing is asserted.
        second = subprocess.run([p.binary], env=p.env, capture_output=True, timeout=120)
        check(second.returncode == 0, 'second copy exit code %d' % second.returncode)
        check(not second.stdout and not second.stderr, 'second copy printed %r' % (second.stdout + second.stderr))
        check(p.proc.poll() is None, 'the first copy ended')
        windows = subprocess.run(['xdotool', 'search', '--name', TITLE], capture_output=True, text=True).stdout
        check(len(windows.split()) == 1, 'windows %s' % windows.split())
    elif name == 'screen_override':
        check(placement(p.window)[1:] == (800, 600), 'window %s' % (placement(p.window),))
    elif name == 'display_lost':
        # The X server goes away under the program (a logout, a crash): it saves and ends with 0;
        # Xlib's own handler would end it with 1 and save nothing.
        p.xvfb.terminate()
        p.xvfb.wait()
        return expect_exit(p)
    elif not name.startswith('sig'):
        raise Failure('unknown case ' + name)
    p.proc.send_signal(getattr(signal, name.upper()) if name.startswith('sig') else signal.SIGTERM)
    expect_exit(p)


if __name__ == '__main__':
    sys.exit(run(sys.argv[2], sys.argv[3], SCREEN, lambda p: case(sys.argv[1], p)))
