"""Byte-exact writers for the three file kinds the game carries.

Everything here is written by hand with struct and zlib so that the same
pixels and samples always give the same bytes: no timestamps, no text
chunks, one fixed compression level.
"""

import struct
import zlib

# zlib level for every PNG; fixed so the output never depends on defaults.
PNG_LEVEL = 9

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def _idat(rows):
    # Filter type 0 on every row: simple and deterministic, and the strips
    # are mostly transparent, so zlib does well on them anyway.
    raw = b"".join(b"\x00" + row for row in rows)
    return zlib.compress(raw, PNG_LEVEL)


def png_rgba(width, height, rgba):
    """PNG colour type 6, 8 bits per channel, not interlaced."""
    stride = width * 4
    assert len(rgba) == stride * height, "pixel buffer does not match the size"
    rows = [bytes(rgba[y * stride:(y + 1) * stride]) for y in range(height)]
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return PNG_SIGNATURE + _chunk(b"IHDR", ihdr) + _chunk(b"IDAT", _idat(rows)) + _chunk(b"IEND", b"")


BMP_HEADER_SIZE = 54


def bmp24(width, height, rgb):
    """Uncompressed 24-bit BMP, rows bottom-up, 14 + 40 byte header.

    rgb holds the rows top-down, three bytes R, G, B per pixel.
    """
    assert len(rgb) == width * height * 3
    row_bytes = width * 3
    pad = (4 - row_bytes % 4) % 4
    image_size = (row_bytes + pad) * height
    file_size = BMP_HEADER_SIZE + image_size
    header = b"BM" + struct.pack("<IHHI", file_size, 0, 0, BMP_HEADER_SIZE)
    # 2835 pixels per metre is 72 dpi; the value is only informative.
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    body = bytearray()
    for y in range(height - 1, -1, -1):
        row = rgb[y * row_bytes:(y + 1) * row_bytes]
        bgr = bytearray(row_bytes)
        bgr[0::3] = row[2::3]
        bgr[1::3] = row[1::3]
        bgr[2::3] = row[0::3]
        body += bgr + b"\x00" * pad
    return header + info + bytes(body)


def wav_mono16(rate, samples):
    """RIFF/WAVE, PCM, one channel, 16-bit signed little-endian, 44-byte header."""
    data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt +
            b"data" + struct.pack("<I", len(data)) + data)
