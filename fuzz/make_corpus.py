#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/: small valid files of each
format and damaged variants (short headers, tables and data past the end, huge counts)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u32(*values):
    return b"".join(struct.pack("<I", v & 0xFFFFFFFF) for v in values)


def glt(fmt=0x1908, typ=0x1401, w=2, h=2, data=None, version=0, target=0x0DE1, size=None):
    data = bytes(16) if data is None else data
    return (u32(0x46544C47, version, 0, target, fmt, typ, 0x2901) +
            u32(0, len(data) if size is None else size, w, h) + data)


def chunk_file(magic, chunks, extension=b""):
    header_end = 48 + len(extension)
    table = header_end
    offset = table + 16 * len(chunks)
    entries, blobs = b"", b""
    for ctype, index, data in chunks:
        entries += u32(ctype, index, offset, len(data))
        offset += len(data)
        blobs += data
    name = b"seed".ljust(32, b"\0")
    return magic + b"0.1 " + name + u32(table, len(chunks)) + extension + entries + blobs


def font(unit=8, w=8, h=4, records=((65, 0, 0, 4, 4, 0, 0, 5),), image=None):
    pixels = bytes([255]) * (w * h) if image is None else image
    fbit = u32(w, h, 0) + pixels
    chrs = b"".join(struct.pack("<IIIIIiii", *r) for r in records)
    return chunk_file(b"GLFv", [(0x54494246, 0, fbit), (0x53524843, 0, chrs)], u32(unit, 0, 0))


def write(target, name, data):
    directory = os.path.join(HERE, "corpus", target)
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


write("texture", "rgba_2x2", glt())
write("texture", "rgb_3x2_padded", glt(0x1907, w=3, h=2, data=bytes(21)))
write("texture", "alpha_4x4", glt(0x1906, w=4, h=4, data=bytes(16)))
write("texture", "short_header", glt()[:27])
write("texture", "short_data", glt()[:-1])
write("texture", "data_below_gl_read", glt(w=4, h=4))
write("texture", "huge_datasize", glt(size=0xFFFFFFF0))
write("texture", "version2", glt(version=2))
write("texture", "target_1d", glt(target=0x0DE0))

plain = chunk_file(b"GCFv", [(0x41414141, 0, b"abc"), (0x42424242, 1, b"defg")])
write("chunkfile", "two_chunks", plain)
write("chunkfile", "empty", chunk_file(b"GCFv", []))
write("chunkfile", "header_47", plain[:47])
write("chunkfile", "count_wraps", plain[:44] + u32(0x10000001) + plain[48:])
write("chunkfile", "table_past_end", plain[:40] + u32(0xFFFFFFF8) + plain[44:])
write("chunkfile", "data_past_end", plain[:-7])

write("font", "one_glyph", font())
write("font", "two_and_a_bit_records", font(records=((65, 0, 0, 4, 4, 0, 0, 5),
                                                       (66, 4, 0, 4, 4, -9, -2, 3)))[:-26])
write("font", "code_256", font(records=((256, 0, 0, 4, 4, 0, 0, 5),)))
write("font", "negative_corner", font(records=((65, 0, 0, 4, 4, -100, -100, -1),)))
write("font", "short_image", font(image=bytes(10)))
write("font", "odd_width", font(w=6, h=2))
write("font", "zero_unit", font(unit=0))
write("font", "short_extension", font()[:55])

write("config", "sections", b"[GraphicSystem]\nwidth=1024\nHeight = 768\n; comment\n[Other]\nkey=Value\n")
write("config", "odd_lines", b"[unclosed\n=novalue\nkey\n\n\r\n[]\nx=" + b"y" * 600 + b"\n\0\n")

write("memorystream", "seeks_and_reads",
      bytes([10]) + b"0123456789" + bytes([0]) + u32(8) + bytes([1]) + u32(4) +
      bytes([4]) + u32(0xFFFFFFFB) + bytes([3]) + u32(0) + bytes([2]) + u32(5) +
      bytes([8]) + u32(0x7FFFFFFF) + bytes([1]) + u32(0x80000000))
write("memorystream", "empty", bytes([0]) + bytes([3]) + u32(0) + bytes([1]) + u32(1))
