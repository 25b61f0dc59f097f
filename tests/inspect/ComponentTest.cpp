// The inspection component over crafted files: reading both tags and the
// audio data, saving both tags, removing the version 2 tag, WAV data, and
// what is left after a file that cannot be read.
#include "inspect/ID3.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <optional>

#include "id3v2/ID3v2FrameId.h"
#include "id3v2/clsTv2.h"
#include "inspect/Id3v1Tag.h"
#include "inspect/Readout.h"
#include "platform/testing/TestPlatform.h"
#include "tests/id3v2/TagBytes.h"
#include "tests/support/TempDir.h"

namespace brindle::inspect {
namespace {

using namespace id3v2::testbytes;
using platform::testing::FsOp;

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

std::size_t contentSize(const std::string& path) {
  return testsupport::TempDir::read(path).size();
}

/// The length of the version 2 tag at the start of `bytes`.
std::size_t tagLength(const std::string& bytes) {
  auto b = [&](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes[i]));
  };
  return 10 + (b(6) << 21) + (b(7) << 14) + (b(8) << 7) + b(9);
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

  testsupport::TempDir folder;
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  std::vector<std::int16_t> errors;
  std::vector<platform::Error> reasons;
};

TEST_F(ComponentTest, ReadsBothTagsAndTheAudio) {
  const std::string path =
      file(id3tag(3, frame23("TIT2", bytes({0}) + "Two") + frame23("TRCK", bytes({0}) + "07") +
                         frame23("WXXX", bytes({0, 0}) + "http://a/")) +
           audio() + v1Block("One", 17));
  component.ReadID3(path);
  EXPECT_EQ(component.FileName, path);
  EXPECT_TRUE(component.TAGv2Exists);
  EXPECT_EQ(component.TAGv2Title, "Two");
  EXPECT_EQ(component.TAGv2Track, "07");
  EXPECT_EQ(component.TAGv2Url, "http://a/");
  EXPECT_TRUE(component.TAGv1Exists);
  EXPECT_EQ(component.TAGv1Title, "One");
  EXPECT_EQ(component.TAGv1GenreIndex, 17);
  EXPECT_EQ(component.TAGv1Genre, "");
  EXPECT_EQ(component.Mp3MPEG, "MPEG 1.0");
  EXPECT_EQ(component.Mp3Bitrate, "128");
  EXPECT_EQ(component.Mp3FileSizeInBytes, static_cast<std::int64_t>(contentSize(path)));
}

TEST_F(ComponentTest, NoVersion2TagMeansEmptyTexts) {
  component.TAGv2Title = "stale";
  component.ReadID3(file(audio()));
  EXPECT_FALSE(component.TAGv2Exists);
  EXPECT_EQ(component.TAGv2Title, "");
}

TEST_F(ComponentTest, SizeAndLengthTexts) {
  component.ReadID3(file(audio(1500)));
  EXPECT_EQ(component.Mp3FileSize, "1.46 kB");
  component.ReadID3(file(audio(3920000)));
  EXPECT_EQ(component.Mp3FileLenghtInSeconds, "245");
  EXPECT_EQ(component.Mp3FileLenght, "4:05");
}

TEST_F(ComponentTest, AudioIsFoundBehindALargeTag) {
  // A cover picture of 6 KB holding a false sync pair, then the audio in
  // MPEG 2 layer 3 (FF F3): neither is missed nor misread.
  std::string picture = bytes({0}) + "image/jpeg" + bytes({0, 3, 0}) + bytes({0xFF, 0xFB, 0x10, 0});
  picture.resize(6000, 'p');
  const std::string path = file(id3tag(3, frame23("APIC", picture)) +
                                frames(bytes({0xFF, 0xF3, 0x94, 0xC4}), 240, 2400));
  component.ReadID3(path);
  EXPECT_EQ(component.Mp3MPEG, "MPEG 2.0");
  EXPECT_EQ(component.Mp3Bitrate, "80");
  EXPECT_EQ(component.Mp3Channels, "Mono");
}

TEST_F(ComponentTest, MissingVersion1TagMeansNoGenre) {
  component.ReadID3(file(audio() + v1Block("Old", 17), "a.mp3"));
  ASSERT_EQ(component.TAGv1GenreIndex, 17);
  component.ReadID3(file(audio(), "b.mp3"));
  EXPECT_FALSE(component.TAGv1Exists);
  EXPECT_EQ(component.TAGv1GenreIndex, 255);
}

TEST_F(ComponentTest, UnreadableFileLeavesNothingOfTheLastOne) {
  std::string withTrack = v1Block("One", 17);
  withTrack[126] = 7;  // a version 1.1 track number
  component.ReadID3(file(id3tag(3, frame23("TIT2", bytes({0}) + "T")) + audio() + withTrack));
  ASSERT_EQ(component.TAGv1Track, 7);
  component.ReadID3(folder.file("missing.mp3"));
  EXPECT_EQ(component.TAGv1Track, 0);
  EXPECT_FALSE(component.TAGv1Exists);
  EXPECT_FALSE(component.TAGv2Exists);
  EXPECT_EQ(component.TAGv1GenreIndex, 255);
  EXPECT_EQ(component.TAGv2Title, "");
  EXPECT_EQ(component.TAGv1Title, "");
  EXPECT_EQ(component.Mp3FileSizeInBytes, 0);
  EXPECT_EQ(component.Mp3Bitrate, "");
  EXPECT_EQ(component.Mp3FileSize, "");
  EXPECT_FALSE(test.realFileSystem.exists(folder.file("missing.mp3")));
}

TEST_F(ComponentTest, SaveWithoutAFileSaysOops) {
  component.SaveID3();
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].text, "Oops! Error");
  EXPECT_EQ(test.dialogs.messages()[0].title, "Brindle");
  EXPECT_EQ(component.ID3SaveDone, 1);
  EXPECT_TRUE(errors.empty());
  component.RemoveID3Tagv2();
  EXPECT_EQ(test.dialogs.messages().size(), 2u);
  EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentTest, SaveWritesBothTagsAndKeepsOtherFrames) {
  const std::string picture = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0, 1, 2, 3}));
  const std::string path = file(id3tag(3, frame23("TIT2", bytes({0}) + "Old") + picture) + audio());
  component.ReadID3(path);
  component.TAGv2Title = "New \xE2\x98\x83";
  component.TAGv1Title = "V1";
  component.TAGv1Genre = genreText(17);
  component.SaveID3();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(component.ID3SaveDone, 1);
  const std::string written = testsupport::TempDir::read(path);
  EXPECT_NE(written.find(picture), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - 128, 5), "TAGV1");
  EXPECT_EQ(static_cast<unsigned char>(written.back()), 17);

  ID3 again(test.fileSystem, test.clock, test.dialogs);
  again.ReadID3(path);
  EXPECT_EQ(again.TAGv2Title, "New \xE2\x98\x83");
  EXPECT_EQ(again.TAGv1Title, "V1");
  EXPECT_EQ(again.TAGv1GenreIndex, 17);
}

TEST_F(ComponentTest, Version1TagAppendedOnceThenReplacedInPlace) {
  const std::string original = audio();
  const std::string path = file(original);
  component.ReadID3(path);
  component.SaveID3();
  const std::string first = testsupport::TempDir::read(path);
  component.SaveID3();
  const std::string second = testsupport::TempDir::read(path);
  EXPECT_EQ(second.size(), first.size());
  EXPECT_EQ(second.substr(second.size() - 128, 3), "TAG");
  EXPECT_EQ(static_cast<unsigned char>(second.back()), 32);  // no genre chosen: a blank
}

TEST_F(ComponentTest, LowerCaseMarkerRewrittenInPlace) {
  const std::string path = file(audio() + v1Block("Old", 3, "tag"));
  const auto size = contentSize(path);
  component.ReadID3(path);
  EXPECT_TRUE(component.TAGv1Exists);
  component.TAGv1Genre = genreText(3);
  component.SaveID3();
  const std::string written = testsupport::TempDir::read(path);
  EXPECT_EQ(written.substr(written.size() - 128, 6), "TAGOld");
  EXPECT_EQ(written.size() - tagLength(written), size);  // replaced, not added
}

// A save that changes only the version 2 title leaves a v1.1 block (leading
// blanks, the track byte) byte for byte; the readout and the properties
// show the track.
TEST_F(ComponentTest, UntouchedVersion1BlockKeepsItsBytesAndTrack) {
  std::string block = v1Block(" Lead", 17);
  block.replace(97, 5, " note");
  block[126] = 5;
  const std::string path = file(id3tag(3, frame23("TIT2", bytes({0}) + "Old")) + audio() + block);
  component.ReadID3(path);
  EXPECT_EQ(component.TAGv1Track, 5);
  EXPECT_EQ(mp3Readout(component)[9], "ID3 Tag v1: True (v1.1, track 5)");
  component.TAGv1Genre = genreText(component.TAGv1GenreIndex);
  component.TAGv2Title = "New";
  component.SaveID3();
  EXPECT_TRUE(errors.empty());
  const std::string written = testsupport::TempDir::read(path);
  EXPECT_EQ(written.substr(written.size() - 128), block);
  component.TAGv1Comment = "changed";
  component.SaveID3();
  ID3 again(test.fileSystem, test.clock, test.dialogs);
  again.ReadID3(path);
  EXPECT_EQ(again.TAGv1Comment, "changed");
  EXPECT_EQ(again.TAGv1Track, 5);
  EXPECT_EQ(again.TAGv1Title, "Lead");
}

TEST_F(ComponentTest, FailedWritesRaiseOneEventForTheSameCode) {
  const std::string path = file(audio());
  component.ReadID3(path);
  test.fileSystem.fail(FsOp::CreateNewFile, {5, "scripted"});
  test.fileSystem.fail(FsOp::OpenForUpdate, {5, "scripted"});
  component.SaveID3();
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  EXPECT_EQ(component.ID3SaveDone, 1);
  EXPECT_EQ(testsupport::TempDir::read(path), audio());
}

TEST_F(ComponentTest, Version1FailureAloneRaisesItsEventAndWritesNeither) {
  const std::string path = file(audio());
  component.ReadID3(path);
  component.TAGv2Title = "New";
  // The second write into the new file is the version 1 tag's.
  test.fileSystem.failLater(FsOp::Write, 1, {5, "scripted"});
  component.SaveID3();
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  EXPECT_EQ(testsupport::TempDir::read(path), audio());
}

TEST_F(ComponentTest, FullDiskReachesTheErrorEventWithItsErrno) {
  const std::string path = file(audio());
  component.ReadID3(path);
  test.fileSystem.fail(FsOp::Write, {ENOSPC, "scripted"});
  const platform::Status saved = component.SaveID3();
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].code, ENOSPC);
  EXPECT_EQ(reasons[0].message,
            "cannot write the new tag: no space left on the device (No space left on device)");
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().message, reasons[0].message);
  EXPECT_EQ(component.ID3SaveDone, 1);
}

TEST_F(ComponentTest, HalfWrittenVersion1TagLeavesNothingBehind) {
  const std::string original = id3tag(3, frame23("TIT2", bytes({0}) + "Old"), 20) + audio();
  const std::string path = file(original);
  component.ReadID3(path);
  component.TAGv1Title = "V1";
  // The disk fills up 64 bytes into the version 1 tag.
  test.fileSystem.failLater(FsOp::Write, 1, {ENOSPC, "scripted"}, 64);
  const platform::Status saved = component.SaveID3();
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].code, ENOSPC);
  EXPECT_EQ(reasons[0].message,
            "cannot write the ID3v1 tag: no space left on the device (No space left on device)");
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().code, ENOSPC);
  EXPECT_EQ(testsupport::TempDir::read(path), original);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
}

/// A save the component must refuse or give up: the file keeps every byte,
/// the version 1 tag included, and the Error event says why.
struct UnsavedFile {
  const char* name;
  std::string content;
  /// A fault injected after the file was read, before the save.
  std::optional<FsOp> fault;
  const char* reason;
};

/// Names the row in test output instead of its bytes.
void PrintTo(const UnsavedFile& row, std::ostream* out) {
  *out << row.name;
}

class ComponentUnsaved : public ComponentTest, public ::testing::WithParamInterface<UnsavedFile> {};

TEST_P(ComponentUnsaved, NeitherTagIsWritten) {
  const UnsavedFile& row = GetParam();
  const std::string path = file(row.content);
  component.ReadID3(path);
  component.TAGv2Title = "New";
  component.TAGv1Title = "New";
  if (row.fault) test.fileSystem.fail(*row.fault, {EIO, "scripted"});
  const platform::Status saved = component.SaveID3();
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().message, row.reason);
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].message, row.reason);
  EXPECT_EQ(component.ID3SaveDone, 1);
  EXPECT_EQ(testsupport::TempDir::read(path), row.content);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
}

INSTANTIATE_TEST_SUITE_P(
    Files, ComponentUnsaved,
    ::testing::Values(
        UnsavedFile{"Version22FrameWithoutEquivalent",
                    "ID3" + bytes({2, 0, 0}) + syncsafe(12) + "CRM" + bytes({0, 0, 6}) + "owner" +
                        bytes({0}) + audio(),
                    std::nullopt, "the frame CRM has no ID3v2.3 equivalent"},
        UnsavedFile{"TagLongerThanFile", header(3, 5102) + std::string(4078, 'a'), std::nullopt,
                    "the tag claims 5112 bytes but the file has 4088"},
        UnsavedFile{"Wave", "RIFF" + bytes({36, 0, 0, 0}) + "WAVEfmt " + std::string(200, '\0'),
                    std::nullopt, "not an MPEG audio file (it is RIFF/WAVE)"},
        UnsavedFile{"Empty", "", std::nullopt, "the file is empty"},
        UnsavedFile{"ReadErrorOfTheTag",
                    id3tag(3,
                           frame23("TIT2", bytes({0}) + "Old") +
                               frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0, 1})),
                           10) +
                        audio(),
                    FsOp::ReadAt, "cannot read the start of the file: Input/output error"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ComponentTest, RemovalFailureCarriesItsReason) {
  component.ReadID3(file(id3tag(3, frame23("TIT2", bytes({0}) + "T")) + audio()));
  test.fileSystem.fail(FsOp::CreateNewFile, {EACCES, "scripted"});
  const platform::Status removed = component.RemoveID3Tagv2();
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].code, EACCES);
  EXPECT_EQ(reasons[0].message, "cannot create a temporary file beside it: Permission denied");
  EXPECT_FALSE(removed);
}

TEST_F(ComponentTest, ReadsSayWhyAFileCannotBeRead) {
  const platform::Status read = component.ReadID3(folder.file("missing.mp3"));
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().code, ENOENT);
  const platform::Status wav = component.ReadWAV(folder.file("missing.wav"));
  ASSERT_FALSE(wav);
  EXPECT_EQ(wav.error().code, ENOENT);
  EXPECT_EQ(wav.error().message, "cannot open the file: No such file or directory");
  EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentTest, RemoveVersion2KeepsVersion1) {
  const std::string path =
      file(id3tag(3, frame23("TIT2", bytes({0}) + "T")) + audio() + v1Block("One", 1));
  component.ReadID3(path);
  component.RemoveID3Tagv2();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(testsupport::TempDir::read(path), audio() + v1Block("One", 1));
  test.fileSystem.fail(FsOp::CreateNewFile, {5, "scripted"});
  const std::string tagged = file(id3tag(3, frame23("TIT2", bytes({0}) + "T")) + audio(), "t.mp3");
  component.ReadID3(tagged);
  component.RemoveID3Tagv2();
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
}

/// A canonical WAV file of `size` bytes: "fmt " at 12, "data" at 36.
std::string wavFile(std::uint32_t rate, int channels, int bits, std::size_t size,
                    const std::string& marker = "RIFF") {
  std::string bytes(size, '\0');
  auto put32 = [&](std::size_t at, std::uint64_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  const auto align = static_cast<std::uint64_t>(channels * bits / 8);
  bytes.replace(0, 4, marker);
  put32(4, size - 8);
  bytes.replace(8, 8, "WAVEfmt ");
  put32(16, 16);
  bytes[20] = 1;
  bytes[22] = static_cast<char>(channels);
  put32(24, rate);
  put32(28, rate * align);
  bytes[32] = static_cast<char>(align);
  bytes[34] = static_cast<char>(bits);
  bytes.replace(36, 4, "data");
  put32(40, size - 44);
  return bytes;
}

TEST_F(ComponentTest, WavPropertiesAndNoStaleValues) {
  EXPECT_TRUE(component.ReadWAV(file(wavFile(44100, 2, 16, 1764044), "a.wav")));
  EXPECT_EQ(component.WAVFrequency, 44100);
  EXPECT_EQ(component.WAVBitrate, 1411200);
  EXPECT_EQ(component.WAVLenghtInSeconds, 10);
  EXPECT_EQ(component.WAVLenght, "0:10");
  EXPECT_EQ(component.WAVFileSize, "1.68 MB");
  EXPECT_EQ(component.WAVChannels, 2);
  EXPECT_EQ(component.WavFormat, "PCM");
  EXPECT_TRUE(component.FileName.empty());

  EXPECT_TRUE(component.ReadWAV(file(wavFile(44100, 2, 16, 5000, "JUNK"), "b.wav")));
  EXPECT_EQ(component.WAVFrequency, 0);
  EXPECT_EQ(component.WAVBitrate, 0);
  EXPECT_EQ(component.WAVLenghtInSeconds, 0);
  // A file that is no RIFF file has no chunks to read the channels from.
  EXPECT_EQ(component.WAVChannels, 0);
  EXPECT_EQ(component.WavFormat, "");

  EXPECT_TRUE(component.ReadWAV(file(wavFile(16000, 1, 16, 32000 * 3 + 1000), "c.wav")));
  EXPECT_EQ(component.WAVFrequency, 16000);
  EXPECT_EQ(component.WAVLenghtInSeconds, 3);

  EXPECT_FALSE(component.ReadWAV(folder.file("none.wav")));
  EXPECT_EQ(component.WAVFrequency, 0);
  EXPECT_EQ(component.WAVFileSizeInBytes, 0);
}

TEST_F(ComponentTest, ReadoutLines) {
  component.ReadID3(file(audio(3000000)));
  const auto mp3 = mp3Readout(component);
  ASSERT_EQ(mp3.size(), 11u);
  EXPECT_EQ(mp3[0], "Size: 2.86 MB   (3000000 B)");
  EXPECT_EQ(mp3[1], "Length: 3:07   (187 sec)");
  EXPECT_EQ(mp3[2], "MPEG 1.0 layer 3");
  EXPECT_EQ(mp3[3], "128 kbps");
  EXPECT_EQ(mp3[4], "44100 Hz Joint Stereo");
  EXPECT_EQ(mp3[5], "CRCs: No");
  EXPECT_EQ(mp3[9], "ID3 Tag v1: False");
  EXPECT_EQ(mp3[10], "ID3 Tag v2: False");
  component.ReadWAV(file(wavFile(44100, 2, 16, 1764044), "a.wav"));
  EXPECT_EQ(wavReadout(component),
            (std::vector<std::string>{"Size: 1.68 MB   (1764044 B)", "Lenght: 0:10   (10 sec)",
                                      "Bitrate: 1411200", "Bits: 16", "Channels: 2",
                                      "Frequency: 44100"}));
  EXPECT_EQ(readoutKindFor("a.MP3"), ReadoutKind::Mp3);
  EXPECT_EQ(readoutKindFor("a.mp3"), ReadoutKind::Mp3);
  EXPECT_EQ(readoutKindFor("a.Mp3"), ReadoutKind::None);
  EXPECT_EQ(readoutKindFor("a.WAV"), ReadoutKind::Wav);
}

TEST_F(ComponentTest, ReadoutSaysVbrAndMpeg25InItsFields) {
  // MPEG 2.5 layer 3 at 40 kbit/s and 8 kHz, mono: 360-byte frames; the
  // first holds a "Xing" header (offset 13) counting 100 frames of 36,000
  // bytes in all.
  std::string stream = frames(bytes({0xFF, 0xE3, 0x58, 0xC4}), 360, 360 * 101);
  stream.replace(13, 16, "Xing" + bytes({0, 0, 0, 3, 0, 0, 0, 100, 0, 0, 0x8F, 0x8C}));
  component.ReadID3(file(stream));
  const auto lines = mp3Readout(component);
  EXPECT_EQ(lines[2], "MPEG 2.5 layer 3");
  // 35,640 bytes after the header's frame over 100 × 576 samples at 8 kHz.
  EXPECT_EQ(lines[3], "VBR 40 kbps");
  EXPECT_EQ(lines[4], "8000 Hz Mono");
  EXPECT_EQ(lines[1], "Length: 0:07   (7 sec)");
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(component.Mp3Frames, 100);
  EXPECT_EQ(component.Mp3LengthInMilliseconds, 7200);
}

TEST_F(ComponentTest, TagsAtTheEndAreNotAudio) {
  // 41,700 bytes of 128 kbit/s audio (2.606 s), then an APEv2 tag with a
  // header, a Lyrics3 version 2 tag and a version 1 tag.
  std::string ape = "APETAGEX" +
                    bytes({0xD0, 0x07, 0, 0, 0x2C, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xA0}) +
                    std::string(8, '\0');
  std::string item = bytes({2, 0, 0, 0, 0, 0, 0, 0}) + "Ab" + bytes({0}) + "xy";
  item.resize(12, '\0');
  std::string footer = ape;
  footer[20] = 0;
  footer[21] = 0;
  footer[22] = 0;
  footer[23] = static_cast<char>(0x80);
  const std::string lyrics = "LYRICSBEGININD00002" + std::string("10") + "000021LYRICS200";
  const std::string path = file(audio(41700) + ape + item + footer + lyrics + v1Block("One", 17));
  component.ReadID3(path);
  EXPECT_TRUE(component.TAGv1Exists);
  EXPECT_EQ(component.Mp3AudioBytes, 41700);
  EXPECT_EQ(component.Mp3LengthInMilliseconds, 2606);
}

TEST_F(ComponentTest, SizesOf2GiBAndMoreAreRight) {
  // A sparse file through the platform file system: 2 GiB + 1000 bytes.
  const std::string path = folder.file("big.mp3");
  {
    const std::string frame = audio(417 * 3);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(frame.data(), 1, frame.size(), out);
    std::fclose(out);
    ASSERT_EQ(::truncate(path.c_str(), (2LL << 30) + 1000), 0);
  }
  component.ReadID3(path);
  EXPECT_EQ(component.Mp3FileSizeInBytes, (2LL << 30) + 1000);
  EXPECT_EQ(mp3Readout(component)[0], "Size: 2048 MB   (2147484648 B)");
  // (2^31 + 1000) × 8 ÷ 128 ms.
  EXPECT_EQ(component.Mp3LengthInMilliseconds, ((2LL << 30) + 1000) * 8 / 128);
  ASSERT_EQ(::truncate(path.c_str(), (4LL << 30) + 1000), 0);
  component.ReadWAV(path);
  EXPECT_EQ(component.WAVFileSizeInBytes, (4LL << 30) + 1000);
  EXPECT_EQ(wavReadout(component)[0], "Size: 4096 MB   (4294968296 B)");
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace brindle::inspect
