#include "id3v2/CoverArt.h"

#include <algorithm>
#include <array>
#include <memory>

#include "id3v2/clsOF.h"

namespace brindle::id3v2 {
namespace {

constexpr std::string_view kPictureId = "APIC";

bool isWideEncoding(std::uint8_t encoding) {
  return encoding == 1 || encoding == 2;
}

/// The position of the terminator of the text starting at `start`: one zero
/// byte, or two on an even boundary for UTF-16.
std::optional<std::size_t> terminatorAt(ByteView content, std::size_t start, bool wide) {
  if (!wide) {
    const auto found = std::find(content.begin() + static_cast<std::ptrdiff_t>(start),
                                 content.end(), std::uint8_t{0});
    if (found == content.end()) return std::nullopt;
    return static_cast<std::size_t>(found - content.begin());
  }
  for (std::size_t at = start; at + 1 < content.size(); at += 2) {
    if (content[at] == 0 && content[at + 1] == 0) return at;
  }
  return std::nullopt;
}

/// The frame's fields when it is an APIC frame whose content can be read.
std::optional<Picture> readablePicture(const clsF& frame) {
  if (frame.frameid() != kPictureId) return std::nullopt;
  std::array<std::uint8_t, 2> flags{};
  frame.getflags(flags);
  // The second flag byte holds the format flags in both versions: such
  // bytes are not the plain content.
  if (flags[1] != 0) return std::nullopt;
  ByteVector content;
  frame.getbytes(content);
  return parsePicture(content);
}

bool isFrontCover(const clsF& frame) {
  const auto picture = readablePicture(frame);
  return picture && picture->pictureType == kFrontCover;
}

}  // namespace

std::optional<Picture> parsePicture(ByteView content) {
  if (content.empty() || content[0] > 3) return std::nullopt;
  Picture picture;
  picture.encoding = content[0];
  const auto mimeEnd = terminatorAt(content, 1, false);
  if (!mimeEnd || *mimeEnd + 1 >= content.size()) return std::nullopt;
  picture.mimeType.assign(content.begin() + 1,
                          content.begin() + static_cast<std::ptrdiff_t>(*mimeEnd));
  picture.pictureType = content[*mimeEnd + 1];
  const std::size_t descriptionStart = *mimeEnd + 2;
  const bool wide = isWideEncoding(picture.encoding);
  const auto descriptionEnd = terminatorAt(content, descriptionStart, wide);
  if (!descriptionEnd) return std::nullopt;
  picture.description.assign(content.begin() + static_cast<std::ptrdiff_t>(descriptionStart),
                             content.begin() + static_cast<std::ptrdiff_t>(*descriptionEnd));
  const std::size_t dataStart = *descriptionEnd + (wide ? 2 : 1);
  picture.data.assign(content.begin() + static_cast<std::ptrdiff_t>(dataStart), content.end());
  return picture;
}

ByteVector renderPicture(const Picture& picture) {
  ByteVector content;
  content.reserve(picture.mimeType.size() + picture.description.size() + picture.data.size() + 6);
  content.push_back(picture.encoding);
  content.insert(content.end(), picture.mimeType.begin(), picture.mimeType.end());
  content.push_back(0);
  content.push_back(picture.pictureType);
  content.insert(content.end(), picture.description.begin(), picture.description.end());
  content.push_back(0);
  if (isWideEncoding(picture.encoding)) content.push_back(0);
  content.insert(content.end(), picture.data.begin(), picture.data.end());
  return content;
}

std::optional<std::int32_t> frontCoverPosition(const clsF2& frames) {
  std::optional<std::int32_t> firstPicture;
  for (std::int32_t position = 1; position <= frames.count(); ++position) {
    const auto picture = readablePicture(*frames.item(position));
    if (!picture) continue;
    if (picture->pictureType == kFrontCover) return position;
    if (!firstPicture) firstPicture = position;
  }
  return firstPicture;
}

std::optional<Picture> frontCover(const clsF2& frames) {
  const auto position = frontCoverPosition(frames);
  if (!position) return std::nullopt;
  return readablePicture(*frames.item(*position));
}

void setFrontCover(clsF2& frames, const Picture& picture) {
  auto frame = std::make_shared<clsOF>();
  frame->frameid(kPictureId);
  frame->parsebytes(renderPicture(picture));
  const auto position = frontCoverPosition(frames);
  if (!position) {
    frames.add(std::move(frame));
    return;
  }
  frames.replace(*position, std::move(frame));
  // Later front covers would hide or contradict the one set.
  for (std::int32_t at = frames.count(); at > *position; --at) {
    if (isFrontCover(*frames.item(at))) frames.remove(at);
  }
}

bool removeFrontCover(clsF2& frames) {
  bool removed = false;
  for (std::int32_t at = frames.count(); at >= 1; --at) {
    if (isFrontCover(*frames.item(at))) {
      frames.remove(at);
      removed = true;
    }
  }
  if (removed) return true;
  const auto position = frontCoverPosition(frames);
  return position && frames.remove(*position);
}

void applyCoverEdit(clsF2& frames, const CoverEdit& edit) {
  if (edit.picture) {
    setFrontCover(frames, *edit.picture);
  } else {
    removeFrontCover(frames);
  }
}

std::optional<std::string> imageMimeType(ByteView bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return "image/jpeg";
  if (bytes.size() >= 4 && bytes[0] == 0x89 && bytes[1] == 0x50 && bytes[2] == 0x4E &&
      bytes[3] == 0x47) {
    return "image/png";
  }
  return std::nullopt;
}

}  // namespace brindle::id3v2
