// Frame ids of the well-known frames, in the order of their numbers.
#include "id3v2/ID3v2FrameId.h"

#include <array>

namespace brindle::id3v2 {

std::string_view frameIdText(std::int32_t frameNumber) {
  static constexpr std::array<std::string_view, 12> kIds{
      "TRCK", "TIT2", "TPE1", "TALB", "TYER", "TCON",
      "COMM", "TCOM", "TOPE", "TCOP", "WXXX", "TENC",
  };
  if (frameNumber < TRCK || frameNumber > TENC) return {};
  return kIds[static_cast<std::size_t>(frameNumber - TRCK)];
}

}  // namespace brindle::id3v2
