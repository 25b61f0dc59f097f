#!/usr/bin/python3
"""Makes the corpus of the ReadID3 and save benchmarks: 2,000 real MP3 files
(a few seconds of encoded sound each) with version 1 and version 2.3 tags, in
the folder given (default build/bench-mp3s). Albums of 12 files; the files of
every fifth album (20% of the files) carry the album's cover picture, 30 to
100 KB, the same bytes in each file as taggers embed it; the padding after the
tag is 0, 256, 1024 or 4096 bytes in turn, as different taggers leave it.

Usage: scripts/make_bench_corpus.py [FOLDER] [COUNT]
Needs sox, lame and python3-mutagen (scripts/packages.txt)."""
import os
import random
import shutil
import subprocess
import sys
import tempfile

from mutagen import id3

folder = sys.argv[1] if len(sys.argv) > 1 else "build/bench-mp3s"
count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
os.makedirs(folder, exist_ok=True)



def cover_of(album):
    """A picture-like block of 30 to 100 KB, the same for every call with
    `album`: a JPEG start and end around bytes that do not compress."""
    size = 30 * 1024 + (album * 7919) % (70 * 1024)
    body = random.Random(album).randbytes(size - 4)
    return b"\xff\xd8" + body + b"\xff\xd9"


with tempfile.TemporaryDirectory() as work:
    wav = os.path.join(work, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", wav, "synth", "4", "sine", "440"],
                   check=True)
    sources = []
    for index, options in enumerate((["-b", "128"], ["-V", "4"])):
        mp3 = os.path.join(work, f"source{index}.mp3")
        subprocess.run(["lame", "--quiet", *options, wav, mp3], check=True)
        sources.append(mp3)

    for number in range(count):
        path = os.path.join(folder, f"{number:04d} Track {number}.mp3")
        shutil.copyfile(sources[number % 2], path)
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=1, text=[f"Track number {number} ☃"]))
        tags.add(id3.TPE1(encoding=0, text=["The Benchmark Band"]))
        tags.add(id3.TALB(encoding=0, text=[f"Album {number // 12}"]))
        tags.add(id3.TRCK(encoding=0, text=[f"{number % 12 + 1:02d}"]))
        tags.add(id3.TCON(encoding=0, text=["Folk"]))
        tags.add(id3.TYER(encoding=0, text=["2026"]))
        tags.add(id3.COMM(encoding=0, lang="eng", desc="", text=["made for the benchmark"]))
        album = number // 12
        if album % 5 == 0:
            tags.add(id3.APIC(encoding=0, mime="image/jpeg", type=3, desc="",
                              data=cover_of(album)))
        padding = (0, 256, 1024, 4096)[number % 4]
        tags.save(path, v2_version=3, v1=2, padding=lambda info, padding=padding: padding)
print(f"{count} files in {folder}")
