// The twelve well-known frames that the tag container reads and sets by
// number, and their frame ids.
#pragma once

#include <cstdint>
#include <string_view>

namespace brindle::id3v2 {

/// The well-known frames, numbered from 1.
enum ID3v2FrameId : std::int32_t {
  TRCK = 1,  ///< track number
  TIT2,      ///< title
  TPE1,      ///< lead artist
  TALB,      ///< album
  TYER,      ///< year
  TCON,      ///< genre
  COMM,      ///< comment
  TCOM,      ///< composer
  TOPE,      ///< original artist
  TCOP,      ///< copyright
  WXXX,      ///< user-defined URL
  TENC,      ///< encoded by
};

/// The 4-character frame id of a well-known frame ("TRCK".."TENC"); empty
/// outside 1..12.
std::string_view frameIdText(std::int32_t frameNumber);

}  // namespace brindle::id3v2
