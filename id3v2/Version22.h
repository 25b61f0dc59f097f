// Version 2.2 tags: three-character frame ids, and what each becomes when the
// tag is written again as version 2.3.
#pragma once

#include <optional>
#include <string_view>

#include "id3v2/Bytes.h"

namespace brindle::id3v2 {

/// The version 2.3 id of a version 2.2 frame id ("TT2" gives "TIT2"); nothing
/// for an id without an equivalent whose content stays the same.
std::optional<std::string_view> version23IdOf(std::string_view id22);

/// The content of a version 2.3 APIC frame for the content of a version 2.2
/// PIC frame: the three-letter image format ("JPG", "PNG") becomes a MIME type
/// ("image/jpeg", "image/png"). Nothing when the content is too short to hold
/// the encoding, the format and the picture type.
std::optional<ByteVector> pictureAsVersion23(ByteView picture);

}  // namespace brindle::id3v2
