#!/usr/bin/env python3
"""Pads a PE image with zero bytes to a multiple of 8 and writes its checksum again.

Authenticode signing pads the file so before it appends the signature, and removing the
signature leaves that padding and recomputes the checksum. A file that is padded already gives
back exactly its own bytes when a signature is added and removed.

Usage: pe_pad.py FILE   (changed in place)
"""
import struct
import sys


def checksum_offset(data):
    return struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64


def pe_checksum(data):
    """The PE header's checksum: 16-bit one's-complement sum without the field, plus the length."""
    skip = checksum_offset(data)
    padded = data[:skip] + b"\0\0\0\0" + data[skip + 4:] + b"\0" * (len(data) % 2)
    total = 0
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        data = bytearray(f.read())
    if data[:2] != b"MZ":
        print("%s: not a PE image" % argv[1])
        return 1
    data += b"\0" * (-len(data) % 8)
    struct.pack_into("<I", data, checksum_offset(data), pe_checksum(data))
    with open(argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
