# Decodes a PNG with nothing but zlib and struct: checks every chunk's CRC, inflates the image
# data, undoes the row filters and prints the size and the mean of each channel. Exits 1 on any
# fault, or when the image holds a single colour (the strokes left no mark).
import struct, sys, zlib

data = open(sys.argv[1], "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit("not a PNG")
pos, idat, ihdr = 8, b"", None
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
    if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
        sys.exit("bad CRC in " + kind.decode())
    if kind == b"IHDR":
        ihdr = struct.unpack(">IIBBBBB", body)
    elif kind == b"IDAT":
        idat += body
    elif kind == b"IEND":
        break
    pos += 12 + length
w, h, depth, colour = ihdr[:4]
if depth != 8 or colour not in (2, 6):
    sys.exit("unexpected format")
bpp = 3 if colour == 2 else 4
raw = zlib.decompress(idat)
stride = w * bpp
prev = bytearray(stride)
sums = [0] * bpp
seen = set()
for y in range(h):
    f = raw[y * (stride + 1)]
    line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b = prev[i]
        c = prev[i - bpp] if i >= bpp else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        elif f != 0: sys.exit("bad filter")
    for x in range(0, stride, bpp):
        seen.add(bytes(line[x:x + bpp]))
        for k in range(bpp):
            sums[k] += line[x + k]
    prev = line
print(w, h, [round(s / (w * h), 2) for s in sums])
sys.exit(0 if len(seen) > 1 else 1)
