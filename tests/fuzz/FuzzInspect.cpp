// libFuzzer target for the inspection component: arbitrary bytes as an MP3
// or WAV file read by ReadID3 and ReadWAV, and straight into the MPEG frame
// search and VBR headers, the WAV chunk walk, the trailing tags and the
// version 1 tag parser.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "inspect/ID3.h"
#include "inspect/Id3v1Tag.h"
#include "inspect/MpegAnalysis.h"
#include "inspect/Readout.h"
#include "inspect/TrailingTags.h"
#include "inspect/WavAnalysis.h"
#include "platform/console/ConsolePlatform.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

const std::string& scratchFile() {
  static const std::string path = [] {
    std::string pattern = "/tmp/brindle-fuzz-inspect-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern + "/song.mp3";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  // The frame search over every window length the component may pass.
  for (const std::uint64_t audioLength : {std::uint64_t{size}, std::uint64_t{size} + 100000}) {
    (void)brindle::inspect::ReadMPEG(bytes,
                                     brindle::inspect::AudioExtent{0, audioLength, audioLength});
    (void)brindle::inspect::holdsFirstFrame(bytes, audioLength);
  }
  if (auto header = brindle::inspect::parseFrameHeader(bytes)) {
    (void)header->frameLength();
    (void)brindle::inspect::parseVbrHeader(bytes, *header);
  }
  (void)brindle::inspect::ReadWAVHeader(bytes);
  (void)brindle::inspect::apeOrLyrics3v2Length(bytes);
  (void)brindle::inspect::lyrics3v1Length(bytes);
  if (size >= brindle::inspect::kId3v1Size) {
    (void)brindle::inspect::parseId3v1(
        std::span<const std::uint8_t, brindle::inspect::kId3v1Size>(data, 128));
  }
  {
    std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  brindle::platform::posix::PosixFileSystem fileSystem;
  brindle::platform::console::LocalClock clock;
  std::ostringstream messages;
  brindle::platform::console::ConsoleDialogs dialogs(messages);
  brindle::inspect::ID3 component(fileSystem, clock, dialogs);
  component.ReadID3(scratchFile());
  (void)brindle::inspect::mp3Readout(component);
  component.ReadWAV(scratchFile());
  (void)brindle::inspect::wavReadout(component);
  ::unlink(scratchFile().c_str());
  return 0;
}
