#!/usr/bin/python3
"""Times tag saves side by side with a peer, and prints medians.

(a) The title of every file of the benchmark corpus (scripts/make_bench_corpus.py,
    2,000 small tagged MP3 files, mixed padding, 20% with a 30-100 KB cover) set by ONE `brindle-cli write` with the history
    on, against taglib_save_peer (TagLib's MPEG::File::save) on a fresh copy of the
    same files, in the same run: files per second of both and their ratio. Beside
    them, durable_save_floor on the same files: only the file-system work that a
    durable save must do (each tag written in place, or a grown tag through a new
    file; a flush before the new files replace the old, one at the end).
(b) 20 files of 8 MB whose new tag fits in the old one's space, saved by one
    `brindle-cli write`: milliseconds for the 20 saves (the process included).
(c) `brindle-cli read` of the 2,000 files against read_floor (per file one open,
    three reads and a close; a process too), alternately in the same run: the
    rate of the read as a fraction of the floor's.

Usage: scripts/bench-saves.py BUILD_DIR [REPETITIONS]
  e.g. scripts/bench-saves.py build/release 5
Needs a release build with -DBRINDLE_BUILD_BENCH=ON (taglib_save_peer is built
when libtag1-dev is installed), and sox, lame and python3-mutagen for the corpus."""
import os
import shutil
import statistics
import subprocess
import sys
import time

from mutagen import id3

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release")
repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
cli = os.path.join(build, "bin", "brindle-cli")
peer = os.path.join(build, "bin", "taglib_save_peer")
floor = os.path.join(build, "bin", "read_floor")
save_floor = os.path.join(build, "bin", "durable_save_floor")
# The bytes by which a save of the tag editor's fields grows a tag that lacks
# them: five empty frames (TENC, TOPE, TCOM, WXXX, TCOP).
SAVE_GROWTH = "61"
work = os.path.join(build, "bench-saves")
corpus = os.path.join(work, "corpus")
copies = os.path.join(work, "copies")
big = os.path.join(work, "big")
scripts = os.path.dirname(os.path.abspath(__file__))


def make_corpus():
    # The marker tells a corpus of the current shape (covers, mixed padding)
    # from one an older script made.
    marker = os.path.join(work, "corpus-with-covers")
    if os.path.exists(marker) and len(os.listdir(corpus)) >= 2000:
        return
    shutil.rmtree(corpus, ignore_errors=True)
    shutil.rmtree(big, ignore_errors=True)
    subprocess.run([sys.executable, os.path.join(scripts, "make_bench_corpus.py"), corpus, "2000"],
                   check=True, stdout=subprocess.DEVNULL)
    open(marker, "w").close()


def make_big_files():
    """20 files of 8 MB: the audio of a corpus file repeated, a version 2.3
    tag with 4 KB of padding and a version 1 tag."""
    if os.path.isdir(big) and len(os.listdir(big)) == 20:
        return
    os.makedirs(big, exist_ok=True)
    source = os.path.join(corpus, sorted(os.listdir(corpus))[0])
    data = open(source, "rb").read()
    start = 10 + ((data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9])
    audio = data[start:len(data) - 128]
    body = (audio * (8 * 1024 * 1024 // len(audio) + 1))[:8 * 1024 * 1024]
    for number in range(20):
        path = os.path.join(big, f"big{number:02d}.mp3")
        with open(path, "wb") as out:
            out.write(body)
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=1, text=[f"Long track {number}"]))
        tags.add(id3.TPE1(encoding=0, text=["The Benchmark Band"]))
        tags.save(path, v2_version=3, v1=2, padding=lambda info: 4096)


def fresh_copy(name, repetition):
    """A copy of the corpus of its own for one timed run. Nothing is deleted
    until every run is over: on an ext4 without a journal, creating a file
    searches past every inode freed in the last minutes, so deleting the last
    run's copy would slow down the next program that creates files (ours and
    the floor, not the peer)."""
    target = os.path.join(copies, f"{name}-{repetition}")
    shutil.copytree(corpus, target)
    # The copy is on the disk before the clock starts: neither side pays for
    # writing it back.
    os.sync()
    return target, sorted(os.path.join(target, f) for f in os.listdir(target))


def timed(command, environment):
    began = time.perf_counter()
    result = subprocess.run(command, env=environment, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - began
    if result.returncode != 0:
        sys.exit(f"{command[0]} failed: {result.stderr.decode(errors='replace')[:2000]}")
    return elapsed


def main():
    shutil.rmtree(copies, ignore_errors=True)
    make_corpus()
    make_big_files()
    # A history of this run's own, kept over its repetitions, as a user's
    # grows.
    history = os.path.join(work, "history.sqlite")
    for leftover in (history, history + "-wal", history + "-shm"):
        if os.path.exists(leftover):
            os.remove(leftover)
    environment = dict(os.environ, BRINDLE_HISTORY=history)
    has_peer = os.path.exists(peer)
    ours, theirs, ratios, bigs, of_floor = [], [], [], [], []
    save_floors, floor_ratios = [], []
    for repetition in range(repetitions):
        title = f"Title of run {repetition} \u2603"
        folder, files = fresh_copy("ours", repetition)
        seconds = timed([cli, "write", *files, "--set", f"TAGv2Title={title}"], environment)
        ours.append(len(files) / seconds)
        if has_peer:
            folder, files = fresh_copy("theirs", repetition)
            seconds = timed([peer, title, *files], environment)
            theirs.append(len(files) / seconds)
            ratios.append(ours[-1] / theirs[-1])
            if os.path.exists(save_floor):
                folder, files = fresh_copy("floor", repetition)
                seconds = timed([save_floor, SAVE_GROWTH, title, *files], environment)
                save_floors.append(len(files) / seconds)
                floor_ratios.append(save_floors[-1] / theirs[-1])
        big_files = sorted(os.path.join(big, f) for f in os.listdir(big))
        # The peer's saves are not flushed: they go to the disk before the
        # clock starts, not in brindle-cli's flush of the file system.
        os.sync()
        seconds = timed([cli, "write", *big_files, "--set", f"TAGv2Title=Big {repetition}"],
                        environment)
        bigs.append(seconds * 1000)
        if os.path.exists(floor):
            files = sorted(os.path.join(corpus, f) for f in os.listdir(corpus))
            # Warm both, then the median of five of each, alternately.
            reads, floors = [], []
            for _ in range(6):
                reads.append(timed([cli, "read", *files], environment))
                floors.append(timed([floor, *files], environment))
            of_floor.append(statistics.median(floors[1:]) / statistics.median(reads[1:]))
    print(f"(a) 2000 titles, one brindle-cli write, history on: "
          f"median {statistics.median(ours):.0f} files/s  (runs: "
          + ", ".join(f"{v:.0f}" for v in ours) + ")")
    if has_peer:
        print(f"    TagLib MPEG::File::save, same files, same run:  "
              f"median {statistics.median(theirs):.0f} files/s  (runs: "
              + ", ".join(f"{v:.0f}" for v in theirs) + ")")
        print(f"    ratio brindle/TagLib: median {statistics.median(ratios):.2f}x")
        if save_floors:
            print(f"    durable-save floor, same files, same run:  "
                  f"median {statistics.median(save_floors):.0f} files/s  (runs: "
                  + ", ".join(f"{v:.0f}" for v in save_floors) + ")")
            print(f"    ratio floor/TagLib: median {statistics.median(floor_ratios):.2f}x")
    else:
        print("    (taglib_save_peer not built: install libtag1-dev and reconfigure)")
    print(f"(b) 20 saves of 8 MB files whose tag fits, one brindle-cli write: "
          f"median {statistics.median(bigs):.1f} ms  (runs: "
          + ", ".join(f"{v:.1f}" for v in bigs) + ")")
    if of_floor:
        print(f"(c) brindle-cli read of 2000 files as a fraction of the floor's rate: "
              f"median {statistics.median(of_floor):.2f}  (runs: "
              + ", ".join(f"{v:.2f}" for v in of_floor) + ")")


try:
    main()
finally:
    shutil.rmtree(copies, ignore_errors=True)
