// Which frame class handles which frame id, and creation of a frame of the
// right kind for an id read from a tag or asked for by the editor.
#pragma once

#include <memory>
#include <string_view>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// The frame classes: text (clsTF), comment (clsCF), user-defined URL (clsWF)
/// and opaque (clsOF) for every id this program does not edit.
enum class FrameKind { Text, Comment, Url, Opaque };

/// The kind of a frame id, compared exactly (case-sensitive, no padding):
/// Text for TRCK TIT2 TPE1 TALB TYER TCON TCOM TOPE TCOP TENC TDRC, Url for
/// WXXX, Comment for COMM, Opaque for anything else.
FrameKind kindOf(std::string_view frameId);

/// A new frame of the id's kind (see kindOf) with its initial values and
/// frameid set to frameId.
std::shared_ptr<clsF> createFrame(std::string_view frameId);

}  // namespace brindle::id3v2
