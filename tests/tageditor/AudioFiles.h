// MP3 and WAV files for the tag editor's tests, crafted byte by byte, and a
// reading of a saved file's tags through the tag engine.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
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

/// A version 2.3 comment frame in ISO-8859-1, language "eng", no description.
inline std::string commentFrame(const std::string& text) {
  return frame23("COMM", bytes({0}) + "eng" + bytes({0}) + text);
}

/// A picture frame no field of the tag editor shows.
inline std::string pictureFrame() {
  return frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0, 0x89, 'P', 'N', 'G'}));
}

/// A version 1 tag block.
inline std::string v1Tag(const std::string& title, const std::string& artist,
                         const std::string& album, const std::string& year,
                         const std::string& comment, int genre) {
  inspect::Id3v1Fields fields{title, artist,  album,
                              year,  comment, static_cast<std::uint8_t>(genre)};
  const auto block = inspect::renderId3v1(fields);
  return std::string(block.begin(), block.end());
}

/// A 44-byte WAV header (PCM) followed by `dataBytes` of silence.
inline std::string wav(int channels, int rate, int bits, std::uint32_t dataBytes) {
  auto littleEndian32 = [](std::uint32_t value) {
    return bytes({static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF), static_cast<int>(value >> 24)});
  };
  auto littleEndian16 = [](int value) { return bytes({value & 0xFF, (value >> 8) & 0xFF}); };
  const int align = channels * bits / 8;
  return "RIFF" + littleEndian32(36 + dataBytes) + "WAVEfmt " + littleEndian32(16) +
         littleEndian16(1) + littleEndian16(channels) +
         littleEndian32(static_cast<std::uint32_t>(rate)) +
         littleEndian32(static_cast<std::uint32_t>(rate * align)) + littleEndian16(align) +
         littleEndian16(bits) + "data" + littleEndian32(dataBytes) + std::string(dataBytes, '\0');
}

/// A saved file's tags as the tag engine and the version 1 reader see them.
struct SavedTags {
  bool hasV2 = false;
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
  saved.hasV2 = tag.hastag();
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
