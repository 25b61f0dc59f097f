#!/usr/bin/python3
"""The technical data brindle-cli reads from MP3 and WAV files against an
independent reader (mutagen), over a corpus made here: MPEG 1, 2 and 2.5 at
every sampling frequency from lame and sox (constant, average and variable
bit rate, mono and joint stereo, with and without the LAME header, with a
100 KB cover, with APEv2 and ID3v1 tags), crafted layer I and II streams,
and WAV files in every shape (extensible, float, RF64, chunks before "fmt ").

Bounds: version, layer, sampling frequency, channel mode and a constant bit
rate exactly; the length within one frame's duration; the average of a
variable bit rate within 1 kbit/s.

Where Brindle counts differently, and why it is right:
- Without a VBR header the other reader counts every byte after the first
  frame as audio, tags at the end included; Brindle leaves the APEv2,
  Lyrics3 and ID3v1 tags out. The expected length of such a file is the
  other reader's less those tags' bytes at the file's bit rate ("trailing").
- For a constant bit rate with an "Info" header the other reader measures
  the bit rate from the header's byte count (127,996 bit/s for a 128 kbit/s
  file); Brindle shows the frames' own bit rate, which the measure rounds to.
- The other reader takes a layer I frame to be 4 times its length (it
  multiplies the 48 bytes per kbit/s by the 4-byte slot twice), so it finds
  no second frame in an MPEG 2 layer I stream, whose frames are 276 bytes
  at 128 kbit/s and 22050 Hz: (12 x 128000 / 22050 = 69 slots) x 4 bytes.
  That row states the values its bytes give ("expected").

Usage: audio_info_test.py BRINDLE_CLI
"""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

from mutagen import apev2, id3, mp3, wave

CLI = None
VERSIONS = {"MPEG 1.0": 1, "MPEG 2.0": 2, "MPEG 2.5": 2.5}
MODES = {"Stereo": mp3.STEREO, "Joint Stereo": mp3.JOINTSTEREO,
         "2 Channel": mp3.DUALCHANNEL, "Mono": mp3.MONO}
RATES = {1: (32000, 44100, 48000), 2: (16000, 22050, 24000), 2.5: (8000, 11025, 12000)}
CBR_KBPS = {1: 128, 2: 64, 2.5: 32}


def read_json(path, command="read"):
    result = subprocess.run([CLI, command, "--json", path], capture_output=True, check=True)
    return json.loads(result.stdout)[0]


def run(*args):
    subprocess.run(args, check=True, capture_output=True)


def version_of(rate):
    return next(v for v, rates in RATES.items() if rate in rates)


class Expected:
    """Values a file's bytes give, where the other reader cannot read it."""

    def __init__(self, **values):
        self.__dict__.update(values)


class Corpus:
    """The files, made once in a temporary folder: (name, path, extra)."""

    def __init__(self, folder):
        self.folder = folder
        self.mp3s = []
        self.wavs = []
        self.tones = {}

    def tone(self, rate, channels):
        key = (rate, channels)
        if key not in self.tones:
            path = os.path.join(self.folder, f"tone-{rate}-{channels}.wav")
            run("sox", "-n", "-r", str(rate), "-c", str(channels), "-b", "16", path,
                "synth", "1.5", "sine", "440")
            self.tones[key] = path
        return self.tones[key]

    def lame(self, name, rate, channels, *options):
        path = os.path.join(self.folder, name + ".mp3")
        khz = f"{rate / 1000:g}"
        run("lame", "--quiet", "--resample", khz, *options, self.tone(rate, channels), path)
        self.mp3s.append((name, path, {}))
        return path

    def crafted_mp3(self, name, header, frame_length, count, expected=None):
        path = os.path.join(self.folder, name + ".mp3")
        with open(path, "wb") as out:
            out.write((header + bytes(frame_length - 4)) * count)
        self.mp3s.append((name, path, {"expected": expected} if expected else {}))

    def make(self):
        for version, rates in RATES.items():
            for rate in rates:
                self.lame(f"cbr-{rate}", rate, 2, "-m", "j", "-b", str(CBR_KBPS[version]))
            rate = rates[1]
            self.lame(f"cbr-mono-{rate}", rate, 1, "-m", "m", "-b", str(CBR_KBPS[version]))
            self.lame(f"vbr-{rate}", rate, 2, "-V", "4")
            self.lame(f"cbr-no-lame-header-{rate}", rate, 2, "-t", "-b",
                      str(CBR_KBPS[version]))
        self.lame("vbr-mono-44100", 44100, 1, "-m", "m", "-V", "2")
        self.lame("abr-44100", 44100, 2, "--abr", "100")
        self.lame("abr-22050", 22050, 2, "--abr", "48")
        self.lame("vbr-no-lame-header-44100", 44100, 2, "-t", "-V", "4")

        # A 100 KB cover in the ID3v2 tag.
        # Without a LAME header, so that the length comes from the bytes.
        cover = self.lame("cover-44100", 44100, 2, "-t", "-b", "128")
        tags = id3.ID3()
        tags.add(id3.APIC(encoding=3, mime="image/jpeg", type=3, desc="cover",
                          data=bytes(range(256)) * 400))
        tags.save(cover, v2_version=3)

        # APEv2 and ID3v1 tags after the audio (and an ID3v2 tag before it).
        tagged = self.lame("ape-id3v1-44100", 44100, 2, "-t", "-b", "160")
        audio_size = os.path.getsize(tagged)
        tags = id3.ID3()
        tags.add(id3.TIT2(encoding=3, text=["Harbour Lights"]))
        tags.save(tagged, v2_version=3, v1=2)
        ape = apev2.APEv2()
        ape["Title"] = "Harbour Lights"
        ape["Artist"] = "Someone"
        ape.save(tagged)
        with open(tagged, "rb") as f:
            head = f.read(10)
        v2_size = 10 + ((head[6] << 21) | (head[7] << 14) | (head[8] << 7) | head[9])
        self.mp3s[-1][2]["trailing"] = os.path.getsize(tagged) - v2_size - audio_size
        self.mp3s[-1][2]["audio"] = audio_size

        # Layers I and II, which lame does not write: frames of silence.
        self.crafted_mp3("layer2-48000", b"\xff\xfd\x94\x00", 480, 60)
        self.crafted_mp3("layer1-32000-mono", b"\xff\xff\x98\xc0", 432, 100)
        self.crafted_mp3("layer1-mpeg2-22050", b"\xff\xf7\x80\x40", 276, 100,
                         Expected(version=2, layer=1, sample_rate=22050, mode=mp3.JOINTSTEREO,
                                  bitrate=128000, length=27600 * 8 / 128000,
                                  bitrate_mode=mp3.BitrateMode.UNKNOWN))
        self.crafted_mp3("layer2-mpeg2-16000", b"\xff\xf5\x88\xc0", 576, 40)

        # WAV files from sox: PCM, 8-bit, 24-bit (extensible), float.
        for name, options in (("pcm16-44100", ["-r", "44100", "-c", "2", "-b", "16"]),
                              ("pcm8-8000-mono", ["-r", "8000", "-c", "1", "-b", "8"]),
                              ("pcm24-96000", ["-r", "96000", "-c", "2", "-b", "24"]),
                              ("surround-48000", ["-r", "48000", "-c", "6", "-b", "16"]),
                              ("float-48000", ["-r", "48000", "-c", "2", "-b", "32", "-e",
                                               "floating-point"])):
            path = os.path.join(self.folder, name + ".wav")
            run("sox", "-n", *options, path, "synth", "2.4", "sine", "440")
            self.wavs.append((name, path, {}))
        self.crafted_wavs()

    def crafted_wavs(self):
        def chunk(cid, body, size=None):
            pad = b"\0" if len(body) % 2 else b""
            return cid + struct.pack("<I", len(body) if size is None else size) + body + pad

        def fmt(tag, channels, rate, bits):
            align = channels * bits // 8
            return chunk(b"fmt ", struct.pack("<HHIIHH", tag, channels, rate, rate * align,
                                              align, bits))

        def riff(chunks, marker=b"RIFF", size=None):
            body = b"WAVE" + b"".join(chunks)
            return marker + struct.pack("<I", len(body) if size is None else size) + body

        junk_first = riff([chunk(b"JUNK", bytes(27)), chunk(b"fake", bytes(3)),
                           fmt(1, 2, 22050, 16), chunk(b"odd ", bytes(5)),
                           chunk(b"data", bytes(22050 * 4 * 3))])
        ds64 = chunk(b"ds64", struct.pack("<QQQI", 0, 44100 * 4 * 2, 44100 * 2, 0))
        rf64 = riff([ds64, fmt(1, 2, 44100, 16), chunk(b"data", bytes(44100 * 4 * 2),
                                                       0xFFFFFFFF)],
                    marker=b"RF64", size=0xFFFFFFFF)
        for name, data, expected in (
                ("chunks-before-fmt", junk_first, None),
                # The other reader knows no RF64: the values the file says.
                ("rf64", rf64, {"rate": 44100, "channels": 2, "bits": 16, "length": 2.0})):
            path = os.path.join(self.folder, name + ".wav")
            with open(path, "wb") as out:
                out.write(data)
            self.wavs.append((name, path, {"expected": expected} if expected else {}))


class AudioInfoTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="brindle-audio-info-")
        cls.corpus = Corpus(cls.folder)
        cls.corpus.make()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def test_mp3_files_agree(self):
        self.assertGreaterEqual(len(self.corpus.mp3s), 28)
        for name, path, extra in self.corpus.mp3s:
            with self.subTest(file=name):
                ours = read_json(path)
                theirs = extra.get("expected") or mp3.MP3(path).info
                self.assertEqual(VERSIONS[ours["Mp3MPEG"]], theirs.version)
                self.assertEqual(ours["Mp3Layer"], f"layer {theirs.layer}")
                self.assertEqual(ours["Mp3Frequency"], f"{theirs.sample_rate} Hz")
                self.assertEqual(MODES[ours["Mp3Channels"]], theirs.mode)
                variable = theirs.bitrate_mode in (mp3.BitrateMode.VBR, mp3.BitrateMode.ABR)
                self.assertEqual(ours["Mp3Vbr"], variable)
                if variable:
                    self.assertTrue(ours["Mp3Bitrate"].startswith("VBR "))
                    average = int(ours["Mp3Bitrate"][4:])
                    self.assertLessEqual(abs(average - theirs.bitrate / 1000), 1.0)
                else:
                    self.assertEqual(int(ours["Mp3Bitrate"]), round(theirs.bitrate / 1000))
                frame_seconds = (384 if theirs.layer == 1 else
                                 576 if theirs.layer == 3 and theirs.version != 1 else
                                 1152) / theirs.sample_rate
                expected = theirs.length
                if theirs.bitrate_mode == mp3.BitrateMode.UNKNOWN:
                    expected -= extra.get("trailing", 0) * 8 / theirs.bitrate
                length = ours["Mp3LengthInMilliseconds"] / 1000
                self.assertLessEqual(abs(length - expected), frame_seconds,
                                     f"{length} s against {expected} s")
                self.assertEqual(int(ours["Mp3FileLenghtInSeconds"]), int(length))
                self.assertEqual(ours["Mp3FileSizeInBytes"], os.path.getsize(path))
                if "audio" in extra:
                    self.assertEqual(ours["Mp3AudioBytes"], extra["audio"])

    def test_lame_tags_give_delay_and_frames(self):
        ours = read_json(os.path.join(self.folder, "vbr-44100.mp3"))
        self.assertEqual(ours["Mp3EncoderDelay"], 576)
        self.assertGreater(ours["Mp3Frames"], 0)
        plain = read_json(os.path.join(self.folder, "cbr-no-lame-header-44100.mp3"))
        self.assertEqual(plain["Mp3EncoderDelay"], 0)
        self.assertEqual(plain["Mp3AudioBytes"], os.path.getsize(
            os.path.join(self.folder, "cbr-no-lame-header-44100.mp3")))

    def test_readout_lines_say_vbr_and_mpeg_25_in_their_fields(self):
        def info(name):
            result = subprocess.run([CLI, "info", os.path.join(self.folder, name)],
                                    capture_output=True, check=True)
            return result.stdout.decode().splitlines()

        vbr = info("vbr-22050.mp3")
        theirs = mp3.MP3(os.path.join(self.folder, "vbr-22050.mp3")).info
        self.assertEqual(vbr[2], "MPEG 2.0 layer 3")
        self.assertRegex(vbr[3], r"^VBR \d+ kbps$")
        self.assertLessEqual(abs(int(vbr[3].split()[1]) - theirs.bitrate / 1000), 1.0)
        low = info("cbr-8000.mp3")
        self.assertEqual(low[2], "MPEG 2.5 layer 3")
        self.assertEqual(low[3], "32 kbps")
        self.assertEqual(low[4], "8000 Hz Joint Stereo")

    def test_wav_files_agree(self):
        for name, path, extra in self.corpus.wavs:
            with self.subTest(file=name):
                ours = read_json(path, "wav")
                if "expected" in extra:
                    e = extra["expected"]
                    rate, channels, bits, length = e["rate"], e["channels"], e["bits"], e["length"]
                else:
                    theirs = wave.WAVE(path).info
                    rate, channels, bits = theirs.sample_rate, theirs.channels, \
                        theirs.bits_per_sample
                    length = theirs.length
                self.assertEqual(ours["WAVFrequency"], rate)
                self.assertEqual(ours["WAVChannels"], channels)
                self.assertEqual(ours["WAVBits"], bits)
                self.assertEqual(ours["WAVBitrate"], rate * channels * bits)
                self.assertLessEqual(abs(ours["WAVLenghtInSeconds"] - length), 0.5)
                self.assertEqual(ours["WAVFileSizeInBytes"], os.path.getsize(path))
        formats = {name: read_json(path, "wav")["WavFormat"] for name, path, _ in self.corpus.wavs}
        self.assertEqual(formats["pcm16-44100"], "PCM")
        self.assertEqual(formats["pcm24-96000"], "extensible PCM")
        self.assertEqual(formats["float-48000"], "IEEE float")
        self.assertEqual(formats["rf64"], "PCM")


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    unittest.main(verbosity=2)
