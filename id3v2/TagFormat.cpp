#include "id3v2/TagFormat.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "id3v2/FrameKinds.h"
#include "id3v2/SizeCodec.h"
#include "id3v2/clsOF.h"

namespace brindle::id3v2 {

namespace {

/// The tag body as a run of `end` bytes of which only the first `real` are
/// held; the rest read as zeros.
class TagBody {
 public:
  TagBody(ByteView bytes, std::size_t end) : m_bytes(bytes), m_end(end) {}

  std::size_t end() const { return m_end; }
  std::size_t held() const { return std::min(m_bytes.size(), m_end); }
  std::uint8_t at(std::size_t index) const { return index < held() ? m_bytes[index] : 0; }
  std::array<std::uint8_t, 4> four(std::size_t index) const {
    return {at(index), at(index + 1), at(index + 2), at(index + 3)};
  }
  ByteView slice(std::size_t from, std::size_t length) const {
    return m_bytes.subspan(from, length);
  }

  /// A frame ending at `position` is followed by the tag's end, padding or
  /// another frame header.
  bool landsWell(std::size_t position) const {
    if (position == m_end) return true;
    if (position > m_end) return false;
    if (at(position) == 0) return true;
    if (position + kHeaderSize > m_end) return false;
    const std::array<std::uint8_t, 4> id = four(position);
    return isFrameId(id);
  }

 private:
  ByteView m_bytes;
  std::size_t m_end;
};

/// The content size of the frame at `position`. Version 2.3 sizes are plain
/// 32-bit numbers and version 2.4 sizes 7 bits per byte; a size in the other
/// form (written by older programs) is taken only when the expected reading
/// does not land on the next frame, the padding or the tag's end and the
/// other one does.
std::uint64_t frameContentSize(const TagBody& body, std::size_t position, std::uint8_t major) {
  const std::array<std::uint8_t, 4> bytes = body.four(position + 4);
  const auto plain = static_cast<std::uint64_t>(readBigEndian32(bytes));
  const auto sevenBit = static_cast<std::uint64_t>(ByteToLong(bytes));
  const std::uint64_t expected = major == 4 ? sevenBit : plain;
  const std::uint64_t other = major == 4 ? plain : sevenBit;
  if (expected == other) return expected;
  const std::size_t start = position + kHeaderSize;
  auto lands = [&](std::uint64_t size) {
    return start + size <= body.end() && body.landsWell(static_cast<std::size_t>(start + size));
  };
  if (!lands(expected) && lands(other)) return other;
  return expected;
}

/// Flags under which the content is not plain frame fields: it is kept as it
/// stands and written back unchanged.
bool contentIsTransformed(std::uint8_t major, std::uint8_t formatFlags) {
  if (major == 4) return (formatFlags & (0x40 | 0x08 | 0x04 | 0x02 | 0x01)) != 0;
  return (formatFlags & (0x80 | 0x40 | 0x20)) != 0;
}

bool rendersAs(const clsF& frame, ByteView content) {
  ByteVector rendered;
  frame.getbytes(rendered);
  return std::equal(rendered.begin(), rendered.end(), content.begin(), content.end());
}

std::shared_ptr<clsF> makeFrame(const std::string& id, std::span<const std::uint8_t, 2> flags,
                                ByteView content, bool keepOpaque) {
  std::shared_ptr<clsF> frame;
  if (!keepOpaque && !content.empty()) {
    frame = createFrame(id);
    // Content that does not fit its kind, or would not be written back byte
    // for byte (a URL frame without terminator), is kept as it is.
    if (!frame->isOpaque() && !(frame->parsebytes(content) && rendersAs(*frame, content))) {
      frame.reset();
    }
  }
  if (!frame || frame->isOpaque()) {
    frame = std::make_shared<clsOF>();
    frame->parsebytes(content);
  }
  frame->frameid(id);
  frame->setflags(flags);
  return frame;
}

/// Where the frames start: after an extended header, when there is one.
std::size_t firstFramePosition(const TagHeader& header, const TagBody& body) {
  if (!header.extendedHeader()) return 0;
  const std::array<std::uint8_t, 4> sizeBytes = body.four(0);
  if (header.major == 4) return static_cast<std::size_t>(ByteToLong(sizeBytes));
  return 4 + static_cast<std::size_t>(readBigEndian32(sizeBytes));
}

}  // namespace

TagHeader parseHeader(std::span<const std::uint8_t, kHeaderSize> bytes) {
  TagHeader header;
  header.present = bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3';
  header.major = bytes[3];
  header.revision = bytes[4];
  header.flags = bytes[5];
  header.size = ByteToLong(bytes.subspan<6, 4>());
  return header;
}

ByteVector removeUnsynchronisation(ByteView bytes) {
  ByteVector out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0x00) ++i;
  }
  return out;
}

bool isFrameId(ByteView bytes) {
  return bytes.size() == 4 && std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t c) {
           return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
         });
}

void parseFrames(const TagHeader& header, ByteView body, clsF2& frames) {
  if (header.major != 3 && header.major != 4) return;
  ByteVector synchronised;
  std::size_t end = static_cast<std::size_t>(std::max<std::int64_t>(header.size, 0));
  // Version 2.3 unsynchronises the whole tag; 2.4 marks it frame by frame.
  if (header.major == 3 && header.unsynchronised()) {
    const std::size_t held = std::min(body.size(), end);
    synchronised = removeUnsynchronisation(body.first(held));
    end -= held - synchronised.size();
    body = synchronised;
  }
  const TagBody tag(body, end);
  std::size_t position = firstFramePosition(header, tag);

  while (position < tag.end() && tag.end() - position >= kHeaderSize) {
    std::string id;
    for (std::size_t i = 0; i < 4; ++i) id += static_cast<char>(tag.at(position + i));
    const std::size_t first = id.find_first_not_of(' ');
    const std::size_t last = id.find_last_not_of(' ');
    const std::string trimmed =
        first == std::string::npos ? std::string() : id.substr(first, last - first + 1);
    if (trimmed.find('\0') != std::string::npos) return;  // the padding

    const std::array<std::uint8_t, 2> flags{tag.at(position + 8), tag.at(position + 9)};
    const std::uint64_t size = frameContentSize(tag, position, header.major);
    const std::size_t start = position + kHeaderSize;
    // A frame past the tag's end is broken; one past the bytes the file holds
    // would only be zeros: reading stops at either.
    if (size > tag.end() - start || start + size > tag.held()) return;
    const ByteView content = tag.slice(start, static_cast<std::size_t>(size));
    frames.add(makeFrame(id, flags, content, contentIsTransformed(header.major, flags[1])));
    position = start + static_cast<std::size_t>(size);
  }
}

ByteVector renderTag(const clsF2& frames, std::uint8_t major) {
  ByteVector body;
  ByteVector content;
  std::array<std::uint8_t, 2> flags{};
  for (const std::shared_ptr<clsF>& frame : frames) {
    const std::string& id = frame->frameid();
    body.insert(body.end(), id.begin(), id.end());
    const auto size = static_cast<std::uint32_t>(frame->framesize());
    const std::array<std::uint8_t, 4> sizeBytes = major == 4 ? LongToByte(size) : bigEndian32(size);
    body.insert(body.end(), sizeBytes.begin(), sizeBytes.end());
    frame->getflags(flags);
    body.insert(body.end(), flags.begin(), flags.end());
    frame->getbytes(content);
    body.insert(body.end(), content.begin(), content.end());
  }
  const std::size_t remainder = body.size() % 257;
  body.resize(body.size() + (remainder == 0 ? 0 : 257 - remainder), 0);

  ByteVector tag{'I', 'D', '3', major, 0, 0};
  const std::array<std::uint8_t, 4> sizeBytes = LongToByte(static_cast<std::int64_t>(body.size()));
  tag.insert(tag.end(), sizeBytes.begin(), sizeBytes.end());
  tag.insert(tag.end(), body.begin(), body.end());
  return tag;
}

}  // namespace brindle::id3v2
