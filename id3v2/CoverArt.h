// Attached pictures (APIC frames): their content split into fields and built
// again, the front cover of a tag found, set and removed. Other frames keep
// their bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "id3v2/Bytes.h"
#include "id3v2/clsF2.h"

namespace brindle::id3v2 {

/// The picture type of a front cover.
inline constexpr std::uint8_t kFrontCover = 3;

/// The fields of an APIC frame's content (the same in versions 2.3 and 2.4).
struct Picture {
  /// The text encoding of the description: 0 Latin-1, 1 UTF-16 with BOM,
  /// 2 UTF-16BE, 3 UTF-8.
  std::uint8_t encoding = 0;
  /// Such as "image/jpeg"; Latin-1.
  std::string mimeType;
  std::uint8_t pictureType = kFrontCover;
  /// The description's bytes in its encoding, without the terminator.
  ByteVector description;
  ByteVector data;

  bool operator==(const Picture&) const = default;
};

/// The fields of APIC content; nothing when the content is damaged (an
/// unknown encoding, a missing terminator).
std::optional<Picture> parsePicture(ByteView content);
/// The APIC content of `picture`: the terminators follow its encoding.
ByteVector renderPicture(const Picture& picture);

/// The position (1-based) of the tag's front cover: the first readable APIC
/// frame of picture type 3, else the first readable APIC frame. Frames whose
/// bytes are compressed, encrypted or unsynchronised are not read.
std::optional<std::int32_t> frontCoverPosition(const clsF2& frames);
/// The front cover's fields; nothing when the tag has none.
std::optional<Picture> frontCover(const clsF2& frames);

/// Puts `picture` in place of the front cover frame, or adds it at the end
/// when there is none. Further front cover frames are removed, so the tag
/// shows the one set.
void setFrontCover(clsF2& frames, const Picture& picture);
/// Removes the front cover frame(s): every readable APIC frame of type 3,
/// else the first readable APIC frame. True when a frame was removed.
bool removeFrontCover(clsF2& frames);

/// What a save does to the front cover: set a picture or remove it.
struct CoverEdit {
  /// The picture to set; nothing removes the cover.
  std::optional<Picture> picture;
};
void applyCoverEdit(clsF2& frames, const CoverEdit& edit);

/// "image/jpeg" or "image/png" after the image's first bytes; nothing for
/// other data.
std::optional<std::string> imageMimeType(ByteView bytes);

}  // namespace brindle::id3v2
