// Whether the bytes after a file's ID3v2 tag are MPEG audio: a tag is only
// ever written in front of MPEG audio, since other formats (WAVE, FLAC, Ogg,
// MP4) are no longer readable by other programs with a tag before them.
#pragma once

#include <optional>
#include <string>

#include "id3v2/Bytes.h"

namespace brindle::id3v2 {

/// How many bytes after the tag are searched for the first MPEG frame:
/// encoders sometimes leave zeros or junk before it.
inline constexpr std::size_t kAudioSearchWindow = 65536;

/// Nothing when `start` (the first bytes after the tag, up to
/// kAudioSearchWindow of them) can be MPEG audio: empty (a file that is only
/// a tag), an ID3v1 tag alone, or bytes holding a valid MPEG frame header.
/// Otherwise the reason, which starts with "not an MPEG audio file".
std::optional<std::string> notMpegAudio(ByteView start);

}  // namespace brindle::id3v2
