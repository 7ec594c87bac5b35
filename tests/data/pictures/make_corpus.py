#!/usr/bin/env python3
"""Writes the seed corpus of store files: valid and malformed single-form picture files (pic-*),
picture headers (head-*) and layer header files (lay-*). Built from the file format alone, so the
readers are checked against an independent writer. The test suite expects every *-valid-* file to
be read and every *-bad-* file to be refused; the fuzz target starts from all of them.

Run from anywhere: python3 make_corpus.py (writes beside itself)."""
import os
import struct

OUT = os.path.dirname(os.path.abspath(__file__))


def chunk(tag, payload=b""):
    payload += b"\0" * ((4 - len(payload) % 4) % 4)
    return struct.pack("<II", 8 + len(payload), tag) + payload


def raw_chunk(size, tag, payload=b""):
    return struct.pack("<II", size, tag) + payload


def i32(*v):
    return struct.pack("<%di" % len(v), *v)


def f32(*v):
    return struct.pack("<%df" % len(v), *v)


FILE_HEADER = chunk(0x7B6, b"TessellatoriumPic\x01\x01\x01")


def pic_header(w, h, ids, current, counter=None, view_mode=3, mag=4.0, red=4.0, number=7, empty=None):
    out = chunk(0x20001, i32(max(ids + [0]) if counter is None else counter))
    out += chunk(0x20002, i32(w, h))
    out += chunk(0x20003, i32(*(ids + [0])))
    out += chunk(0x20004, bytes([0, 1, view_mode & 0xFF, 0]))
    out += chunk(0x20005, i32(w // 2, h // 2) + f32(mag, red))
    out += chunk(0x20006, i32(current))
    out += chunk(0x20007, f32(1.0, 1.0, 1.0))
    out += chunk(0x20008, struct.pack("<IIII", number, 0, 0, 0))
    out += chunk(0x2000B)
    if empty is not None:
        out += chunk(0x2000D, bytes([empty, 0, 0, 0]))
    return out


def colour_block(protect=0):
    return chunk(0x20004, chunk(0x40000001, bytes([protect, 0, 0, 0])))


def mono_block(outside):
    return chunk(0x20004, chunk(0x20001, f32(outside)))


def layer_subchunks(type_, rect, full, lid=None, bpc=4, channels=None, name=b"Ink", visible=1,
                    opacity=100.0, blend=0, block=None, thumb=None):
    if channels is None:
        channels = 4 if type_ == 1 else 1
    out = chunk(0x20001, i32(type_, bpc, channels))
    if lid is not None:
        out += chunk(0x20009, i32(lid))
    out += chunk(0x20002, i32(*rect, *full))
    out += chunk(0x20003, bytes([visible, 0, 0, 0]))
    out += chunk(0x2000A, f32(opacity) + i32(blend))
    if block is None:
        block = colour_block() if type_ == 1 else mono_block(1.0 if type_ == 6 else 0.0)
    out += block
    if thumb is not None:
        out += chunk(0x20005, thumb)
    out += chunk(0x20006, name)
    return out


def pixels(rect, channels, seed):
    n = rect[2] * rect[3] * channels
    vals = [((i * 37 + seed) % 101) / 100.0 for i in range(n)]
    if channels == 4:
        for i in range(3, n, 4):
            vals[i] = 1.0  # opaque, so the content really reaches every edge of the rectangle
    return f32(*vals)


def layer_chunk(type_, rect, full, lid=None, with_pixels=True, seed=1, extra=b"", **kw):
    body = layer_subchunks(type_, rect, full, lid, **kw)
    body += extra
    if with_pixels:
        channels = kw.get("channels", 4 if type_ == 1 else 1)
        body += chunk(0x20008, pixels(rect, channels, seed))
    return chunk(0x20009, body)


def single(w, h, layers, name=b"Drawing", ids=None, current=1, **kw):
    out = FILE_HEADER + pic_header(w, h, ids or [], current, **kw)
    if name is not None:
        out += chunk(0x2000A, name)
    for l in layers:
        out += l
    return out


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    W, H = 8, 6
    full = (W, H)
    ink = layer_chunk(1, (2, 1, 3, 2), full, lid=1)
    second = layer_chunk(1, (0, 0, 8, 6), full, lid=2, seed=5, name=b"Paper")
    sel = layer_chunk(6, (1, 1, 2, 2), full, lid=3, seed=9, name=b"Sel")

    # ---- valid single-form files ----
    write("pic-valid-one-layer.tesp", single(W, H, [ink], ids=[1]))
    write("pic-valid-two-layers-selection.tesp", single(W, H, [ink, second, sel], ids=[1, 2, 3], current=2))
    write("pic-valid-layout-no-pixels.tesp",
          single(W, H, [layer_chunk(1, (2, 1, 3, 2), full, lid=1, with_pixels=False)], ids=[1]))
    write("pic-valid-export-no-name-no-ids.tesp",
          single(W, H, [layer_chunk(1, (0, 0, 8, 6), full)], name=None, current=0))
    write("pic-valid-name-4.tesp", single(W, H, [ink], name=b"Abcd", ids=[1]))
    write("pic-valid-name-20.tesp", single(W, H, [ink], name=b"A" * 20, ids=[1]))
    write("pic-valid-wax-texture.tesp",
          single(W, H, [ink, layer_chunk(3, (0, 0, 8, 6), full, lid=4, seed=3, name=b"Wax"),
                        layer_chunk(5, (0, 0, 8, 6), full, lid=5, seed=4, name=b"Tex")], ids=[1, 4, 5]))
    write("pic-valid-unknown-chunks-skipped.tesp",
          single(W, H, [ink], ids=[1]) + chunk(0x7777, b"future"))
    write("pic-valid-view-mode-0.tesp", single(W, H, [ink], ids=[1], view_mode=0, mag=0.0, red=2e6))

    # ---- malformed single-form files ----
    write("pic-bad-only-file-header.tesp", FILE_HEADER)
    write("pic-bad-empty.tesp", b"")
    write("pic-bad-no-size-chunk.tesp", FILE_HEADER + chunk(0x20001, i32(0)))
    for t in (0, 4, 7):
        write("pic-bad-layer-type-%d.tesp" % t,
              single(W, H, [layer_chunk(t, (0, 0, 8, 6), full, lid=1, channels=1)], ids=[1]))
    write("pic-bad-forbidden-20007.tesp",
          single(W, H, [layer_chunk(1, (2, 1, 3, 2), full, lid=1, extra=chunk(0x20007, i32(0)))], ids=[1]))
    short_px = chunk(0x20009, layer_subchunks(1, (2, 1, 3, 2), full, 1) + chunk(0x20008, pixels((2, 1, 3, 1), 4, 1)))
    write("pic-bad-pixels-short.tesp", single(W, H, [short_px], ids=[1]))
    long_px = chunk(0x20009, layer_subchunks(1, (2, 1, 3, 2), full, 1) + chunk(0x20008, pixels((2, 1, 3, 3), 4, 1)))
    write("pic-bad-pixels-long.tesp", single(W, H, [long_px], ids=[1]))
    zero_bpc = chunk(0x20009, layer_subchunks(1, (2, 1, 3, 2), full, 1, bpc=0) + chunk(0x20008, pixels((2, 1, 3, 2), 4, 1)))
    write("pic-bad-pixels-without-bytes-per-channel.tesp", single(W, H, [zero_bpc], ids=[1]))
    good = single(W, H, [ink], ids=[1])
    write("pic-bad-truncated.tesp", good[:-6])
    write("pic-bad-trailing-bytes.tesp", good + b"\0\0")
    write("pic-bad-chunk-size-4.tesp", good + raw_chunk(4, 0x20001))
    write("pic-bad-chunk-size-unaligned.tesp", FILE_HEADER + raw_chunk(14, 0x20002, i32(8, 6) + b"\0\0") + b"\0\0")
    write("pic-bad-chunk-past-end.tesp", good + raw_chunk(64, 0x20009, b"\0" * 8))
    write("pic-bad-huge-size.tesp", single(100000, 100000, [], ids=[]))
    write("pic-bad-zero-width.tesp", single(0, 6, [], ids=[]))
    write("pic-bad-rect-outside-full.tesp", single(W, H, [layer_chunk(1, (6, 1, 3, 2), full, lid=1)], ids=[1]))
    write("pic-bad-rect-negative.tesp", single(W, H, [layer_chunk(1, (-1, 1, 3, 2), full, lid=1)], ids=[1]))
    write("pic-bad-layer-not-picture-size.tesp",
          single(W, H, [layer_chunk(1, (0, 0, 4, 4), (4, 4), lid=1)], ids=[1]))
    write("pic-bad-channels-mismatch.tesp",
          single(W, H, [layer_chunk(1, (2, 1, 3, 2), full, lid=1, channels=1)], ids=[1]))
    no_rect = chunk(0x20009, chunk(0x20001, i32(1, 4, 4)) + chunk(0x20006, b"Ink"))
    write("pic-bad-layer-without-rect.tesp", single(W, H, [no_rect], ids=[1]))
    write("pic-bad-duplicate-layer-ids.tesp",
          single(W, H, [ink, layer_chunk(1, (0, 0, 8, 6), full, lid=1, seed=2)], ids=[1, 1]))
    write("pic-bad-two-selections.tesp", single(W, H, [ink, sel, sel], ids=[1, 3]))
    write("pic-bad-class-block-malformed.tesp",
          single(W, H, [layer_chunk(1, (2, 1, 3, 2), full, lid=1, block=chunk(0x20004, raw_chunk(4, 0x40000001)))],
                 ids=[1]))
    write("pic-bad-short-size-payload.tesp", FILE_HEADER + chunk(0x20002, i32(8)))
    # A counter at the top of the id range: the next id handed out would overflow.
    write("pic-bad-layer-counter-at-limit.tesp",
          single(W, H, [layer_chunk(1, (2, 1, 3, 2), full)], name=None, counter=0x7FFFFFFF, current=0))
    write("pic-bad-layer-id-at-limit.tesp", single(W, H, [layer_chunk(1, (2, 1, 3, 2), full, lid=0x7FFFFFFF)]))

    # ---- picture headers ("Pic.Head") ----
    write("head-valid-portfolio.bin", pic_header(1920, 1080, [1], 1, empty=1))
    write("head-valid-with-selection.bin", pic_header(640, 480, [1, 2, 5], 2, empty=0))
    write("head-bad-no-size.bin", chunk(0x20001, i32(1)) + chunk(0x20003, i32(1, 0)))
    write("head-bad-negative-id.bin", pic_header(64, 64, [-3], 1))
    write("head-bad-truncated.bin", pic_header(64, 64, [1], 1)[:-3])

    # ---- layer header files (".LayHead") ----
    write("lay-valid-colour.bin", layer_subchunks(1, (2, 1, 3, 2), full, thumb=bytes(range(64)) * 2))
    write("lay-valid-selection.bin", layer_subchunks(6, (0, 0, 8, 6), full, name=b"Selection"))
    write("lay-valid-without-pixels.bin", layer_subchunks(1, (0, 0, 1, 1), full, bpc=0))
    write("lay-bad-type-4.bin", layer_subchunks(4, (0, 0, 8, 6), full, channels=1))
    write("lay-bad-bytes-per-channel-2.bin", layer_subchunks(1, (0, 0, 8, 6), full, bpc=2))
    write("lay-bad-zero-size-rect.bin", layer_subchunks(1, (0, 0, 0, 6), full))
    write("lay-bad-huge-full-size.bin", layer_subchunks(1, (0, 0, 1, 1), (2000000000, 2000000000)))
    write("lay-bad-negative-id.bin", layer_subchunks(1, (0, 0, 8, 6), full, lid=-5))
    write("lay-bad-chunk-size-0.bin", layer_subchunks(1, (0, 0, 8, 6), full) + raw_chunk(0, 0x20006))


if __name__ == "__main__":
    main()
