#!/usr/bin/env python3
"""Converts an X window dump (xwd -root, ZPixmap, 24 or 32 bits per pixel) into an RGB PNG.
Usage: xwd2png.py IN.xwd OUT.png [x y w h]   (optional crop)"""
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, 'rb').read()
    header_size = struct.unpack('>I', data[0:4])[0]
    fields = struct.unpack('>25I', data[0:100])
    (hsize, version, fmt, depth, width, height, xoffset, byte_order, bitmap_unit, bitmap_bit_order,
     bitmap_pad, bits_per_pixel, bytes_per_line, visual_class, red_mask, green_mask, blue_mask,
     bits_per_rgb, colormap_entries, ncolors, win_w, win_h, win_x, win_y, border) = fields
    if fmt != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit('unsupported xwd: format %d, %d bits per pixel' % (fmt, bits_per_pixel))
    offset = header_size + ncolors * 12
    pixels = data[offset:offset + bytes_per_line * height]
    bpp = bits_per_pixel // 8

    def shift(mask):
        s = 0
        while mask and not (mask >> s) & 1:
            s += 1
        return s
    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = []
    fast = bpp == 4 and byte_order == 0 and (red_mask, green_mask, blue_mask) == (0xff0000, 0xff00, 0xff)
    for y in range(height):
        if fast:  # B, G, R, X bytes
            line = pixels[y * bytes_per_line:y * bytes_per_line + width * 4]
            out = bytearray(width * 3)
            out[0::3] = line[2::4]
            out[1::3] = line[1::4]
            out[2::3] = line[0::4]
            rows.append(bytes(out))
            continue
        line = pixels[y * bytes_per_line:y * bytes_per_line + width * bpp]
        out = bytearray(width * 3)
        for x in range(width):
            chunk = line[x * bpp:x * bpp + bpp]
            v = int.from_bytes(chunk, 'little' if byte_order == 0 else 'big')
            out[x * 3] = (v & red_mask) >> rs
            out[x * 3 + 1] = (v & green_mask) >> gs
            out[x * 3 + 2] = (v & blue_mask) >> bs
        rows.append(bytes(out))
    return width, height, rows


def write_png(path, width, height, rows):
    raw = b''.join(b'\x00' + r for r in rows)

    def chunk(tag, body):
        c = struct.pack('>I', len(body)) + tag + body
        return c + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)


def main():
    width, height, rows = read_xwd(sys.argv[1])
    if len(sys.argv) == 7:
        x, y, w, h = (int(v) for v in sys.argv[3:7])
        rows = [r[x * 3:(x + w) * 3] for r in rows[y:y + h]]
        width, height = w, h
    write_png(sys.argv[2], width, height, rows)


if __name__ == '__main__':
    main()
