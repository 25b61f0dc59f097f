// Real MP3 files made by an encoder (constant and variable bit rate, the latter with a "Xing"
// header) and a real WAV file, read by the component.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "inspect/ID3.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"

namespace brindle::inspect {
namespace {

TEST(RealFiles, EncodedMp3AndWavFiles) {
  if (std::system("command -v sox >/dev/null 2>&1 && command -v lame >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "sox and lame are not installed";
  }
  testsupport::TempDir folder;
  const std::string wav = folder.file("tone.wav");
  const std::string cbr = folder.file("cbr.mp3");
  const std::string vbr = folder.file("vbr.mp3");
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + wav +
                         "' synth 10 sine 440 && lame --quiet -b 128 '" + wav + "' '" + cbr +
                         "' && lame --quiet -V 4 '" + wav + "' '" + vbr + "'")
                            .c_str()),
            0);
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  component.ReadID3(cbr);
  EXPECT_EQ(component.Mp3MPEG + " " + component.Mp3Layer + " " + component.Mp3Bitrate + " " +
                component.Mp3Frequency + " " + component.Mp3FileLenghtInSeconds + " " +
                component.Mp3FileLenght,
            "MPEG 1.0 layer 3 128 44100 Hz 10 0:10");

  // The variable bit rate file's frame count comes from its "Xing" header.
  const std::string bytes = testsupport::TempDir::read(vbr);
  const std::size_t frame = bytes.find("\xFF\xFB");
  ASSERT_NE(frame, std::string::npos);
  ASSERT_EQ(bytes.substr(frame + 36, 4), "Xing");
  std::int64_t frames = 0;
  for (std::size_t i = 44; i < 48; ++i)
    frames = frames * 256 + static_cast<unsigned char>(bytes[frame + i]);
  component.ReadID3(vbr);
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(component.Mp3Frames, frames);
  // The LAME tag's delay and padding leave the 441,000 samples of the tone.
  EXPECT_EQ(component.Mp3LengthInMilliseconds, 10000);
  EXPECT_EQ(component.Mp3FileLenghtInSeconds, "10");
  EXPECT_EQ(component.Mp3Bitrate.rfind("VBR ", 0), 0u) << component.Mp3Bitrate;

  EXPECT_TRUE(component.ReadWAV(wav));
  EXPECT_EQ(component.WAVFrequency, 44100);
  EXPECT_EQ(component.WAVChannels, 2);
  EXPECT_EQ(component.WAVBits, 16);
  EXPECT_EQ(component.WAVBitrate, 1411200);
  EXPECT_EQ(component.WAVLenghtInSeconds, 10);
}

}  // namespace
}  // namespace brindle::inspect
