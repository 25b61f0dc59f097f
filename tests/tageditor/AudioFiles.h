// MP3 and WAV files for the tag editor's tests, crafted byte by byte, and a saved file's tags.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "id3v2/ID3v2FrameId.h"
#include "id3v2/clsTv2.h"
#include "inspect/Id3v1Tag.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "tests/id3v2/TagBytes.h"
#include "tests/support/TempDir.h"

namespace brindle::tageditor::testfiles {

using namespace id3v2::testbytes;

/// `size` bytes of silent MPEG 1 layer 3 frames of 417 bytes (one header confirms the next).
inline std::string audio(std::size_t size = 4000) {
  std::string stream;
  while (stream.size() < size) stream += bytes({0xFF, 0xFB, 0x90, 0x64}) + std::string(413, '\0');
  return stream.substr(0, size);
}

/// A version 2.3 text frame in ISO-8859-1.
inline std::string textFrame(const std::string& id, const std::string& text) {
  return frame23(id, bytes({0}) + text);
}

/// A picture frame no field of the tag editor shows.
inline std::string pictureFrame() {
  return frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0, 0x89, 'P', 'N', 'G'}));
}

/// A version 1 tag block: the title, artist "Artist", year 2001, `genre`.
inline std::string v1Tag(const std::string& title, int genre) {
  const auto block = inspect::renderId3v1(
      {title, "Artist", "Album", "2001", "c", static_cast<std::uint8_t>(genre)});
  return std::string(block.begin(), block.end());
}

/// A 44-byte PCM WAV header followed by `dataBytes` of silence.
inline std::string wav(int channels, int rate, int bits, std::uint32_t dataBytes) {
  auto le = [](std::uint32_t value, int size) {
    std::string out;
    for (int i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
  };
  const auto align = static_cast<std::uint32_t>(channels * bits / 8);
  return "RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
         le(static_cast<std::uint32_t>(channels), 2) + le(static_cast<std::uint32_t>(rate), 4) +
         le(static_cast<std::uint32_t>(rate) * align, 4) + le(align, 2) +
         le(static_cast<std::uint32_t>(bits), 2) + "data" + le(dataBytes, 4) +
         std::string(dataBytes, '\0');
}

/// A saved file's version 2 texts and whether it holds a picture, read by the tag engine.
struct SavedTags {
  std::map<std::int32_t, std::string> v2;
  bool hasPicture = false;
};

inline SavedTags readSaved(const std::string& path) {
  platform::posix::PosixFileSystem fileSystem;
  platform::testing::FixedClock clock;
  id3v2::clsTv2 tag(fileSystem, clock);
  tag.readtag(path);
  SavedTags saved;
  for (std::int32_t id = id3v2::TRCK; id <= id3v2::TENC; ++id) saved.v2[id] = tag.getframevalue(id);
  for (const auto& frame : tag.frames()) saved.hasPicture |= frame->frameid() == "APIC";
  return saved;
}

}  // namespace brindle::tageditor::testfiles
