// The table of frame ids this program edits and their kinds; every other id
// falls back to the opaque kind.
#include "id3v2/FrameKinds.h"

#include <algorithm>
#include <array>
#include <utility>

#include "id3v2/clsCF.h"
#include "id3v2/clsOF.h"
#include "id3v2/clsTF.h"
#include "id3v2/clsWF.h"

namespace brindle::id3v2 {

namespace {

constexpr std::array<std::pair<std::string_view, FrameKind>, 13> kKinds{{
    {"TRCK", FrameKind::Text},
    {"TIT2", FrameKind::Text},
    {"TPE1", FrameKind::Text},
    {"TALB", FrameKind::Text},
    {"TYER", FrameKind::Text},
    {"TCON", FrameKind::Text},
    {"TCOM", FrameKind::Text},
    {"TOPE", FrameKind::Text},
    {"TCOP", FrameKind::Text},
    {"TENC", FrameKind::Text},
    {"TDRC", FrameKind::Text},
    {"WXXX", FrameKind::Url},
    {"COMM", FrameKind::Comment},
}};

std::shared_ptr<clsF> newFrameOfKind(FrameKind kind) {
  switch (kind) {
    case FrameKind::Text:
      return std::make_shared<clsTF>();
    case FrameKind::Comment:
      return std::make_shared<clsCF>();
    case FrameKind::Url:
      return std::make_shared<clsWF>();
    case FrameKind::Opaque:
      break;
  }
  return std::make_shared<clsOF>();
}

}  // namespace

FrameKind kindOf(std::string_view frameId) {
  const auto* found = std::find_if(kKinds.begin(), kKinds.end(),
                                   [&](const auto& entry) { return entry.first == frameId; });
  return found == kKinds.end() ? FrameKind::Opaque : found->second;
}

std::shared_ptr<clsF> createFrame(std::string_view frameId) {
  std::shared_ptr<clsF> frame = newFrameOfKind(kindOf(frameId));
  frame->frameid(frameId);
  return frame;
}

}  // namespace brindle::id3v2
