#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# from a small seed corpus made here: ./scripts/fuzz.sh [SECONDS per target]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${root}"
seconds="${1:-30}"

"${root}/scripts/install-deps.sh"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "$(nproc 2>/dev/null || echo 2)"

work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

# Seeds: a few help topics with both line endings, and a mounts table.
mkdir -p "${work}/text"
printf 'HID:20\r\nfirst\r\nsecond\r\nHIDOVER:\r\n' >"${work}/text/help-crlf"
printf '\x05hid:5\nx\n HIDOVER:\nhidover:\n' >"${work}/text/help-lf"
printf '/dev/sda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n/dev/sdb1 /media/my\\040disk vfat rw 0 0\n' \
  >"${work}/text/mounts"
cp data/Brindlehelp.txt "${work}/text/help-file"

build/fuzz/bin/fuzz_text_parsers -max_total_time="${seconds}" -rss_limit_mb=2048 \
  -max_len=65536 "${work}/text"

# Seeds for the tag engine: small tags of versions 2.3 and 2.4 made here.
mkdir -p "${work}/id3v2"
python3 "${root}/scripts/make_id3_seeds.py" "${work}/id3v2"
build/fuzz/bin/fuzz_id3v2 -max_total_time="${seconds}" -rss_limit_mb=2048 -malloc_limit_mb=64 \
  -max_len=16384 "${work}/id3v2"

# The inspection component on the same tags, on WAV headers and on audio.
mkdir -p "${work}/inspect"
cp "${work}/id3v2/"* "${work}/inspect/"
printf 'RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data' \
  >"${work}/inspect/wav-header"
# MPEG frames with "Xing" and LAME tags, "VBRI", MPEG 2.5 and layer II, an
# RF64 file and an extensible one with a chunk before "fmt ".
python3 - "${work}/inspect" <<'SEEDS'
import struct, sys
folder = sys.argv[1]
def frames(header, length, count, at=None, payload=b""):
    first = bytearray(header + bytes(length - 4))
    if at is not None:
        first[at:at + len(payload)] = payload
    return bytes(first) + (header + bytes(length - 4)) * (count - 1)
xing = b"Xing" + struct.pack(">III", 0x0F, 99, 41800) + bytes(104) + b"LAME3.100" + bytes(12) \
    + b"\x24\x03\xe8"
vbri = b"VBRI\x00\x01" + bytes(4) + struct.pack(">II", 41800, 99)
def chunk(cid, body, size=None):
    return cid + struct.pack("<I", len(body) if size is None else size) + body \
        + (b"\0" if len(body) % 2 else b"")
fmt = chunk(b"fmt ", struct.pack("<HHIIHH", 1, 2, 44100, 176400, 4, 16))
ext = chunk(b"fmt ", struct.pack("<HHIIHHHHIH", 0xFFFE, 2, 48000, 288000, 6, 24, 22, 24, 3, 3)
            + bytes(14))
seeds = {
    "mpeg1-xing-lame": frames(b"\xff\xfb\x90\x64", 417, 4, 36, xing),
    "mpeg1-vbri": frames(b"\xff\xfb\x90\x64", 417, 4, 36, vbri),
    "mpeg25-mono-xing": frames(b"\xff\xe3\x58\xc4", 360, 4, 13, xing[:16]),
    "mpeg1-layer2": frames(b"\xff\xfd\x94\x00", 480, 3),
    "rf64": b"RF64\xff\xff\xff\xffWAVE" + chunk(b"ds64", struct.pack("<QQQI", 0, 400, 100, 0))
            + fmt + chunk(b"data", bytes(400), 0xFFFFFFFF),
    "extensible": b"RIFF" + struct.pack("<I", 700) + b"WAVE" + chunk(b"JUNK", bytes(3)) + ext
                  + chunk(b"data", bytes(600)),
}
for name, data in seeds.items():
    with open(f"{folder}/{name}", "wb") as out:
        out.write(data)
SEEDS
build/fuzz/bin/fuzz_inspect -max_total_time="${seconds}" -rss_limit_mb=2048 -malloc_limit_mb=64 \
  -max_len=16384 "${work}/inspect"
