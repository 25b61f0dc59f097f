#!/usr/bin/python3
"""Makes the corpus of the ReadID3 benchmark: 2,000 real MP3 files (a few
seconds of encoded sound each) with version 1 and version 2.3 tags, in the
folder given (default build/bench-mp3s).

Usage: scripts/make_bench_corpus.py [FOLDER] [COUNT]
Needs sox, lame and python3-mutagen (scripts/packages.txt)."""
import os
import shutil
import subprocess
import sys
import tempfile

from mutagen import id3

folder = sys.argv[1] if len(sys.argv) > 1 else "build/bench-mp3s"
count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
os.makedirs(folder, exist_ok=True)

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
        tags.save(path, v2_version=3, v1=2)
print(f"{count} files in {folder}")
