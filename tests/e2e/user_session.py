#!/usr/bin/env python3
"""A user's session with the real program under its own virtual X server (Xvfb -displayfd picks a
free display), driven with xdotool in a fresh home folder: the first start's defaults, a stroke,
Undo, Redo, another colour, tool and size, Drawing 2 started from "Work In Progress", drawn on and
exported (the PNG decoded and compared with the screen), the panels toggled with the right button,
closing, and a second start where the settings and both drawings come back unchanged. The program
reports what it shows through its test hook file (SCRIBBIX_TEST_STATE); every wait polls that file
or the disk, nothing sleeps for a fixed time.

Usage: user_session.py SCRIBBIX XCLOSE SHOTS_DIR
"""
import os
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

TITLE = '^Scribbix v1\\.0\\.0$'
POLL = 0.05
TIMEOUT = 60.0
SCREEN = (1280, 800)


class Failure(Exception):
    pass


def check(cond, what):
    if not cond:
        raise Failure(what)


def start_xvfb(width, height):
    """Starts Xvfb on a display it picks itself; sets DISPLAY. Returns the server process."""
    r, w = os.pipe()
    proc = subprocess.Popen(['Xvfb', '-displayfd', str(w), '-screen', '0', '%dx%dx24' % (width, height),
                             '-nolisten', 'tcp'], pass_fds=(w,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(w)
    data, deadline = b'', time.monotonic() + TIMEOUT
    while not data.endswith(b'\n'):
        ready, _, _ = select.select([r], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(r, 64) if ready else b''
        if not chunk:
            proc.kill()
            raise Failure('Xvfb did not start')
        data += chunk
    os.close(r)
    os.environ['DISPLAY'] = ':' + data.decode().strip()
    return proc


# ---- images as (width, height, rows of RGB bytes), read and written with the standard library only

def read_xwd(path):
    """The root window dump of `xwd -root`: Xvfb's 32-bit little-endian BGRX."""
    data = open(path, 'rb').read()
    f = struct.unpack('>25I', data[:100])
    width, height, order, bits, stride, masks, ncolors = f[4], f[5], f[7], f[11], f[12], f[14:17], f[19]
    check(f[2] == 2 and bits == 32 and order == 0 and masks == (0xff0000, 0xff00, 0xff),
          'unexpected screen dump format %s' % (f[:17],))
    pixels = data[f[0] + ncolors * 12:]
    rows = []
    for y in range(height):
        line = pixels[y * stride:y * stride + width * 4]
        out = bytearray(width * 3)
        out[0::3], out[1::3], out[2::3] = line[2::4], line[1::4], line[0::4]
        rows.append(bytes(out))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(tag, body):
        return struct.pack('>I', len(body)) + tag + body + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(b''.join(b'\x00' + r for r in rows), 6)) + chunk(b'IEND', b''))


def decode_png(path):
    """8-bit RGB PNG (the program exports opaque pictures; the five row filters), independent of the
    program's codec."""
    data = open(path, 'rb').read()
    check(data[:8] == b'\x89PNG\r\n\x1a\n', '%s is not a PNG file' % path)
    pos, idat = 8, b''
    while pos < len(data):
        n, tag = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        check(zlib.crc32(tag + body) & 0xffffffff == struct.unpack('>I', data[pos + 8 + n:pos + 12 + n])[0],
              'bad CRC in %s' % path)
        if tag == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
        idat += body if tag == b'IDAT' else b''
        pos += 12 + n
    check(depth == 8 and colour == 2, 'not an 8-bit RGB PNG: %d/%d' % (depth, colour))
    bpp = 3
    raw, stride = zlib.decompress(idat), width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 2:
            line = bytearray((v + b) & 255 for v, b in zip(line, prev))
        elif kind:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b, c = prev[i], prev[i - bpp] if i >= bpp else 0
                if kind == 1:
                    line[i] = (line[i] + a) & 255
                elif kind == 3:
                    line[i] = (line[i] + ((a + b) >> 1)) & 255
                else:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, rows


def differing(rows_a, rows_b, w, h, limit):
    """Number of pixels whose channels differ by more than `limit`."""
    return sum(1 for y in range(h) if rows_a[y] != rows_b[y] for i in range(0, w * 3, 3)
               if max(abs(rows_a[y][i + k] - rows_b[y][i + k]) for k in range(3)) > limit)


def non_white(rows, x0, y0, x1, y1):
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if min(rows[y][x * 3:x * 3 + 3]) < 250)


# ---- the program under test

class Program:
    def __init__(self, binary, xclose, work):
        self.binary, self.xclose, self.work = binary, xclose, work
        self.home = os.path.join(work, 'home')
        self.state_path = os.path.join(work, 'state.txt')
        self.env = dict(os.environ)
        self.env.update({
            'HOME': self.home,
            'XDG_CONFIG_HOME': os.path.join(self.home, '.config'),
            'XDG_DATA_HOME': os.path.join(self.home, '.local', 'share'),
            'XDG_RUNTIME_DIR': os.path.join(work, 'run'),
            'SDL_AUDIODRIVER': 'dummy',
            'SCRIBBIX_TEST_STATE': self.state_path,
        })
        for var in ('SCRIBBIX_SCREEN', 'XDG_PICTURES_DIR', 'XDG_DOCUMENTS_DIR', 'XDG_DESKTOP_DIR'):
            self.env.pop(var, None)
        os.makedirs(os.path.join(self.home, 'Pictures'), exist_ok=True)
        os.makedirs(self.env['XDG_RUNTIME_DIR'], mode=0o700, exist_ok=True)
        self.proc = None
        self.log = open(os.path.join(work, 'program.log'), 'ab')

    def start(self):
        if os.path.exists(self.state_path):
            os.remove(self.state_path)
        self.proc = subprocess.Popen([self.binary], env=self.env, stdout=self.log, stderr=self.log)
        # Generous: a loaded machine (or a sanitizer build) can take long to open the first window.
        self.window = self.wait(self.find_window, 'the program\'s window', timeout=2 * TIMEOUT)
        self.wait(lambda: self.value('studio') == '1' and self.picture() > 0, 'the studio and a drawing')

    def find_window(self):
        r = subprocess.run(['xdotool', 'search', '--name', TITLE], capture_output=True, text=True)
        return (r.stdout.split() or [None])[0]

    def close(self):
        subprocess.run([self.xclose, self.window], check=True)
        deadline = time.monotonic() + TIMEOUT
        while self.proc.poll() is None and time.monotonic() < deadline:
            time.sleep(POLL)
        check(self.proc.poll() is not None, 'the program did not end after its window was closed')
        check(self.proc.returncode == 0, 'exit code %d' % self.proc.returncode)

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    # -- what the program shows (the test hook's file)
    def lines(self):
        try:
            with open(self.state_path) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def value(self, key, default=None):
        return next((v for k, _, v in (l.partition(' ') for l in self.lines()) if k == key), default)

    def picture(self):
        return int(self.value('picture', '0').split()[0])

    def undo_counts(self):
        return tuple(int(v) for v in self.value('undo', '0 0').split())

    def button(self, name):
        for parts in (l.split() for l in self.lines()):
            if parts[:2] == ['button', name]:
                return int(parts[2]), int(parts[3])
        raise Failure('no button %s on screen' % name)

    def windows(self):
        return [l[7:] for l in self.lines() if l.startswith('window ')]

    def menu_items(self, title):
        """Items (x, y, checked, label) of the open menu with this title."""
        items, inside = [], False
        for line in self.lines():
            if line.startswith('window '):
                inside = line[7:] == title
            elif line.startswith('item ') and inside:
                x, y, checked, label = line[5:].split(' ', 3)
                items.append((int(x), int(y), checked == '1', label))
        return items

    def wait(self, predicate, what, timeout=TIMEOUT):
        deadline = time.monotonic() + timeout
        while True:
            if self.proc.poll() is not None:
                raise Failure('the program ended (exit code %s) while waiting for %s' % (self.proc.returncode, what))
            got = predicate()
            if got:
                return got
            if time.monotonic() > deadline:
                raise Failure('timed out waiting for %s' % what)
            time.sleep(POLL)

    def wait_value(self, key, expected):
        self.wait(lambda: self.value(key) == expected, '%s to be %s (is %s)' % (key, expected, self.value(key)))

    # -- input
    def xdo(self, *args):
        subprocess.run(['xdotool'] + [str(a) for a in args], check=True)

    def click(self, xy, button=1):
        self.xdo('mousemove', xy[0], xy[1], 'click', button)

    def click_button(self, name, button=1):
        self.click(self.button(name), button)

    def stroke(self, points):
        args = ['mousemove', points[0][0], points[0][1], 'mousedown', 1]
        for x, y in points[1:]:
            args += ['mousemove', x, y]
        self.xdo(*(args + ['mouseup', 1]))

    def choose(self, title, label):
        items = self.wait(lambda: self.menu_items(title), 'the menu "%s"' % title)
        for x, y, _, text in items:
            if text == label:
                return self.click((x, y))
        raise Failure('no item "%s" in menu "%s": %s' % (label, title, [i[3] for i in items]))

    def close_windows(self, what):
        self.xdo('key', 'Escape')
        self.wait(lambda: not self.windows(), what + ' to close')

    def export(self):
        """(attempts, ok, path) of the exports of this run."""
        count, ok, path = (self.value('export', '0 0 ').split(' ', 2) + [''])[:3]
        return int(count), ok == '1', path

    def export_now(self, what):
        before = self.export()[0]
        self.click_button('export')
        count, ok, path = self.wait(lambda: self.export()[0] > before and self.export(), what)
        check(ok, '%s failed' % what)
        self.wait(lambda: 'Export' in self.windows(), 'the export message')
        self.close_windows('the export message')
        return path

    def screenshot(self, path):
        # Menus and messages fade in and out: the picture is taken once none is fading.
        self.wait(lambda: self.value('fading') == '0', 'the windows to finish fading')
        dump = os.path.join(self.work, 'screen.xwd')
        with open(dump, 'wb') as f:
            subprocess.run(['xwd', '-root', '-silent'], stdout=f, check=True)
        shot = read_xwd(dump)
        write_png(path, *shot)
        return shot


def stroke_points(x0, y0, x1, y1, n=24, wave=0):
    return [(int(x0 + (x1 - x0) * i / n), int(y0 + (y1 - y0) * i / n + wave * ((-1) ** i) * (i % 3)))
            for i in range(n + 1)]


def session(p, shots):
    step = lambda text: print('--', text, flush=True)  # noqa: E731

    step('first start, no settings')
    p.start()
    check(p.value('selectedTool') == '1020000' and p.value('toolBoxTool') == '1020000', 'not the Dark 3D Pen')
    check(p.value('penSizeIndex') == '3', 'pen size index is %s' % p.value('penSizeIndex'))
    check(p.value('selectedColour') == '6', 'colour index is %s' % p.value('selectedColour'))
    check(p.value('paint') == '0.5 0.5 0', 'paint colour %s is not palette entry 6' % p.value('paint'))
    sw, sh = (int(v) for v in p.value('screen').split())
    check((sw, sh) == SCREEN, 'the program sees a %dx%d screen, not its own X server' % (sw, sh))
    first = p.picture()
    p.xdo('mousemove', sw - 1, sh - 1)
    p.screenshot(os.path.join(shots, 'studio-default.png'))

    step('a stroke, undo, redo')
    p.stroke(stroke_points(sw * 0.35, sh * 0.3, sw * 0.7, sh * 0.6, wave=6))
    p.wait(lambda: p.undo_counts() == (1, 0), 'the stroke\'s undo step')
    p.click_button('undo')
    p.wait(lambda: p.undo_counts() == (0, 1), 'the undo')
    p.click_button('redo')
    p.wait(lambda: p.undo_counts() == (1, 0), 'the redo')

    step('another colour, tool and size')
    p.click_button('colour4')
    p.wait_value('selectedColour', '4')
    p.wait_value('paint', '1 0 0')
    p.click_button('tool0')
    p.wait_value('toolBoxTool', '1')
    p.click_button('size5')
    p.wait_value('penSizeIndex', '5')

    step('Work In Progress: start Drawing 2')
    p.click_button('workInProgress')
    items = p.wait(lambda: p.menu_items('Work In Progress'), 'the Work In Progress menu')
    check(len(items) == 10, '%d slots' % len(items))
    check(items[0][3] == 'Drawing 1' and items[0][2], 'slot 0: %s' % (items[0],))
    check(all(i[3] == 'not started yet' for i in items[1:]), 'other slots: %s' % [i[3] for i in items[1:]])
    p.click(items[1][:2])
    p.wait(lambda: p.picture() not in (0, first), 'a new drawing')
    second = p.picture()
    slots = [int(v) for v in p.value('slots').split()]
    check(slots[0] == first and slots[1] == second, 'slots %s' % slots)

    step('draw on Drawing 2 and export it')
    p.stroke(stroke_points(sw * 0.3, sh * 0.7, sw * 0.8, sh * 0.25, wave=10))
    p.wait(lambda: p.undo_counts() == (1, 0), 'the stroke on Drawing 2')
    export2 = p.export_now('the export of Drawing 2')
    check(os.path.dirname(export2) == os.path.join(p.home, 'Pictures', 'Scribbix'), 'exported into %s' % export2)
    check(re.fullmatch(r'Drawing 2 \(\d{1,10}\)\.png', os.path.basename(export2)), 'file name %s' % export2)
    w2, h2, png2 = decode_png(export2)
    check((w2, h2) == (sw, sh), 'exported size %dx%d' % (w2, h2))

    step('right-click hides the panels; the screen shows the exported picture')
    p.click((sw // 2, sh // 5), 3)
    p.wait_value('panelsHidden', '1')
    p.xdo('mousemove', sw - 1, sh - 1)
    # The frame after the toggle is on screen once the hook has written the state of that frame.
    p.wait(lambda: not any(l.startswith('button ') for l in p.lines()), 'the panels to go')
    _, _, screen = p.screenshot(os.path.join(shots, 'studio-panels-hidden.png'))
    # The screen encodes with a 1024-entry table, the export with 4096: a level or two apart at most.
    bad = differing(screen, png2, sw, sh, 2)
    check(bad <= 600, '%d pixels of the export differ from the screen' % bad)  # the pointer, at most
    check(non_white(png2, int(sw * 0.3), int(sh * 0.25), int(sw * 0.8), int(sh * 0.7)) > 2000,
          'the stroke is missing from the export')
    check(non_white(png2, 0, 0, sw, int(sh * 0.18)) == 0, 'ink where nothing was drawn')
    p.click((sw // 2, sh // 5), 3)
    p.wait_value('panelsHidden', '0')

    step('back to Drawing 1 and export it too')
    p.click_button('workInProgress')
    p.choose('Work In Progress', 'Drawing 1')
    p.wait(lambda: p.picture() == first, 'Drawing 1')
    export1 = p.export_now('the export of Drawing 1')
    check(os.path.basename(export1).startswith('Drawing 1 ('), 'file name %s' % export1)
    _, _, png1 = decode_png(export1)
    check(non_white(png1, int(sw * 0.35), int(sh * 0.3), int(sw * 0.7), int(sh * 0.6)) > 1000,
          'Drawing 1\'s stroke is missing')

    step('close')
    p.close()
    config = os.path.join(p.home, '.config', 'Vekstal', 'Sx', 'DATA2.BIN')
    check(os.path.isfile(config) and os.path.getsize(config) >= 24, 'no settings file')
    portfolio = os.path.join(p.home, '.local', 'share', 'Vekstal', 'Scribbix_Stuff', 'Portfolio')
    drawings = [d for d in os.listdir(portfolio) if os.path.isfile(os.path.join(portfolio, d, 'Pic.Head'))]
    check(len(drawings) == 2, 'drawing folders %s' % os.listdir(portfolio))
    for d in drawings:
        undo = os.path.join(portfolio, d, 'Undo')
        check(not os.path.isdir(undo) or not any(f.endswith('.Undo') for f in os.listdir(undo)),
              'undo files left in %s' % undo)

    step('second start: everything comes back')
    p.start()
    check(p.value('toolBoxTool') == '1' and p.value('selectedColour') == '4' and p.value('penSizeIndex') == '5',
          'settings not restored: tool %s colour %s size %s' % (p.value('toolBoxTool'), p.value('selectedColour'),
                                                                 p.value('penSizeIndex')))
    check(p.value('paint') == '1 0 0', 'paint colour %s' % p.value('paint'))
    check([int(v) for v in p.value('slots').split()][:2] == [first, second], 'slots %s' % p.value('slots'))
    p.click_button('workInProgress')
    items = p.wait(lambda: p.menu_items('Work In Progress'), 'the Work In Progress menu')
    labels = [i[3] for i in items]
    check(labels[:2] == ['Drawing 1', 'Drawing 2'] and all(l == 'not started yet' for l in labels[2:]),
          'slots after restart: %s' % labels)
    check(items[0][2] and not items[1][2], 'Drawing 1 is the current one')
    p.close_windows('the menu')
    for number, label, before in ((first, 'Drawing 1', png1), (second, 'Drawing 2', png2)):
        if p.picture() != number:
            p.click_button('workInProgress')
            p.choose('Work In Progress', label)
            p.wait(lambda: p.picture() == number, label)
        again = p.export_now('the export of %s after the restart' % label)
        check(os.path.basename(again).startswith(label + ' ('), 'file name %s' % again)
        check(decode_png(again)[2] == before, '%s changed across the restart' % label)

    step('the X server goes away under the program (a logout): the last stroke is kept')
    number = p.picture()
    p.stroke(stroke_points(sw * 0.2, sh * 0.85, sw * 0.6, sh * 0.75, wave=8))
    p.wait(lambda: p.undo_counts() == (1, 0), 'the last stroke')
    _, _, last = decode_png(p.export_now('the export before the logout'))
    p.xvfb.terminate()
    p.xvfb.wait()
    try:
        check(p.proc.wait(TIMEOUT) == 0, 'exit code %d when the display went away' % p.proc.returncode)
    except subprocess.TimeoutExpired:
        raise Failure('the program did not end when its display went away')
    p.xvfb = start_xvfb(*SCREEN)
    p.env['DISPLAY'] = os.environ['DISPLAY']
    p.start()
    check(p.picture() == number, 'drawing %d is current, not %d' % (p.picture(), number))
    check(decode_png(p.export_now('the export after the logout'))[2] == last, 'the last stroke was lost')
    p.close()


def run(binary, xclose, screen, body):
    """Runs body(program) against a fresh X server and home folder; 0 when it passed."""
    work = tempfile.mkdtemp(prefix='sx_e2e_')
    xvfb = start_xvfb(*screen)
    p = Program(binary, xclose, work)
    p.xvfb = xvfb
    try:
        body(p)
    except (Failure, subprocess.SubprocessError) as e:
        print('FAIL:', e, file=sys.stderr)
        print('last state:\n' + '\n'.join(p.lines()), file=sys.stderr)
        p.log.flush()
        sys.stderr.write(open(os.path.join(work, 'program.log'), errors='replace').read()[-4000:])
        return 1
    finally:
        p.kill()
        p.xvfb.terminate()
        p.xvfb.wait()
    shutil.rmtree(work, ignore_errors=True)
    print('ok')
    return 0


if __name__ == '__main__':
    os.makedirs(sys.argv[3], exist_ok=True)
    sys.exit(run(sys.argv[1], sys.argv[2], SCREEN, lambda p: session(p, sys.argv[3])))
