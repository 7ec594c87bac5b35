#!/usr/bin/env python3
"""Makes the README's screenshots (docs/screenshots/studio-*.png) with the real program: a few
strokes with different pens and colours, then the screen as it starts, with the options menu
open, with popup help showing, with the panels hidden and with a manual page. Not a test.

Usage: docs/docs_screenshots.py SCRIBBIX XCLOSE OUT_DIR   (starts its own 1280x800 Xvfb)
"""
import math
import os
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
from user_session import SCREEN, Program, start_xvfb  # noqa: E402


def curve(cx, cy, rx, ry, a0, a1, n=40):
    return [(int(cx + rx * math.cos(a0 + (a1 - a0) * i / n)), int(cy + ry * math.sin(a0 + (a1 - a0) * i / n)))
            for i in range(n + 1)]


def wave(x0, x1, y, amp, periods, n=60):
    return [(int(x0 + (x1 - x0) * i / n), int(y + amp * math.sin(periods * 2 * math.pi * i / n))) for i in range(n + 1)]


def main():
    binary, xclose, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    xvfb = start_xvfb(*SCREEN)
    p = Program(binary, xclose, tempfile.mkdtemp(prefix='sx_docs_'))
    try:
        p.start()
        sw, sh = (int(v) for v in p.value('screen').split())
        p.xdo('mousemove', sw - 1, sh - 1)
        p.screenshot(os.path.join(out, 'studio-start.png'))

        def pen(tool, colour, size):
            p.click_button(tool)
            p.click_button(colour)
            p.click_button(size)
            p.wait(lambda: p.value('selectedColour') == colour[6:] and p.value('penSizeIndex') == size[4:], 'pen')

        def draw(points):
            before = p.undo_counts()[0]
            p.stroke(points)
            p.wait(lambda: p.undo_counts()[0] > before or p.undo_counts()[0] == 26, 'the stroke')

        # Sky, hills, a sun, grass and a signature of sorts.
        pen('tool1', 'colour17', 'size5')                      # soft pen, light blue
        for y in (130, 190, 250):
            draw(wave(260, 1240, y, 12, 1.5))
        pen('tool3', 'colour22', 'size5')                      # dark 3D pen, brown
        draw(curve(600, 740, 360, 230, math.pi * 1.08, math.pi * 1.92))
        pen('tool4', 'colour10', 'size4')                      # medium 3D pen, green
        draw(curve(990, 760, 250, 170, math.pi * 1.08, math.pi * 1.92))
        pen('tool5', 'colour7', 'size5')                       # light 3D pen, yellow
        for r in (18, 36, 54):
            draw(curve(1080, 170, r, r, 0, 2 * math.pi))
        pen('tool6', 'colour19', 'size3')                      # glitter pen, magenta
        draw(wave(300, 700, 420, 30, 2))
        pen('tool0', 'colour15', 'size2')                      # ordinary pen, dark blue
        draw(wave(420, 1180, 772, 6, 7))

        p.xdo('mousemove', sw - 1, sh - 1)
        p.screenshot(os.path.join(out, 'studio-default.png'))
        p.click_button('options')
        p.wait(lambda: p.menu_items('Options'), 'the Options menu')
        p.xdo('mousemove', *next((x, y) for x, y, _, t in p.menu_items('Options') if t == 'Export Drawing'))
        p.wait(lambda: p.value('popup') == '1', 'the popup')
        p.screenshot(os.path.join(out, 'studio-menu.png'))
        p.xdo('key', 'Escape')
        p.wait(lambda: not p.windows(), 'the menu to close')
        p.xdo('mousemove', *p.button('tool4'))
        p.wait(lambda: p.value('popup') == '1', 'the popup')
        p.screenshot(os.path.join(out, 'studio-popup-help.png'))
        p.click((sw // 2, sh // 2), 3)
        p.wait(lambda: p.value('panelsHidden') == '1' and not any(l.startswith('button ') for l in p.lines()),
               'the panels to go')
        p.xdo('mousemove', sw - 1, sh - 1)
        p.screenshot(os.path.join(out, 'studio-panels-hidden.png'))
        p.click((sw // 2, sh // 2), 3)
        p.wait(lambda: p.value('panelsHidden') == '0', 'the panels to come back')
        p.click_button('options')
        p.choose('Options', 'Manual')
        p.choose('Manual', 'Color Palette')
        p.wait(lambda: 'Manual' in p.windows() and not p.menu_items('Manual'), 'the manual page')
        p.xdo('mousemove', sw - 1, sh - 1)
        p.screenshot(os.path.join(out, 'studio-manual.png'))
        p.xdo('key', 'Escape')
        p.click_button('colour15')  # the selected colour: its redefinition menu
        p.wait(lambda: p.menu_items('Colors'), 'the colours menu')
        items = p.menu_items('Colors')
        p.click(items[7][:2])  # Pink
        p.wait(lambda: p.menu_items('Pink Colors'), 'the pink shades')
        p.xdo('mousemove', sw - 1, sh - 1)
        p.screenshot(os.path.join(out, 'studio-colours.png'))
        p.xdo('key', 'Escape')
        p.close()
    finally:
        p.kill()
        xvfb.terminate()
        xvfb.wait()
    print('screenshots in', out)


if __name__ == '__main__':
    main()
