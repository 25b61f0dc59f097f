// Frame ids of the well-known frames, in the order of their numbers.
#include "id3v2/ID3v2FrameId.h"

#include <array>

namespace brindle::id3v2 {

std::string_view frameidtext(std::int32_t a_eframeid) {
  static constexpr std::array<std::string_view, 12> kIds{
      "TRCK", "TIT2", "TPE1", "TALB", "TYER", "TCON",
      "COMM", "TCOM", "TOPE", "TCOP", "WXXX", "TENC",
  };
  if (a_eframeid < TRCK || a_eframeid > TENC) return {};
  return kIds[static_cast<std::size_t>(a_eframeid - TRCK)];
}

}  // namespace brindle::id3v2
