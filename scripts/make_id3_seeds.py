#!/usr/bin/env python3
"""Writes a small seed corpus of ID3v2 tags (versions 2.3 and 2.4, with
text, comment, URL and unknown frames, UTF-16 text, unsynchronisation, an
extended header; compressed, frame-unsynchronised, data-length, encrypted
and multi-value frames; version 2.2 tags) into the folder given, for the tag engine's fuzzer."""
import os
import struct
import sys
import zlib


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def frame(fid, content, version=3, flags=b"\0\0"):
    size = struct.pack(">I", len(content)) if version == 3 else syncsafe(len(content))
    return fid + size + flags + content


def tag(version, frames, padding=16, flags=0, extra=b""):
    body = extra + frames + b"\0" * padding
    return b"ID3" + bytes([version, 0, flags]) + syncsafe(len(body)) + body


AUDIO = b"\xff\xfb\x90\x64" + b"\0" * 28

seeds = {
    "v23-text": tag(3, frame(b"TIT2", b"\0Title") + frame(b"TPE1", b"\0Artist")),
    "v23-comm-wxxx": tag(3, frame(b"COMM", b"\0engdesc\0text") + frame(b"WXXX", b"\0\0http://a/")),
    "v23-utf16": tag(3, frame(b"TIT2", b"\x01\xff\xfeT\0i\0\0\0")
                     + frame(b"COMM", b"\x01eng\xff\xfe\0\0\xff\xfeh\0i\0")),
    "v23-unknown": tag(3, frame(b"APIC", b"\0image/png\0\x03\0" + bytes(range(64)))
                       + frame(b"TXXX", b"\0k\0v")),
    "v23-unsync": b"ID3\x03\x00\x80" + syncsafe(16) + b"TIT2\0\0\0\x03\0\0\0\xff\x00\xe0" + b"\0" * 2,
    "v23-extended": tag(3, frame(b"TALB", b"\0Album"), flags=0x40, extra=struct.pack(">I", 6) + b"\0" * 6),
    "v24": tag(4, frame(b"TIT2", b"\x03Caf\xc3\xa9", 4) + frame(b"TDRC", b"\x002024", 4)
               + frame(b"TPE1", b"\x00x", 4, b"\0\x08")),
    "v22": b"ID3\x02\0\0" + syncsafe(11) + b"TT2\0\0\x05\0Title",
    "v22-frames": b"ID3\x02\0\0" + syncsafe(60) + b"TT2\0\0\x03\0Ti" + b"COM\0\0\x07\0eng\0hi"
                  + b"PIC\0\0\x0a\0PNG\x03d\0\x89PNG" + b"CRM\0\0\x02ab" + b"\0" * 12,
    "v24-compressed": tag(4, frame(b"TIT2", syncsafe(6) + zlib.compress(b"\0Title"), 4, b"\0\x09")
                          + frame(b"TALB", b"\0Al\xff\x00\xe0", 4, b"\0\x02")
                          + frame(b"TCOM", b"\x80abc", 4, b"\0\x04")
                          + frame(b"TPE1", b"\0piman\0jzig", 4)),
    "v23-compressed": tag(3, frame(b"TIT2", struct.pack(">I", 6) + zlib.compress(b"\0Title"),
                                   flags=b"\0\x80")),
    "v24-unsync-extended-flag": tag(4, frame(b"TIT2", b"\0\xff\x00\xe0", 4), flags=0xC0),
    "untagged": AUDIO,
}

os.makedirs(sys.argv[1], exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(sys.argv[1], name), "wb") as out:
        out.write(data + AUDIO)
