#include "id3v2/AudioContent.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brindle::id3v2 {

namespace {

struct Container {
  /// Where the magic stands in the file.
  std::size_t offset;
  std::string_view magic;
  std::string_view name;
};

/// The starts of other audio and container formats.
constexpr std::array kContainers{
    Container{0, "RIFF", "RIFF/WAVE"},
    Container{0, "RIFX", "RIFF/WAVE"},
    Container{0, "RF64", "RF64/WAVE"},
    Container{0, "fLaC", "FLAC"},
    Container{0, "OggS", "Ogg"},
    Container{4, "ftyp", "MP4"},
    Container{0, "FORM", "AIFF"},
    Container{0, "wvpk", "WavPack"},
    Container{0, "MAC ", "Monkey's Audio"},
    Container{0, "\x1A\x45\xDF\xA3", "Matroska"},
    Container{0, "\x30\x26\xB2\x75", "ASF/WMA"},
    Container{0, ".snd", "Sun audio"},
    Container{0, "MThd", "MIDI"},
};

bool startsWith(ByteView bytes, std::size_t offset, std::string_view magic) {
  if (bytes.size() < offset + magic.size()) return false;
  return std::equal(magic.begin(), magic.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

/// A frame header: the 11-bit sync, then a known version and layer, a
/// bitrate that is not "bad" and a sampling rate that is not reserved.
bool isFrameHeader(ByteView bytes, std::size_t at) {
  if (at + 4 > bytes.size()) return false;
  const std::uint8_t b1 = bytes[at + 1];
  const std::uint8_t b2 = bytes[at + 2];
  return bytes[at] == 0xFF && (b1 & 0xE0) == 0xE0 && ((b1 >> 3) & 0x03) != 0x01 &&
         ((b1 >> 1) & 0x03) != 0x00 && (b2 >> 4) != 0x0F && ((b2 >> 2) & 0x03) != 0x03;
}

}  // namespace

std::optional<std::string> notMpegAudio(ByteView start) {
  if (start.empty()) return std::nullopt;
  for (const Container& container : kContainers) {
    if (startsWith(start, container.offset, container.magic)) {
      return "not an MPEG audio file (it is " + std::string(container.name) + ")";
    }
  }
  // A tag alone, with no audio between the two tags.
  if (start.size() == 128 && startsWith(start, 0, "TAG")) return std::nullopt;
  for (std::size_t at = 0; at + 4 <= start.size(); ++at) {
    if (isFrameHeader(start, at)) return std::nullopt;
  }
  return std::string("not an MPEG audio file");
}

}  // namespace brindle::id3v2
