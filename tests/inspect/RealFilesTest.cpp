// Real MP3 files made by an encoder (constant and variable bit rate, the
// latter with a "Xing" header) and a real WAV file, read by the component.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "inspect/ID3.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"

namespace brindle::inspect {
namespace {

bool haveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class RealFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveTool("sox") || !haveTool("lame")) GTEST_SKIP() << "sox and lame are not installed";
    wav = folder.file("tone.wav");
    const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 10 sine 440 && " +
                             "lame --quiet -b 128 '" + wav + "' '" + folder.file("cbr.mp3") +
                             "' && lame --quiet -V 4 '" + wav + "' '" + folder.file("vbr.mp3") +
                             "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
  }

  testsupport::TempDir folder;
  std::string wav;
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
};

TEST_F(RealFilesTest, ConstantBitRate) {
  component.ReadID3(folder.file("cbr.mp3"));
  EXPECT_EQ(component.Mp3MPEG, "MPEG 1.0");
  EXPECT_EQ(component.Mp3Layer, "layer 3");
  EXPECT_EQ(component.Mp3Bitrate, "128");
  EXPECT_EQ(component.Mp3Frequency, "44100 Hz");
  EXPECT_EQ(component.Mp3FileLenghtInSeconds, "10");
  EXPECT_EQ(component.Mp3FileLenght, "0:10");
}

TEST_F(RealFilesTest, VariableBitRateUsesTheXingFrameCount) {
  const std::string bytes = testsupport::TempDir::read(folder.file("vbr.mp3"));
  const std::size_t frame = bytes.find("\xFF\xFB");
  ASSERT_NE(frame, std::string::npos);
  ASSERT_EQ(bytes.substr(frame + 36, 4), "Xing");
  auto at = [&](std::size_t i) {
    return static_cast<std::int64_t>(static_cast<unsigned char>(bytes[i]));
  };
  const std::int64_t frames =
      at(frame + 44) * 16777216 + at(frame + 45) * 65536 + at(frame + 46) * 256 + at(frame + 47);
  component.ReadID3(folder.file("vbr.mp3"));
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(component.Mp3Frames, frames);
  // The LAME tag's delay and padding leave the 441,000 samples of the tone.
  EXPECT_EQ(component.Mp3LengthInMilliseconds, 10000);
  EXPECT_EQ(component.Mp3FileLenghtInSeconds, "10");
  EXPECT_EQ(component.Mp3Bitrate.rfind("VBR ", 0), 0u) << component.Mp3Bitrate;
}

TEST_F(RealFilesTest, WavFile) {
  EXPECT_TRUE(component.ReadWAV(wav));
  EXPECT_EQ(component.WAVFrequency, 44100);
  EXPECT_EQ(component.WAVChannels, 2);
  EXPECT_EQ(component.WAVBits, 16);
  EXPECT_EQ(component.WAVBitrate, 1411200);
  EXPECT_EQ(component.WAVLenghtInSeconds, 10);
}

}  // namespace
}  // namespace brindle::inspect
