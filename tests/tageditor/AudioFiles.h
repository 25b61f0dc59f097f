// MP3 and WAV files for the tag editor's tests, crafted byte by byte, and a
// reading of a saved file's tags through the tag engine.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
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

/// `size` bytes of MPEG 1 layer 3 frames (128 kbit/s, 44.1 kHz, 417 bytes
/// each: one frame header confirms the next), silent.
inline std::string audio(std::size_t size = 4000) {
  const std::string frame = bytes({0xFF, 0xFB, 0x90, 0x64}) + std::string(417 - 4, '\0');
  std::string stream;
  while (stream.size() < size) stream += frame;
  stream.resize(size);
  return stream;
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

/// A 44-byte WAV header (PCM) followed by `dataBytes` of silence.
inline std::string wav(int channels, int rate, int bits, std::uint32_t dataBytes) {
  auto le = [](std::uint32_t value, int size) {
    std::string out;
    for (int i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
  };
  const auto align = static_cast<std::uint32_t>(channels * bits / 8);
  const auto perSecond = static_cast<std::uint32_t>(rate) * align;
  return "RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
         le(static_cast<std::uint32_t>(channels), 2) + le(static_cast<std::uint32_t>(rate), 4) +
         le(perSecond, 4) + le(align, 2) + le(static_cast<std::uint32_t>(bits), 2) + "data" +
         le(dataBytes, 4) + std::string(dataBytes, '\0');
}

/// A saved file's tags as the tag engine and the version 1 reader see them.
struct SavedTags {
  std::map<std::int32_t, std::string> v2;
  bool hasPicture = false;
  std::optional<inspect::Id3v1Fields> v1;
};

inline SavedTags readSaved(const std::string& path) {
  platform::posix::PosixFileSystem fileSystem;
  platform::testing::FixedClock clock;
  id3v2::clsTv2 tag(fileSystem, clock);
  tag.readtag(path);
  SavedTags saved;
  for (std::int32_t id = id3v2::TRCK; id <= id3v2::TENC; ++id) {
    saved.v2[id] = tag.getframevalue(id);
  }
  for (const auto& frame : tag.frames()) {
    if (frame->frameid() == "APIC") saved.hasPicture = true;
  }
  const std::string content = testsupport::TempDir::read(path);
  if (content.size() >= inspect::kId3v1Size) {
    std::array<std::uint8_t, inspect::kId3v1Size> block{};
    std::copy_n(content.end() - inspect::kId3v1Size, inspect::kId3v1Size, block.begin());
    saved.v1 = inspect::parseId3v1(block);
  }
  return saved;
}

}  // namespace brindle::tageditor::testfiles
