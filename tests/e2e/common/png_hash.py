#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Prints a hash of a PNG's pixels (not of its bytes, which depend on the encoder's
# version and settings): width, height and the unfiltered RGB or RGBA rows. Used to
# hold a replay's last picture against a stored value.
import hashlib
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def pixels(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, head = 8, b"", None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            head = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if head is None:
        raise ValueError("no IHDR")
    width, height, depth, colour, _, _, interlace = head
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError("only 8-bit RGB/RGBA without interlace")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = prev[x]
            c = prev[x - channels] if x >= channels else 0
            add = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            line[x] = (line[x] + add) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, channels, b"".join(rows)


if __name__ == "__main__":
    w, h, ch, body = pixels(sys.argv[1])
    print("%dx%dx%d %s" % (w, h, ch, hashlib.sha256(body).hexdigest()))
