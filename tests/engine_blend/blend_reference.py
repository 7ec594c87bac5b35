#!/usr/bin/env python3
"""Independent reference for the blend modes; prints the test vectors of blend_vectors.inc.

Written from the mode formulas alone. Python floats are doubles; f32() rounds to single precision
(struct packing) at the named rounding points and for every stored result.
Run: python3 blend_reference.py > blend_vectors.inc
"""
import math
import random
import struct

def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]

ROUND = True  # switched off only to find inputs that tell the rounding points apart

def rp(x):  # a named single-precision rounding point
    return f32(x) if ROUND else x

def fl(v):  # divisor floor
    return v if v > 0.0625 else 0.0625

def per_channel(op):
    return lambda B, L: [op(b, l) for b, l in zip(B, L)]

def mean(c):
    return rp((c[0] + c[1] + c[2]) / 3)

def soft_light(b, l):
    ib, il = rp(1 - b), rp(1 - l)
    return ((ib * b * b * l + b) * l + b * il * l)

def vivid(b, l):
    d = rp(fl(2 * (1.25 - l)))
    return (b / d) * l + (1 - (1 - b) * d) * (1 - l)

def pin(b, l):
    t = rp(2 * l)
    return t if b > t else (t - 1 if b < t - 1 else b)

def pick_own(near):
    def f(B, L):
        sb, sl = B[0] + B[1] + B[2], L[0] + L[1] + L[2]
        out = []
        for b, l in zip(B, L):
            db, dl = abs(rp(sb - 3 * b)), abs(rp(sl - 3 * l))
            out.append(b if (db < dl if near else db > dl) else l)
        return out
    return f

def pick_combo(near):
    def f(B, L):
        m = rp((B[0] + B[1] + B[2] + (L[0] + L[1] + L[2])) / 6)
        out = []
        for b, l in zip(B, L):
            db, dl = abs(rp(m - b)), abs(rp(m - l))
            out.append(b if (db < dl if near else db > dl) else l)
        return out
    return f

def means(op):
    return lambda B, L: [op(b, l, mean(B), mean(L)) for b, l in zip(B, L)]

def take(mask):
    return lambda B, L: [l if m else b for b, l, m in zip(B, L, mask)]

def rgb_sum(blend_props):
    def f(B, L):
        nb, nl = min(0.0, *B), min(0.0, *L)
        sb = rp(B[0] + B[1] + B[2] - 3 * nb)
        sl = rp(L[0] + L[1] + L[2] - 3 * nl)
        P, n_p, s_p, n, s = (L, nl, sl, nb, sb) if blend_props else (B, nb, sb, nl, sl)
        w = [rp((c - n_p) / s_p) for c in P] if s_p > 0 else [f32(0.333), f32(0.333), f32(0.334)]
        return [n + wk * s for wk in w]
    return f

def to_hsl(c):
    off = min(c) if min(c) < 0 else 0.0
    x = [v - off for v in c]
    scale = max(x) if max(x) > 1 else 1.0
    r, g, b = [v / scale for v in x]
    mx, mn = max(r, g, b), min(r, g, b)
    l = rp(0.5 * (mx + mn))
    d = mx - mn
    if d == 0:
        return 0.0, 0.0, l, off, scale
    s = rp(d / (mx + mn) if mx + mn < 1 else d / (2 - mx - mn))
    if r == mx:
        h = g - b
    elif g == mx:
        h = 2 * d + (b - r)
    else:
        h = 4 * d + (r - g)
    h = rp(h / (6 * d))
    if h < 0:
        h = rp(h + 1)
    elif h >= 1:
        h = rp(h - 1)
    return h, s, l, off, scale

def from_hsl(h, s, l, off, scale):
    # six sectors of 60 degrees; f is the position inside the sector
    if s == 0:
        c = [l, l, l]
    else:
        q = l * (1 + s) if l < 0.5 else l + s - l * s
        p = 2 * l - q
        i = math.floor(h * 6)
        f = h * 6 - i
        rise, fall = p + (q - p) * f, q - (q - p) * f
        c = [(q, rise, p), (fall, q, p), (p, q, rise), (p, fall, q), (rise, p, q), (q, p, fall)][int(i) % 6]
    return [v * scale + off for v in c]

def wrap(h):
    return h + 1 if h < 0 else (h - 1 if h > 1 else h)

def hsl_mode(kind):
    def f(B, L):
        hb, sb, lb, ob, kb = to_hsl(B)
        hl, sl, ll, ol, kl = to_hsl(L)
        h, s, l, o, k = hb, sb, lb, ob, kb
        if kind == 'color':
            h, s = hl, sl
        elif kind == 'hue':
            h = hl
        elif kind == 'sat':
            s = sl
        elif kind == 'lum':
            l, o, k = ll, ol, kl
        elif kind == 'addhue':
            h = rp(wrap(hb + 2 * (hl - hb)))
        elif kind == 'subhue':
            h = rp(wrap(hb - (hl - hb)))
        return from_hsl(h, s, l, o, k)
    return f

MODES = {
    1: per_channel(lambda b, l: b + l),
    2: per_channel(lambda b, l: b - l),
    58: per_channel(lambda b, l: l - b),
    3: per_channel(lambda b, l: b * l),
    4: per_channel(lambda b, l: b / fl(l)),
    5: per_channel(lambda b, l: abs(rp(l - b))),
    6: per_channel(lambda b, l: 1 - abs(1 - b - l)),
    7: per_channel(lambda b, l: l + b - 2 * b * l),
    8: per_channel(max),
    9: per_channel(min),
    10: pick_own(True),
    11: pick_own(False),
    12: pick_combo(True),
    13: pick_combo(False),
    14: means(lambda b, l, mb, ml: b + (l - ml)),
    15: means(lambda b, l, mb, ml: b - (l - ml)),
    16: means(lambda b, l, mb, ml: (b - mb) * (l - ml) + mb),
    17: means(lambda b, l, mb, ml: l + (b - mb)),
    18: means(lambda b, l, mb, ml: l - (b - mb)),
    19: means(lambda b, l, mb, ml: (b - mb) * (l - ml) + ml),
    20: per_channel(lambda b, l: 1 - (1 - l) * (1 - b)),
    21: per_channel(lambda b, l: (1 - b) * (b * l) + (1 - (1 - l) * (1 - b)) * b),
    22: per_channel(lambda b, l: b / fl(1 - l)),
    23: per_channel(lambda b, l: l / fl(1 - b)),
    24: per_channel(lambda b, l: 0.5 * b / fl(1 - l) if b + l < 1 else 1 - 0.5 * (1 - l) / fl(b)),
    25: per_channel(lambda b, l: 1 - (1 - b) / fl(l)),
    26: per_channel(lambda b, l: 1 - (1 - l) / fl(b)),
    27: per_channel(lambda b, l: 0.5 * l / fl(1 - b) if b + l < 1 else 1 - 0.5 * (1 - b) / fl(l)),
    28: per_channel(lambda b, l: l + b - 1),
    29: per_channel(lambda b, l: (1 - l) * (b * l) + (1 - (1 - b) * (1 - l)) * l),
    30: per_channel(soft_light),
    31: per_channel(vivid),
    32: per_channel(lambda b, l: 2 * l + b - 1),
    33: per_channel(pin),
    34: per_channel(lambda b, l: b * b / fl(1 - l)),
    35: per_channel(lambda b, l: l * l / fl(1 - b)),
    36: per_channel(lambda b, l: (1 - (1 - b) ** 2) / fl(l)),
    37: per_channel(lambda b, l: (1 - (1 - l) ** 2) / fl(b)),
    38: per_channel(lambda b, l: 2 * l + b - 1),
    55: per_channel(lambda b, l: 1.0 if b + l >= 1 else 0.0),
    39: hsl_mode('color'),
    40: hsl_mode('hue'),
    41: hsl_mode('sat'),
    42: hsl_mode('lum'),
    43: hsl_mode('addhue'),
    44: hsl_mode('subhue'),
    56: rgb_sum(True),
    57: rgb_sum(False),
    49: take((1, 0, 0)), 50: take((0, 1, 0)), 51: take((0, 0, 1)),
    52: take((0, 1, 1)), 53: take((1, 0, 1)), 54: take((1, 1, 0)),
}

def hexf(x):
    if x == 0:
        return '-0.0f' if math.copysign(1, x) < 0 else '0.0f'
    mant, exp = float.hex(f32(x)).split('p')
    return mant.rstrip('0').rstrip('.') + 'p' + exp + 'f'

def main():
    rnd = random.Random(20261206)
    fixed = [
        ((0.5, 0.25, 0.75), (0.3, 0.6, 0.9)),
        ((0.2, 0.8, 0.4), (0.0, 1.0, -0.25)),
        ((2.0, 1.0, 1.0), (0.0, 0.0, 1.0)),
        ((1.0, 1.0, 1.0), (0.5, 0.5, 0.5)),
        ((-0.3, 0.4, 1.7), (0.9, -0.1, 0.3)),
        ((0.0, 0.0, 0.0), (0.0, 0.0, 0.0)),
        ((0.25, 0.5, 0.375), (0.75, 0.5, 0.625)),  # B + L exactly 1
        ((0.03125, 0.96875, 0.5), (0.96875, 0.03125, 0.5)),  # B + L exactly 1 with a floored divisor
        ((0.5, 0.5, 0.5), (0.0, 0.0, 0.0)),  # black blend: the fixed split of a sum
        ((0.2, 0.6, 0.4), (0.3, 0.3, 0.3)),  # grey blend: hue 0
    ]
    cases = [(tuple(f32(v) for v in b), tuple(f32(v) for v in l)) for b, l in fixed]
    for _ in range(3):
        cases.append((tuple(f32(rnd.uniform(-0.5, 1.8)) for _ in range(3)),
                      tuple(f32(rnd.uniform(-0.5, 1.8)) for _ in range(3))))
    for _ in range(2):
        cases.append((tuple(f32(rnd.random()) for _ in range(3)), tuple(f32(rnd.random()) for _ in range(3))))
    global ROUND
    print('// Generated by blend_reference.py: {mode, base rgb, blend rgb, expected rgb}.')
    for mode in sorted(MODES):
        # plus up to four inputs whose result changes when the rounding points are left out
        extra = []
        for _ in range(30000):
            if len(extra) == 4:
                break
            B = tuple(f32(rnd.uniform(-0.5, 1.8)) for _ in range(3))
            L = tuple(f32(rnd.uniform(-0.5, 1.8)) for _ in range(3))
            ROUND = True
            a = [f32(v) for v in MODES[mode](B, L)]
            ROUND = False
            b = [f32(v) for v in MODES[mode](B, L)]
            ROUND = True
            if a != b:
                extra.append((B, L))
        for B, L in cases + extra:
            X = [f32(v) for v in MODES[mode](B, L)]
            vals = ', '.join(hexf(v) for v in (*B, *L, *X))
            print('{%d, {%s}},' % (mode, vals))

if __name__ == '__main__':
    main()
