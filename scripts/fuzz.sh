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
build/fuzz/bin/fuzz_inspect -max_total_time="${seconds}" -rss_limit_mb=2048 -malloc_limit_mb=64 \
  -max_len=16384 "${work}/inspect"
