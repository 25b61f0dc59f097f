// The inspection component on crafted files: both tags and the audio read, saved, removed, refused.
#include "inspect/ID3.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "inspect/Id3v1Tag.h"
#include "inspect/Readout.h"
#include "platform/testing/TestPlatform.h"
#include "tests/id3v2/TagBytes.h"
#include "tests/support/TempDir.h"

namespace brindle::inspect {
namespace {

using namespace id3v2::testbytes;
using platform::testing::FsOp;
using testsupport::TempDir;

/// `size` bytes of frames of `frameLength` bytes with this header, silent.
std::string frames(const std::string& header, std::size_t frameLength, std::size_t size) {
  std::string frame = header + std::string(frameLength - header.size(), '\0');
  std::string stream;
  while (stream.size() < size) stream += frame;
  stream.resize(size);
  return stream;
}

/// MPEG 1 layer 3 frames at 128 kbit/s and 44.1 kHz (417 bytes each).
std::string audio(std::size_t size = 4000) {
  return frames(bytes({0xFF, 0xFB, 0x90, 0x64}), 417, size);
}

std::string title(const std::string& text) {
  return frame23("TIT2", bytes({0}) + text);
}

std::string v1Block(const std::string& title, int genre, const std::string& marker = "TAG") {
  std::string block = marker + title;
  block.resize(127, '\0');
  return block + static_cast<char>(genre);
}

class ComponentTest : public ::testing::Test {
 protected:
  ComponentTest() {
    component.setDecimalSeparator('.');
    component.setErrorHandler([this](std::int16_t code, const platform::Error& reason) {
      errors.push_back(code);
      reasons.push_back(reason);
    });
  }
  std::string file(const std::string& content, const std::string& name = "song.mp3") {
    return folder.write(name, content);
  }
  ID3 reread(const std::string& path) {
    ID3 again(test.fileSystem, test.clock, test.dialogs);
    again.ReadID3(path);
    return again;
  }

  TempDir folder;
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  std::vector<std::int16_t> errors;
  std::vector<platform::Error> reasons;
};

TEST_F(ComponentTest, ReadsBothTagsAndTheAudioAndNothingOfTheLastFile) {
  std::string v11 = v1Block("One", 17);
  v11[126] = 7;  // a version 1.1 track number
  const std::string path = file(id3tag(3, title("Two") + frame23("TRCK", bytes({0}) + "07") +
                                              frame23("WXXX", bytes({0, 0}) + "http://a/")) +
                                audio() + v11);
  component.ReadID3(path);
  EXPECT_EQ(component.FileName, path);
  EXPECT_TRUE(component.TAGv2Exists && component.TAGv1Exists);
  EXPECT_EQ(component.TAGv2Title + "|" + component.TAGv2Track + "|" + component.TAGv2Url + "|" +
                component.TAGv1Title + "|" + std::to_string(component.TAGv1GenreIndex) + "|" +
                component.TAGv1Genre + "|" + std::to_string(component.TAGv1Track) + "|" +
                component.Mp3MPEG + " " + component.Mp3Bitrate,
            "Two|07|http://a/|One|17||7|MPEG 1.0 128");
  EXPECT_EQ(component.Mp3FileSizeInBytes, static_cast<std::int64_t>(TempDir::read(path).size()));

  component.ReadID3(file(audio(), "plain.mp3"));
  EXPECT_FALSE(component.TAGv2Exists || component.TAGv1Exists);
  EXPECT_EQ(component.TAGv2Title + std::to_string(component.TAGv1GenreIndex), "255");

  component.ReadID3(path);
  const platform::Status read = component.ReadID3(folder.file("missing.mp3"));
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().code, ENOENT);
  EXPECT_FALSE(component.TAGv1Exists || component.TAGv2Exists);
  EXPECT_EQ(component.TAGv2Title + component.TAGv1Title + component.Mp3Bitrate +
                component.Mp3FileSize + std::to_string(component.TAGv1Track) +
                std::to_string(component.TAGv1GenreIndex) +
                std::to_string(component.Mp3FileSizeInBytes),
            "02550");
  EXPECT_FALSE(test.realFileSystem.exists(folder.file("missing.mp3")));
  EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentTest, AudioTextsAndReadouts) {
  component.ReadID3(file(audio(1500)));
  EXPECT_EQ(component.Mp3FileSize, "1.46 kB");
  component.ReadID3(file(audio(3920000)));
  EXPECT_EQ(component.Mp3FileLenghtInSeconds + " " + component.Mp3FileLenght, "245 4:05");
  component.ReadID3(file(audio(3000000)));
  EXPECT_EQ(mp3Readout(component),
            (std::vector<std::string>{"Size: 2.86 MB   (3000000 B)", "Length: 3:07   (187 sec)",
                                      "MPEG 1.0 layer 3", "128 kbps", "44100 Hz Joint Stereo",
                                      "CRCs: No", "Copyright: No", "Original: Yes",
                                      "Emphasis: None", "ID3 Tag v1: False", "ID3 Tag v2: False"}));
  component.ReadID3(file(audio() + v1Block("x", 1).replace(125, 2, bytes({0, 5}))));
  EXPECT_EQ(mp3Readout(component)[9], "ID3 Tag v1: True (v1.1, track 5)");

  // A 6 KB cover holding a false sync pair, then MPEG 2 layer 3 audio: neither missed nor misread.
  std::string picture = bytes({0}) + "image/jpeg" + bytes({0, 3, 0, 0xFF, 0xFB, 0x10, 0});
  picture.resize(6000, 'p');
  component.ReadID3(file(id3tag(3, frame23("APIC", picture)) +
                         frames(bytes({0xFF, 0xF3, 0x94, 0xC4}), 240, 2400)));
  EXPECT_EQ(component.Mp3MPEG + " " + component.Mp3Bitrate + " " + component.Mp3Channels,
            "MPEG 2.0 80 Mono");

  // MPEG 2.5 layer 3 at 8 kHz, a "Xing" header counting 100 frames of 36,000 bytes.
  std::string stream = frames(bytes({0xFF, 0xE3, 0x58, 0xC4}), 360, 360 * 101);
  stream.replace(13, 16, "Xing" + bytes({0, 0, 0, 3, 0, 0, 0, 100, 0, 0, 0x8F, 0x8C}));
  component.ReadID3(file(stream));
  const auto lines = mp3Readout(component);
  EXPECT_EQ(lines[1] + "|" + lines[2] + "|" + lines[3] + "|" + lines[4],
            "Length: 0:07   (7 sec)|MPEG 2.5 layer 3|VBR 40 kbps|8000 Hz Mono");
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(
      std::to_string(component.Mp3Frames) + " " + std::to_string(component.Mp3LengthInMilliseconds),
      "100 7200");

  // 41,700 bytes of audio (2.606 s), then an APEv2 tag with a header, Lyrics3 v2 and version 1.
  std::string ape =
      "APETAGEX" + bytes({0xD0, 0x07, 0, 0, 0x2C, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xA0});
  std::string footer = ape.substr(0, 20) + bytes({0, 0, 0, 0x80});
  std::string item = bytes({2, 0, 0, 0, 0, 0, 0, 0}) + "Ab" + bytes({0}) + "x";
  component.ReadID3(file(audio(41700) + ape + std::string(8, '\0') + item + footer +
                         std::string(8, '\0') + "LYRICSBEGININD0000210000021LYRICS200" +
                         v1Block("One", 17)));
  EXPECT_TRUE(component.TAGv1Exists);
  EXPECT_EQ(component.Mp3AudioBytes, 41700);
  EXPECT_FALSE(component.Mp3Vbr);  // nothing left of the VBR file before
  EXPECT_EQ(component.Mp3LengthInMilliseconds, 2606);

  std::vector<ReadoutKind> kinds;
  for (const char* name : {"a.MP3", "a.mp3", "a.Mp3", "a.WAV", "a.wav", ".mp3", "mp3"})
    kinds.push_back(readoutKindFor(name));
  using enum ReadoutKind;
  EXPECT_EQ(kinds, (std::vector<ReadoutKind>{Mp3, Mp3, None, Wav, Wav, Mp3, None}));
}

TEST_F(ComponentTest, SizesOf2GiBAndMoreAreRight) {
  const std::string path = file(audio(417 * 3), "big.mp3");
  ASSERT_EQ(::truncate(path.c_str(), (2LL << 30) + 1000), 0);  // sparse
  component.ReadID3(path);
  EXPECT_EQ(component.Mp3FileSizeInBytes, (2LL << 30) + 1000);
  EXPECT_EQ(mp3Readout(component)[0], "Size: 2048 MB   (2147484648 B)");
  EXPECT_EQ(component.Mp3LengthInMilliseconds, ((2LL << 30) + 1000) * 8 / 128);
  ASSERT_EQ(::truncate(path.c_str(), (4LL << 30) + 1000), 0);
  component.ReadWAV(path);
  EXPECT_EQ(component.WAVFileSizeInBytes, (4LL << 30) + 1000);
  EXPECT_EQ(wavReadout(component)[0], "Size: 4096 MB   (4294968296 B)");
  ::unlink(path.c_str());
}

TEST_F(ComponentTest, SaveWithoutAFileSaysOops) {
  component.SaveID3();
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].title + ": " + test.dialogs.messages()[0].text,
            "Brindle: Oops! Error");
  EXPECT_EQ(component.ID3SaveDone, 1);
  component.RemoveID3Tagv2();
  EXPECT_EQ(test.dialogs.messages().size(), 2u);
  EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentTest, SaveWritesBothTagsAndKeepsOtherFrames) {
  const std::string picture = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0, 1, 2, 3}));
  const std::string path = file(id3tag(3, title("Old") + picture) + audio());
  component.ReadID3(path);
  component.TAGv2Title = "New \xE2\x98\x83";
  component.TAGv1Title = "V1";
  component.TAGv1Genre = genreText(17);
  EXPECT_TRUE(component.SaveID3());
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(component.ID3SaveDone, 1);
  const std::string written = TempDir::read(path);
  EXPECT_NE(written.find(picture), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - 128, 5), "TAGV1");
  EXPECT_EQ(written.back(), 17);
  const ID3 again = reread(path);
  EXPECT_EQ(again.TAGv2Title + "|" + again.TAGv1Title + "|" + std::to_string(again.TAGv1GenreIndex),
            "New \xE2\x98\x83|V1|17");

  // The version 1 tag is appended once, then replaced; no genre chosen is a blank.
  const std::string plain = file(audio(), "plain.mp3");
  component.ReadID3(plain);
  component.SaveID3();
  const std::size_t size = TempDir::read(plain).size();
  component.SaveID3();
  const std::string second = TempDir::read(plain);
  EXPECT_EQ(second.size(), size);
  EXPECT_EQ(second.substr(second.size() - 128, 3) + second.back(), "TAG ");

  // A lower-case marker counts as a tag and is replaced, not added to.
  const std::string lower = file(audio() + v1Block("Old", 3, "tag"), "lower.mp3");
  component.ReadID3(lower);
  EXPECT_TRUE(component.TAGv1Exists);
  component.TAGv1Genre = genreText(3);
  component.SaveID3();
  const std::string relabelled = TempDir::read(lower);
  EXPECT_EQ(relabelled.substr(relabelled.size() - 128 - 4000, 4000), audio());
  EXPECT_EQ(relabelled.substr(relabelled.size() - 128, 6), "TAGOld");
}

// Saving only a new version 2 title keeps a v1.1 block's bytes; a changed comment keeps the track.
TEST_F(ComponentTest, UntouchedVersion1BlockKeepsItsBytesAndTrack) {
  std::string block = v1Block(" Lead", 17);
  block.replace(97, 5, " note");
  block[126] = 5;
  const std::string path = file(id3tag(3, title("Old")) + audio() + block);
  component.ReadID3(path);
  component.TAGv1Genre = genreText(component.TAGv1GenreIndex);
  component.TAGv2Title = "New";
  component.SaveID3();
  EXPECT_TRUE(errors.empty());
  const std::string written = TempDir::read(path);
  EXPECT_EQ(written.substr(written.size() - 128), block);
  component.TAGv1Comment = "changed";
  component.SaveID3();
  const ID3 again = reread(path);
  EXPECT_EQ(again.TAGv1Comment + again.TAGv1Title + std::to_string(again.TAGv1Track),
            "changedLead5");
}

/// A refused or failed save/removal: `passing` calls pass first (-1: all fail), `written` bytes of
/// the failing write still land; the file keeps every byte and the Error event says why once.
struct Unsaved {
  const char* name;
  std::string content;
  std::optional<FsOp> fault;
  int passing, code;
  std::string reason;
  bool remove = false;
  std::size_t written = 0;
};

class ComponentUnsaved : public ComponentTest, public ::testing::WithParamInterface<Unsaved> {};

TEST_P(ComponentUnsaved, NeitherTagIsWritten) {
  const Unsaved& row = GetParam();
  const std::string path = file(row.content);
  component.ReadID3(path);
  component.TAGv2Title = "New";
  component.TAGv1Title = "New";
  if (row.fault && row.passing < 0) test.fileSystem.fail(*row.fault, {row.code, "scripted"});
  if (row.fault && row.passing >= 0)
    test.fileSystem.failLater(*row.fault, row.passing, {row.code, "scripted"}, row.written);
  const platform::Status saved = row.remove ? component.RemoveID3Tagv2() : component.SaveID3();
  ASSERT_FALSE(saved);
  EXPECT_EQ(std::to_string(saved.error().code) + " " + saved.error().message,
            std::to_string(row.fault ? row.code : 0) + " " + row.reason);
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].message + std::to_string(reasons[0].code),
            row.reason + std::to_string(saved.error().code));
  EXPECT_EQ(component.ID3SaveDone, row.remove ? 0 : 1);
  EXPECT_EQ(TempDir::read(path), row.content);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
}

const std::string kTagged = id3tag(3, title("Old"), 20) + audio();
// clang-format off
const std::string kNoSpace = ": no space left on the device (No space left on device)";
const std::string kNoTemp = "cannot create a temporary file beside it", kNoV1 = "cannot write the ID3v1 tag";
const std::string kApic = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3}));
INSTANTIATE_TEST_SUITE_P(Files, ComponentUnsaved, ::testing::Values(
    Unsaved{"Wave", "RIFF" + bytes({36, 0, 0, 0}) + "WAVEfmt " + std::string(200, '\0'), std::nullopt, -1, 0,
            "not an MPEG audio file (it is RIFF/WAVE)"},
    Unsaved{"ReadErrorOfTheTag", id3tag(3, title("Old") + kApic, 10) + audio(), FsOp::ReadAt, -1, EIO,
            "cannot read the start of the file: Input/output error"},
    Unsaved{"CreateFails", audio(), FsOp::CreateNewFile, -1, EIO, kNoTemp + ": Input/output error"},
    Unsaved{"Version1WriteFails", audio(), FsOp::Write, 1, EIO, kNoV1 + ": Input/output error"},
    Unsaved{"Version1HalfWritten", kTagged, FsOp::Write, 1, ENOSPC, kNoV1 + kNoSpace, false, 64},
    Unsaved{"RemovalCreateFails", kTagged, FsOp::CreateNewFile, -1, EACCES, kNoTemp + ": Permission denied",
            true}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(ComponentTest, RemoveVersion2KeepsVersion1) {
  const std::string path = file(id3tag(3, title("T")) + audio() + v1Block("One", 1));
  component.ReadID3(path);
  EXPECT_TRUE(component.RemoveID3Tagv2());
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(TempDir::read(path), audio() + v1Block("One", 1));
}

// Files made by an encoder: constant and variable bit rate (frames counted by its "Xing" header,
// the LAME tag's delay and padding leaving the tone's 441,000 samples), and the WAV it came from.
TEST_F(ComponentTest, RealEncodedFiles) {
  if (std::system("command -v sox >/dev/null && command -v lame >/dev/null") != 0) GTEST_SKIP();
  const std::string wav = folder.file("tone.wav"), cbr = folder.file("cbr.mp3"),
                    vbr = folder.file("vbr.mp3");
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + wav +
                         "' synth 10 sine 440 && lame --quiet -b 128 '" + wav + "' '" + cbr +
                         "' && lame --quiet -V 4 '" + wav + "' '" + vbr + "'")
                            .c_str()),
            0);
  component.ReadID3(cbr);
  EXPECT_EQ(component.Mp3MPEG + " " + component.Mp3Layer + " " + component.Mp3Bitrate + " " +
                component.Mp3Frequency + " " + component.Mp3FileLenghtInSeconds + " " +
                component.Mp3FileLenght,
            "MPEG 1.0 layer 3 128 44100 Hz 10 0:10");
  const std::string bytes = TempDir::read(vbr);
  const std::size_t frame = bytes.find("\xFF\xFB");
  ASSERT_EQ(bytes.substr(frame + 36, 4), "Xing");
  std::int64_t frames = 0;
  for (std::size_t i = 44; i < 48; ++i)
    frames = frames * 256 + static_cast<unsigned char>(bytes[frame + i]);
  component.ReadID3(vbr);
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(component.Mp3Frames, frames);
  EXPECT_EQ(std::to_string(component.Mp3LengthInMilliseconds) + " " +
                component.Mp3FileLenghtInSeconds + " " + component.Mp3Bitrate.substr(0, 4),
            "10000 10 VBR ");
  EXPECT_TRUE(component.ReadWAV(wav));
  EXPECT_EQ(
      (std::vector<std::int64_t>{component.WAVFrequency, component.WAVChannels, component.WAVBits,
                                 component.WAVBitrate, component.WAVLenghtInSeconds}),
      (std::vector<std::int64_t>{44100, 2, 16, 1411200, 10}));
}

}  // namespace
}  // namespace brindle::inspect
