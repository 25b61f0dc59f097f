#!/usr/bin/python3
"""Tags written by brindle-cli against a second, independent reader and
writer of ID3 tags (mutagen): values must read back identically both ways,
and frames brindle-cli does not edit must survive its saves byte for byte.

Usage: interop_test.py BRINDLE_CLI
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zlib
import wave

import mutagen.wave
from mutagen import id3

CLI = None
# An MPEG 1 layer 3 frame header and silence: enough audio for both readers.
AUDIO = b"\xff\xfb\x90\x64" + b"\0" * 4000


def run_cli(*args, check=True):
    result = subprocess.run([CLI, *args], capture_output=True)
    if check and result.returncode != 0:
        raise AssertionError(f"brindle-cli {args} failed: {result.stderr.decode()}")
    return result


def read_json(path):
    return json.loads(run_cli("read", "--json", path).stdout)[0]


def frame_bytes(data, frame_id):
    """The whole 2.3/2.4 frame (header and content) with this id, found by
    walking the tag."""
    size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
    version = data[3]
    pos = 10
    while pos + 10 <= 10 + size and data[pos] != 0:
        raw = data[pos + 4:pos + 8]
        if version == 4:
            length = (raw[0] << 21) | (raw[1] << 14) | (raw[2] << 7) | raw[3]
        else:
            length = int.from_bytes(raw, "big")
        if data[pos:pos + 4] == frame_id:
            return data[pos:pos + 10 + length]
        pos += 10 + length
    return None


def syncsafe(value):
    return bytes([(value >> 21) & 0x7F, (value >> 14) & 0x7F, (value >> 7) & 0x7F, value & 0x7F])


def frame22(frame_id, content):
    """A version 2.2 frame: 3-character id, 24-bit size."""
    return frame_id + len(content).to_bytes(3, "big") + content


def frame24(frame_id, content, flags=b"\0\0"):
    return frame_id + syncsafe(len(content)) + flags + content


def tag(version, frames, padding=10):
    return (b"ID3" + bytes([version, 0, 0]) + syncsafe(len(frames) + padding) + frames +
            b"\0" * padding)


class InteropTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="brindle-interop-")
        self.path = os.path.join(self.folder, "song.mp3")
        with open(self.path, "wb") as out:
            out.write(AUDIO)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def test_values_written_read_back_by_the_other_reader(self):
        values = {
            "TAGv2Title": "Harbour Lights",
            "TAGv2Artist": "Grüße aus Köln",
            "TAGv2Album": "Ωmega ☃ 𝄞",
            "TAGv2Comment": "Записано дома",
            "TAGv2Genre": "Folk",
            "TAGv2Track": "07",
            "TAGv2Created": "1999",
        }
        run_cli("write", self.path, *[f"--set={k}={v}" for k, v in values.items()])
        tags = id3.ID3(self.path)
        self.assertEqual(tags.version[:2], (2, 3))
        self.assertEqual(tags["TIT2"].text, [values["TAGv2Title"]])
        self.assertEqual(tags["TPE1"].text, [values["TAGv2Artist"]])
        self.assertEqual(tags["TALB"].text, [values["TAGv2Album"]])
        self.assertEqual(tags["TCON"].text, [values["TAGv2Genre"]])
        self.assertEqual(tags["TRCK"].text, [values["TAGv2Track"]])
        comments = tags.getall("COMM")
        self.assertEqual(len(comments), 1)
        self.assertEqual(comments[0].text, [values["TAGv2Comment"]])
        # And back through brindle-cli.
        read = read_json(self.path)
        for name, value in values.items():
            self.assertEqual(read[name], value, name)

    def test_picture_and_user_frames_survive_a_save(self):
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=3, text=["Old title"]))
        tags.add(id3.APIC(encoding=3, mime="image/jpeg", type=3, desc="cover",
                          data=bytes(range(256)) * 40))
        tags.add(id3.TXXX(encoding=3, desc="MOOD", text=["calm"]))
        tags.add(id3.TXXX(encoding=3, desc="Ünïcode", text=["välue"]))
        tags.save(self.path, v2_version=3)
        with open(self.path, "rb") as f:
            before = f.read()
        frames = [frame_bytes(before, b"APIC")]
        self.assertIsNotNone(frames[0])
        txxx_before = [f for f in tags.getall("TXXX")]

        run_cli("write", self.path, "--set", "TAGv2Title=New title")
        with open(self.path, "rb") as f:
            after = f.read()
        self.assertEqual(frame_bytes(after, b"APIC"), frames[0])
        self.assertIn(frame_bytes(before, b"TXXX"), after)
        reread = id3.ID3(self.path)
        self.assertEqual(reread["TIT2"].text, ["New title"])
        self.assertEqual(len(reread.getall("APIC")), 1)
        self.assertEqual(reread.getall("APIC")[0].data, bytes(range(256)) * 40)
        self.assertEqual(sorted(f.desc for f in reread.getall("TXXX")),
                         sorted(f.desc for f in txxx_before))
        # The audio follows the tag unchanged; the version 1 tag comes after it.
        self.assertEqual(after[-128:-125], b"TAG")
        self.assertTrue(after[:-128].endswith(AUDIO))

    def test_utf16_version_23_tags_read(self):
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=1, text=["Ünïcödé ☃"]))
        tags.add(id3.TPE1(encoding=1, text=["Björk"]))
        tags.add(id3.COMM(encoding=1, lang="eng", desc="note", text=["Kommentar ✓"]))
        tags.add(id3.TYER(encoding=0, text=["2001"]))
        tags.save(self.path, v2_version=3)
        read = read_json(self.path)
        self.assertTrue(read["TAGv2Exists"])
        self.assertEqual(read["TAGv2Title"], "Ünïcödé ☃")
        self.assertEqual(read["TAGv2Artist"], "Björk")
        self.assertEqual(read["TAGv2Comment"], "Kommentar ✓")
        self.assertEqual(read["TAGv2Created"], "2001")

    def test_unchanged_utf16_tag_stays_byte_identical(self):
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=1, text=["Ünïcödé"]))
        tags.add(id3.TPE1(encoding=1, text=["Björk"]))
        tags.save(self.path, v2_version=3, padding=lambda info: 0)
        with open(self.path, "rb") as f:
            before = f.read()
        run_cli("write", self.path)
        with open(self.path, "rb") as f:
            after = f.read()
        self.assertEqual(frame_bytes(after, b"TIT2"), frame_bytes(before, b"TIT2"))
        self.assertEqual(frame_bytes(after, b"TPE1"), frame_bytes(before, b"TPE1"))

    def test_version_24_tags_read_and_keep_their_version(self):
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=3, text=["Café ☕"]))
        tags.add(id3.TDRC(encoding=3, text=["2024"]))
        tags.add(id3.TXXX(encoding=3, desc="k", text=["v"]))
        tags.save(self.path, v2_version=4)
        read = read_json(self.path)
        self.assertEqual(read["TAGv2Title"], "Café ☕")
        self.assertEqual(read["TAGv2Created"], "2024")
        run_cli("write", self.path, "--set", "TAGv2Artist=Someone")
        reread = id3.ID3(self.path)
        self.assertEqual(reread.version[:2], (2, 4))
        self.assertEqual(reread["TIT2"].text, ["Café ☕"])
        self.assertEqual(reread["TPE1"].text, ["Someone"])
        self.assertEqual(str(reread["TDRC"].text[0]), "2024")
        self.assertEqual(reread.getall("TXXX")[0].text, ["v"])

    def test_version_22_tag_is_upgraded_to_23_on_save(self):
        # The other writer cannot write version 2.2 tags: the bytes are made here.
        picture = b"\x89PNG" + bytes(range(64))
        frames = (frame22(b"TT2", b"\0Old title") + frame22(b"TP1", b"\0Artist") +
                  frame22(b"TAL", b"\0Album") + frame22(b"TYE", b"\x001999") +
                  frame22(b"COM", b"\0eng\0Nice") + frame22(b"TRK", b"\x005/9") +
                  frame22(b"TCO", b"\0Rock") +
                  frame22(b"PIC", b"\0PNG\x03cover\0" + picture))
        with open(self.path, "wb") as out:
            out.write(tag(2, frames) + AUDIO)
        self.assertEqual(id3.ID3(self.path).version[:2], (2, 2))
        read = read_json(self.path)
        self.assertTrue(read["TAGv2Exists"])
        self.assertEqual(read["TAGv2Title"], "Old title")
        self.assertEqual(read["TAGv2Artist"], "Artist")
        self.assertEqual(read["TAGv2Album"], "Album")
        self.assertEqual(read["TAGv2Created"], "1999")
        self.assertEqual(read["TAGv2Comment"], "Nice")
        self.assertEqual(read["TAGv2Track"], "5/9")
        self.assertEqual(read["TAGv2Genre"], "Rock")

        run_cli("write", self.path, "--set", "TAGv2Title=New title")
        reread = id3.ID3(self.path)
        self.assertEqual(reread.version[:2], (2, 3))
        self.assertEqual(reread["TIT2"].text, ["New title"])
        self.assertEqual(reread["TPE1"].text, ["Artist"])
        self.assertEqual(reread["TALB"].text, ["Album"])
        self.assertEqual(str(reread["TDRC"].text[0]), "1999")
        self.assertEqual(reread.getall("COMM")[0].text, ["Nice"])
        self.assertEqual(reread["TRCK"].text, ["5/9"])
        self.assertEqual(reread["TCON"].text, ["Rock"])
        pictures = reread.getall("APIC")
        self.assertEqual(len(pictures), 1)
        self.assertEqual(pictures[0].mime, "image/png")
        self.assertEqual(pictures[0].desc, "cover")
        self.assertEqual(pictures[0].data, picture)
        with open(self.path, "rb") as f:
            self.assertTrue(f.read()[:-128].endswith(AUDIO))

    def test_compressed_version_24_frame_is_read_and_replaced(self):
        # Compressed with a data-length indicator (flags 0x0009), and a
        # compressed frame that is not set, which keeps its bytes.
        title = b"\x03Packed title"
        album = frame24(b"TALB", syncsafe(9) + zlib.compress(b"\x03Packed!"), b"\0\x09")
        frames = (frame24(b"TIT2", syncsafe(len(title)) + zlib.compress(title), b"\0\x09") +
                  album + frame24(b"TPE1", b"\x03piman\0jzig"))
        with open(self.path, "wb") as out:
            out.write(tag(4, frames) + AUDIO)
        self.assertEqual(id3.ID3(self.path)["TIT2"].text, ["Packed title"])
        read = read_json(self.path)
        self.assertEqual(read["TAGv2Title"], "Packed title")
        self.assertEqual(read["TAGv2Album"], "Packed!")
        self.assertEqual(read["TAGv2Artist"], "piman / jzig")

        run_cli("write", self.path, "--set", "TAGv2Title=New title")
        with open(self.path, "rb") as f:
            after = f.read()
        self.assertEqual(after.count(b"TIT2"), 1)
        self.assertEqual(frame_bytes(after, b"TIT2")[8:10], b"\0\0")
        self.assertEqual(frame_bytes(after, b"TALB"), album)
        self.assertEqual(frame_bytes(after, b"TPE1"), frame24(b"TPE1", b"\x03piman\0jzig"))
        reread = id3.ID3(self.path)
        self.assertEqual(reread.version[:2], (2, 4))
        self.assertEqual(reread["TIT2"].text, ["New title"])
        self.assertEqual(reread["TALB"].text, ["Packed!"])
        self.assertEqual(reread["TPE1"].text, ["piman", "jzig"])

    def test_remove_v2_leaves_what_the_other_reader_sees_as_untagged(self):
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=3, text=["x"]))
        tags.save(self.path, v2_version=3)
        run_cli("remove-v2", self.path)
        with open(self.path, "rb") as f:
            self.assertEqual(f.read(), AUDIO)
        with self.assertRaises(id3.ID3NoHeaderError):
            id3.ID3(self.path)

    def test_wave_file_is_refused_and_stays_a_wave_file(self):
        path = os.path.join(self.folder, "take.wav")
        with wave.open(path, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(8000)
            out.writeframes(b"\0\1" * 800)
        with open(path, "rb") as original:
            before = original.read()
        for args in (("write", path, "--set", "TAGv2Title=x"), ("remove-v2", path)):
            result = run_cli(*args, check=False)
            self.assertEqual(result.returncode, 1)
            self.assertIn(b"not an MPEG audio file", result.stderr)
        with open(path, "rb") as after:
            self.assertEqual(after.read(), before)
        self.assertEqual(mutagen.wave.WAVE(path).info.sample_rate, 8000)
        self.assertEqual(sorted(os.listdir(self.folder)), ["song.mp3", "take.wav"])


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    # The saves are recorded in a history of their own, fresh for each run,
    # never in the user's.
    with tempfile.TemporaryDirectory(prefix="brindle-interop-history-") as history:
        os.environ["BRINDLE_HISTORY"] = os.path.join(history, "history.sqlite")
        program = unittest.main(verbosity=2, exit=False)
    sys.exit(0 if program.result.wasSuccessful() else 1)
