// The MPEG frame analysis on crafted frames: every version and layer with
// its own tables, the search that wants a second frame, the VBR headers and
// the tags that are not audio.
#include "inspect/MpegAnalysis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brindle::inspect {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// `count` frames with this header, each as long as the header says, the
/// rest of each frame zero.
Bytes frames(Bytes header, int count) {
  const auto parsed = parseFrameHeader(header);
  EXPECT_TRUE(parsed.has_value());
  Bytes bytes;
  for (int i = 0; i < count; ++i) {
    Bytes frame(static_cast<std::size_t>(parsed->frameLength()), 0);
    std::copy(header.begin(), header.end(), frame.begin());
    bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  return bytes;
}

void put(Bytes& bytes, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

Mp3Info analyse(const Bytes& bytes) {
  return ReadMPEG(bytes, AudioExtent{0, bytes.size(), bytes.size()});
}

struct HeaderRow {
  Bytes header;
  const char* mpeg;
  const char* layer;
  const char* bitrate;
  const char* frequency;
  int frameLength;
  int samplesPerFrame;
  const char* channels;
};

TEST(ReadMPEG, EveryVersionAndLayerWithItsOwnTables) {
  const HeaderRow rows[] = {
      {{0xFF, 0xFB, 0x90, 0x64},
       "MPEG 1.0",
       "layer 3",
       "128",
       "44100 Hz",
       417,
       1152,
       "Joint Stereo"},
      {{0xFF, 0xFB, 0x92, 0x64},
       "MPEG 1.0",
       "layer 3",
       "128",
       "44100 Hz",
       418,
       1152,
       "Joint Stereo"},
      {{0xFF, 0xFD, 0x94, 0x00}, "MPEG 1.0", "layer 2", "160", "48000 Hz", 480, 1152, "Stereo"},
      {{0xFF, 0xFF, 0x98, 0xC0}, "MPEG 1.0", "layer 1", "288", "32000 Hz", 432, 384, "Mono"},
      {{0xFF, 0xF3, 0x94, 0x80}, "MPEG 2.0", "layer 3", "80", "24000 Hz", 240, 576, "2 Channel"},
      {{0xFF, 0xF5, 0x88, 0xC0}, "MPEG 2.0", "layer 2", "64", "16000 Hz", 576, 1152, "Mono"},
      {{0xFF, 0xF7, 0x80, 0x40},
       "MPEG 2.0",
       "layer 1",
       "128",
       "22050 Hz",
       276,
       384,
       "Joint Stereo"},
      {{0xFF, 0xE3, 0x58, 0xC0}, "MPEG 2.5", "layer 3", "40", "8000 Hz", 360, 576, "Mono"},
      {{0xFF, 0xE3, 0x50, 0xC0}, "MPEG 2.5", "layer 3", "40", "11025 Hz", 261, 576, "Mono"},
      {{0xFF, 0xE3, 0x54, 0xC0}, "MPEG 2.5", "layer 3", "40", "12000 Hz", 240, 576, "Mono"},
  };
  for (const HeaderRow& row : rows) {
    const auto header = parseFrameHeader(row.header);
    ASSERT_TRUE(header.has_value()) << row.mpeg << " " << row.layer;
    EXPECT_EQ(header->frameLength(), row.frameLength) << row.mpeg << " " << row.layer;
    EXPECT_EQ(header->samplesPerFrame(), row.samplesPerFrame) << row.mpeg << " " << row.layer;
    const Mp3Info info = analyse(frames(row.header, 10));
    EXPECT_EQ(info.MPEG, row.mpeg);
    EXPECT_EQ(info.Layer, row.layer);
    EXPECT_EQ(info.Bitrate, row.bitrate) << row.mpeg << " " << row.layer;
    EXPECT_EQ(info.Frequency, row.frequency);
    EXPECT_EQ(info.Channels, row.channels);
    EXPECT_FALSE(info.vbr);
  }
}

TEST(ReadMPEG, DecodesTheFlags) {
  const Mp3Info info = analyse(frames({0xFF, 0xFA, 0x90, 0x0F}, 3));
  EXPECT_EQ(info.CRC, "Yes");
  EXPECT_EQ(info.Copyright, "Yes");
  EXPECT_EQ(info.Original, "Yes");
  EXPECT_EQ(info.Emphasis, "CITT j. 17");
  EXPECT_EQ(info.Channels, "Stereo");
  const Mp3Info plain = analyse(frames({0xFF, 0xFB, 0x90, 0x64}, 3));
  EXPECT_EQ(plain.CRC, "No");
  EXPECT_EQ(plain.Copyright, "No");
  EXPECT_EQ(plain.Original, "Yes");
  EXPECT_EQ(plain.Emphasis, "None");
}

TEST(ParseFrameHeader, ReservedAndFreeFormatValuesAreNoHeader) {
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xEB, 0x90, 0x64}));  // version 01
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xF9, 0x90, 0x64}));  // layer 00
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xFB, 0xF0, 0x64}));  // bit rate 15
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xFB, 0x0C, 0x64}));  // free format
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xFB, 0x9C, 0x64}));  // sampling 11
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xDB, 0x90, 0x64}));  // sync
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xFB, 0x90}));
}

TEST(ReadMPEG, ACandidateWithoutANextFrameIsPassed) {
  // A 32 kHz header whose frame is not followed by another, then the real
  // 44.1 kHz frames.
  Bytes bytes = {0x00, 0xFF, 0xFB, 0x98, 0x64, 0x11, 0x22};
  const Bytes audio = frames({0xFF, 0xFB, 0x90, 0x64}, 5);
  bytes.insert(bytes.end(), audio.begin(), audio.end());
  const Mp3Info info = analyse(bytes);
  EXPECT_EQ(info.Frequency, "44100 Hz");
  EXPECT_EQ(info.audioBytes, static_cast<std::int64_t>(audio.size()));
  // A next header of another stream does not confirm a frame either.
  Bytes mixed = frames({0xFF, 0xFB, 0x98, 0x64}, 1);
  const Bytes other = frames({0xFF, 0xF3, 0x94, 0x80}, 4);
  mixed.insert(mixed.end(), other.begin(), other.end());
  EXPECT_EQ(analyse(mixed).Frequency, "24000 Hz");
}

TEST(ReadMPEG, NoFrameLeavesOnlyTheSize) {
  const Mp3Info info = ReadMPEG(Bytes(5000, 0xFF), AudioExtent{0, 5000, 6000});
  EXPECT_EQ(info.MPEG, "");
  EXPECT_EQ(info.Bitrate, "");
  EXPECT_EQ(info.LengthInSeconds, "");
  EXPECT_EQ(info.FileSize, "6000");
}

TEST(ReadMPEG, AFrameThatEndsTheAudioNeedsNoSecond) {
  const Mp3Info info = analyse(frames({0xFF, 0xFB, 0x90, 0x64}, 1));
  EXPECT_EQ(info.MPEG, "MPEG 1.0");
  Bytes cut = frames({0xFF, 0xFB, 0x90, 0x64}, 1);
  cut.pop_back();
  EXPECT_EQ(analyse(cut).MPEG, "");
}

TEST(ReadMPEG, ConstantBitRateLengthCountsOnlyTheAudio) {
  // 4,000,000 bytes of 128 kbit/s audio between a 100,000-byte tag at the
  // start and 300 bytes of tags at the end: 250 s.
  const Bytes window = frames({0xFF, 0xFB, 0x90, 0x64}, 3);
  const Mp3Info info = ReadMPEG(window, AudioExtent{100000, 4100000, 4100300});
  EXPECT_EQ(info.lengthInMilliseconds, 250000);
  EXPECT_EQ(info.LengthInSeconds, "250");
  EXPECT_EQ(info.audioBytes, 4000000);
  EXPECT_EQ(info.Bitrate, "128");
  EXPECT_EQ(info.FileSize, "4100300");
  // 4,000,000 × 8 × 44100 ÷ (128,000 × 1152) frames.
  EXPECT_EQ(info.frames, 9570);
}

/// A first frame carrying a "Xing"/"Info" header with frame and byte counts
/// and a LAME tag, followed by three ordinary frames.
Bytes xingFile(Bytes header, std::size_t offset, const std::string& kind, std::uint32_t count,
               std::uint32_t byteCount, bool lame) {
  Bytes bytes = frames(header, 4);
  put(bytes, offset, kind);
  put32(bytes, offset + 4, 0x0F);
  put32(bytes, offset + 8, count);
  put32(bytes, offset + 12, byteCount);
  if (lame) {
    const std::size_t tag = offset + 120;
    put(bytes, tag, "LAME3.100");
    // Delay 576, padding 1000 (0x240, 0x3E8).
    bytes[tag + 21] = 0x24;
    bytes[tag + 22] = 0x03;
    bytes[tag + 23] = 0xE8;
  }
  return bytes;
}

TEST(ReadMPEG, XingHeaderAtTheOffsetOfVersionAndMode) {
  struct Row {
    Bytes header;
    std::size_t offset;
  };
  const Row rows[] = {
      {{0xFF, 0xFB, 0x90, 0x64}, 36},  // MPEG 1 stereo
      {{0xFF, 0xFB, 0x90, 0xC4}, 21},  // MPEG 1 mono
      {{0xFF, 0xF3, 0x94, 0x44}, 21},  // MPEG 2 joint stereo
      {{0xFF, 0xE3, 0x94, 0xC4}, 13},  // MPEG 2.5 mono
  };
  for (const Row& row : rows) {
    const auto header = parseFrameHeader(row.header);
    const Mp3Info info = analyse(xingFile(row.header, row.offset, "Xing", 1000, 500000, false));
    EXPECT_TRUE(info.vbr) << row.offset;
    EXPECT_EQ(info.frames, 1000);
    EXPECT_EQ(info.lengthInMilliseconds,
              1000LL * header->samplesPerFrame() * 1000 / header->sampleRate);
  }
}

TEST(ReadMPEG, XingLengthAndAverageBitRateWithLameTag) {
  // 1000 frames of 1152 samples at 44.1 kHz, less 1576 samples of delay and
  // padding: 1,150,424 samples, 26.086 s.
  const Bytes bytes = xingFile({0xFF, 0xFB, 0x90, 0x64}, 36, "Xing", 1000, 600417, true);
  const Mp3Info info = analyse(bytes);
  EXPECT_TRUE(info.vbr);
  EXPECT_EQ(info.encoderDelay, 576);
  EXPECT_EQ(info.encoderPadding, 1000);
  EXPECT_EQ(info.lengthInMilliseconds, 26086);
  EXPECT_EQ(info.LengthInSeconds, "26");
  // 600,000 bytes of the frames counted (the header's frame left out) over
  // 1000 × 1152 samples: 183.75 kbit/s.
  EXPECT_EQ(info.Bitrate, "VBR 184");
}

TEST(ReadMPEG, InfoHeaderIsAConstantBitRate) {
  const Mp3Info info = analyse(xingFile({0xFF, 0xFB, 0x90, 0x64}, 36, "Info", 100, 41800, true));
  EXPECT_FALSE(info.vbr);
  EXPECT_EQ(info.Bitrate, "128");
  EXPECT_EQ(info.frames, 100);
  EXPECT_EQ(info.lengthInMilliseconds, (100 * 1152 - 1576) * 1000 / 44100);
}

TEST(ReadMPEG, XingAtAnotherOffsetIsNoHeader) {
  const Mp3Info info = analyse(xingFile({0xFF, 0xFB, 0x90, 0x64}, 21, "Xing", 1000, 500000, false));
  EXPECT_FALSE(info.vbr);
  EXPECT_EQ(info.frames, 4);
}

TEST(ReadMPEG, VbriHeader32BytesAfterTheHeader) {
  Bytes bytes = frames({0xFF, 0xFB, 0x90, 0x64}, 4);
  put(bytes, 36, "VBRI");
  bytes[41] = 1;  // version
  put32(bytes, 46, 2000000);
  put32(bytes, 50, 2000);
  const Mp3Info info = analyse(bytes);
  EXPECT_TRUE(info.vbr);
  EXPECT_EQ(info.frames, 2000);
  // 2000 × 1152 samples at 44.1 kHz: 52.244 s; 16,000,000 bits over them.
  EXPECT_EQ(info.lengthInMilliseconds, 52244);
  EXPECT_EQ(info.Bitrate, "VBR 306");
}

TEST(ReadMPEG, LayerOneAndTwoHaveNoVbrHeader) {
  Bytes bytes = frames({0xFF, 0xFD, 0x94, 0x00}, 4);
  put(bytes, 36, "Xing");
  put32(bytes, 40, 1);
  put32(bytes, 44, 1000);
  EXPECT_FALSE(analyse(bytes).vbr);
}

TEST(HoldsFirstFrame, OnlyWhenTheAnswerIsKnown) {
  const Bytes bytes = frames({0xFF, 0xFB, 0x90, 0x64}, 3);
  EXPECT_TRUE(holdsFirstFrame(bytes, bytes.size()));
  EXPECT_TRUE(holdsFirstFrame(bytes, 1000000));
  // The next header is missing, and more audio follows.
  EXPECT_FALSE(holdsFirstFrame(Bytes(bytes.begin(), bytes.begin() + 419), 1000000));
  EXPECT_FALSE(holdsFirstFrame(Bytes(100, 0), 1000000));
  EXPECT_TRUE(holdsFirstFrame(Bytes(100, 0), 100));
}

TEST(FindFirstFrame, SearchEndsAtTheSearchLength) {
  Bytes bytes(kMpegSearchLength, 0);
  const Bytes audio = frames({0xFF, 0xFB, 0x90, 0x64}, 3);
  bytes.insert(bytes.end(), audio.begin(), audio.end());
  EXPECT_EQ(findFirstFrame(bytes, bytes.size()).outcome, FrameSearch::Outcome::NotFound);
  bytes.erase(bytes.begin());
  const FrameSearch found = findFirstFrame(bytes, bytes.size());
  EXPECT_EQ(found.outcome, FrameSearch::Outcome::Found);
  EXPECT_EQ(found.position, kMpegSearchLength - 1);
}

}  // namespace
}  // namespace brindle::inspect
