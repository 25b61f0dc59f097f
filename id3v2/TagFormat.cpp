#include "id3v2/TagFormat.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "id3v2/FrameDecoding.h"
#include "id3v2/FrameKinds.h"
#include "id3v2/SizeCodec.h"
#include "id3v2/Version22.h"
#include "id3v2/clsOF.h"

namespace brindle::id3v2 {

namespace {

/// The tag body as a run of `end` bytes of which only the first `held` are
/// held; the rest read as zeros. The bytes are in memory, or in a file from
/// which they are read a piece at a time as they are looked at, so that the
/// content of a frame nobody wants (a cover picture) is never read.
class TagBody {
 public:
  TagBody(ByteView bytes, std::size_t end)
      : m_bytes(bytes), m_held(std::min(bytes.size(), end)), m_end(end) {}
  /// The body that starts at `offset` of `file`, which holds `held` of it.
  TagBody(platform::ReadableFile& file, std::uint64_t offset, std::size_t held, std::size_t end)
      : m_file(&file), m_offset(offset), m_held(std::min(held, end)), m_end(end) {}

  std::size_t end() const { return m_end; }
  std::size_t held() const { return m_held; }
  std::uint8_t at(std::size_t index) const {
    if (!m_file) return index < m_held ? m_bytes[index] : 0;
    return index < m_held ? atInFile(index) : 0;
  }
  std::array<std::uint8_t, 4> four(std::size_t index) const {
    // Most looks are at bytes held in memory: one bounds check for all four.
    if (!m_file && index < m_held && m_held - index >= 4) {
      return {m_bytes[index], m_bytes[index + 1], m_bytes[index + 2], m_bytes[index + 3]};
    }
    return {at(index), at(index + 1), at(index + 2), at(index + 3)};
  }
  /// The bytes from `from`, which the body holds; from a file they stay
  /// valid until the next call.
  ByteView slice(std::size_t from, std::size_t length) const {
    if (!m_file) return m_bytes.subspan(from, length);
    if (from >= m_pieceStart && from + length <= m_pieceStart + m_piece.size()) {
      return ByteView(m_piece).subspan(from - m_pieceStart, length);
    }
    m_content.resize(length);
    auto got = m_file->readAt(m_offset + from, m_content);
    if (!got) {
      m_error = got.error();
      m_content.clear();
    } else {
      m_content.resize(got.value());
    }
    return m_content;
  }
  /// The first read from the file that failed; its bytes read as zeros.
  const std::optional<platform::Error>& readError() const { return m_error; }

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
  std::uint8_t atInFile(std::size_t index) const {
    if (index < m_pieceStart || index >= m_pieceStart + m_piece.size()) readPiece(index);
    return index - m_pieceStart < m_piece.size() ? m_piece[index - m_pieceStart] : 0;
  }
  /// Reads the piece of the body that starts at `index`: what is left of
  /// the first 4 KB of the file at first (read with the tag's header, so
  /// usually in memory already), a few KB wherever a frame header is
  /// looked at after that.
  void readPiece(std::size_t index) const {
    constexpr std::size_t kPiece = 4096;
    const std::uint64_t fileOffset = m_offset + index;
    const std::size_t toBoundary =
        fileOffset < kPiece ? static_cast<std::size_t>(kPiece - fileOffset) : kPiece;
    m_piece.resize(std::min(m_held - index, toBoundary));
    m_pieceStart = index;
    auto got = m_file->readAt(fileOffset, m_piece);
    if (!got) {
      if (!m_error) m_error = got.error();
      m_piece.clear();
      return;
    }
    m_piece.resize(got.value());
  }

  ByteView m_bytes;
  platform::ReadableFile* m_file = nullptr;
  std::uint64_t m_offset = 0;
  std::size_t m_held;
  std::size_t m_end;
  mutable ByteVector m_piece;
  mutable std::size_t m_pieceStart = 0;
  mutable ByteVector m_content;
  mutable std::optional<platform::Error> m_error;
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

std::shared_ptr<clsOF> makeOpaque(const std::string& id, std::span<const std::uint8_t, 2> flags,
                                  ByteView content) {
  auto frame = std::make_shared<clsOF>();
  frame->parsebytes(content);
  frame->frameid(id);
  frame->setflags(flags);
  return frame;
}

bool rendersAs(const clsF& frame, ByteView content) {
  if (static_cast<std::size_t>(frame.framesize()) != content.size()) return false;
  // One buffer per thread for every frame read: no allocation per frame.
  thread_local ByteVector rendered;
  frame.getbytes(rendered);
  return std::equal(rendered.begin(), rendered.end(), content.begin(), content.end());
}

std::shared_ptr<clsF> makeFrame(const std::string& id, std::span<const std::uint8_t, 2> flags,
                                ByteView content) {
  std::shared_ptr<clsF> frame;
  if (!content.empty()) {
    frame = createFrame(id);
    // Content that does not fit its kind, or would not be written back byte
    // for byte (a URL frame without terminator), is kept as it is.
    if (!frame->isOpaque() && !(frame->parsebytes(content) && rendersAs(*frame, content))) {
      frame.reset();
    }
  }
  if (!frame || frame->isOpaque()) return makeOpaque(id, flags, content);
  frame->setflags(flags);
  return frame;
}

/// A frame whose content is transformed by its flags: kept as its bytes, and
/// readable through the decoded content when it is of a kind this program
/// edits.
std::shared_ptr<clsF> makeTransformedFrame(const std::string& id, std::uint8_t major,
                                           std::array<std::uint8_t, 2> flags, ByteView content,
                                           bool tagUnsynchronised) {
  // The tag header's flag will not be written again: the frame's own flag
  // keeps saying what the bytes are.
  if (tagUnsynchronised) flags[1] |= 0x02;
  std::shared_ptr<clsOF> kept = makeOpaque(id, flags, content);
  if (kindOf(id) == FrameKind::Opaque) return kept;
  std::optional<ByteVector> plain = decodeContent(major, flags[1], content, tagUnsynchronised);
  if (!plain) return kept;
  const std::array<std::uint8_t, 2> none{};
  std::shared_ptr<clsF> readable = makeFrame(id, none, *plain);
  if (!readable->isOpaque()) kept->readableAs(readable);
  return kept;
}

/// Where the frames start: after an extended header, when there is one;
/// nothing when the extended header cannot be read.
std::optional<std::size_t> firstFramePosition(const TagHeader& header, const TagBody& body) {
  if (!header.extendedHeader()) return 0;
  const std::array<std::uint8_t, 4> sizeBytes = body.four(0);
  // Some writers set the flag without writing the header: a frame id where
  // its size would be means there is none.
  if (isFrameId(sizeBytes)) return 0;
  std::size_t size = 0;
  if (header.major == 4) {
    // The size counts itself and is 7 bits per byte.
    if (std::any_of(sizeBytes.begin(), sizeBytes.end(), [](std::uint8_t b) { return b >= 0x80; }))
      return std::nullopt;
    size = static_cast<std::size_t>(ByteToLong(sizeBytes));
    if (size < 6) return std::nullopt;
  } else {
    size = 4 + static_cast<std::size_t>(readBigEndian32(sizeBytes));
  }
  if (size > body.end()) return std::nullopt;
  return size;
}

/// Why reading stopped at `position` when the bytes there are neither
/// padding nor a frame.
std::string unreadableAt(std::size_t position) {
  return "the tag holds unreadable bytes where a frame should start (byte " +
         std::to_string(kHeaderSize + position) + ")";
}

std::string pastTheEnd(const std::string& id, bool ofTheFile) {
  return "the frame " + id +
         (ofTheFile ? " runs past the end of the file" : " runs past the end of the tag");
}

/// Reads the frames of a version 2.2 tag, each under its version 2.3 id; a
/// frame without one keeps its 3-character id (and cannot be written).
std::string parseVersion22Frames(const TagBody& tag, FrameVisitor& frames) {
  constexpr std::size_t kFrameHeader22 = 6;
  std::size_t position = 0;
  while (position < tag.end()) {
    if (tag.at(position) == 0) return {};  // the padding
    if (tag.end() - position < kFrameHeader22) return unreadableAt(position);
    std::string id;
    for (std::size_t i = 0; i < 3; ++i) id += static_cast<char>(tag.at(position + i));
    if (!std::all_of(id.begin(), id.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
      return unreadableAt(position);
    const std::size_t size = (static_cast<std::size_t>(tag.at(position + 3)) << 16) |
                             (static_cast<std::size_t>(tag.at(position + 4)) << 8) |
                             tag.at(position + 5);
    const std::size_t start = position + kFrameHeader22;
    if (size > tag.end() - start) return pastTheEnd(id, false);
    if (start + size > tag.held()) return pastTheEnd(id, true);
    const ByteView content = tag.slice(start, size);
    const std::array<std::uint8_t, 2> none{};
    const std::optional<std::string_view> id23 = version23IdOf(id);
    std::optional<ByteVector> picture;
    if (id == "PIC") picture = pictureAsVersion23(content);
    if (id == "PIC" && picture) {
      frames.add(makeOpaque("APIC", none, *picture));
    } else if (id23) {
      frames.add(makeFrame(std::string(*id23), none, content));
    } else {
      frames.add(makeOpaque(id, none, content));
    }
    position = start + size;
  }
  return {};
}

/// parseFrames() without the check of the header's flags.
std::string readFrames(const TagHeader& header, ByteView body, FrameVisitor& frames);
/// The frames of a version 2.3 or 2.4 body, synchronised already.
std::string readFrameList(const TagHeader& header, const TagBody& tag, FrameVisitor& frames);

/// Keeps every frame in the collection.
class Collector final : public FrameVisitor {
 public:
  explicit Collector(clsF2& frames) : m_frames(frames) {}
  void add(std::shared_ptr<clsF> frame) override { m_frames.add(std::move(frame)); }

 private:
  clsF2& m_frames;
};

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

void FrameVisitor::plain(const std::string& id, std::span<const std::uint8_t, 2> flags,
                         ByteView content) {
  add(makeFrame(id, flags, content));
}

void FrameVisitor::transformed(const std::string& id, std::uint8_t major,
                               std::array<std::uint8_t, 2> flags, ByteView content,
                               bool tagUnsynchronised) {
  add(makeTransformedFrame(id, major, flags, content, tagUnsynchronised));
}

std::string parseFrames(const TagHeader& header, ByteView body, clsF2& frames) {
  Collector collector(frames);
  return parseFrames(header, body, collector);
}

namespace {

/// Why the flags of the tag header stop a write, if they do.
std::string unknownFlagsProblem(const TagHeader& header) {
  // Flags the version does not define may change how the tag is laid out.
  const std::uint8_t knownFlags = header.major == 2 ? 0xC0 : header.major == 3 ? 0xE0 : 0xF0;
  return (header.flags & ~knownFlags) != 0 ? "the tag header has flags of unknown meaning"
                                           : std::string();
}

}  // namespace

std::string parseFrames(const TagHeader& header, ByteView body, FrameVisitor& frames) {
  std::string problem = readFrames(header, body, frames);
  if (problem.empty()) problem = unknownFlagsProblem(header);
  return problem;
}

platform::Result<std::string> parseFramesOf(const TagHeader& header, platform::ReadableFile& file,
                                            std::size_t held, FrameVisitor& frames) {
  const std::size_t end = static_cast<std::size_t>(std::max<std::int64_t>(header.size, 0));
  // A small tag is read in one, as is one unsynchronised as a whole or of
  // version 2.2.
  constexpr std::size_t kReadInOne = 16384;
  if (std::min(held, end) <= kReadInOne || header.major < 3 || header.major > 4 ||
      (header.major == 3 && header.unsynchronised())) {
    const std::size_t length = std::min(held, end);
    if (const ByteView inMemory = file.heldBytes(kHeaderSize, length); !inMemory.empty()) {
      return parseFrames(header, inMemory, frames);
    }
    // A small tag is read onto the stack: a listing reads many files.
    std::array<std::uint8_t, kReadInOne> small;
    ByteVector large;
    std::span<std::uint8_t> body(small.data(), std::min(length, small.size()));
    if (length > small.size()) {
      large.resize(length);
      body = large;
    }
    auto got = file.readAt(kHeaderSize, body);
    if (!got) return got.error();
    return parseFrames(header, body.first(got.value()), frames);
  }
  const TagBody tag(file, kHeaderSize, held, end);
  std::string problem = readFrameList(header, tag, frames);
  if (tag.readError()) return *tag.readError();
  if (problem.empty()) problem = unknownFlagsProblem(header);
  return problem;
}

namespace {

std::string readFrames(const TagHeader& header, ByteView body, FrameVisitor& frames) {
  if (header.major < 2 || header.major > 4) {
    return "the tag is ID3v2." + std::to_string(header.major);
  }
  if (header.major == 2 && (header.flags & 0x40) != 0) return "the ID3v2.2 tag is compressed";
  ByteVector synchronised;
  std::size_t end = static_cast<std::size_t>(std::max<std::int64_t>(header.size, 0));
  // Versions 2.2 and 2.3 unsynchronise the whole tag; 2.4 marks it frame by
  // frame (the header's flag standing for every frame's).
  if (header.major != 4 && header.unsynchronised()) {
    const std::size_t held = std::min(body.size(), end);
    synchronised = removeUnsynchronisation(body.first(held));
    end -= held - synchronised.size();
    body = synchronised;
  }
  const TagBody tag(body, end);
  if (header.major == 2) return parseVersion22Frames(tag, frames);
  return readFrameList(header, tag, frames);
}

std::string readFrameList(const TagHeader& header, const TagBody& tag, FrameVisitor& frames) {
  const bool tagUnsynchronised = header.major == 4 && header.unsynchronised();
  const std::optional<std::size_t> firstFrame = firstFramePosition(header, tag);
  if (!firstFrame) return "the tag's extended header cannot be read";
  std::size_t position = *firstFrame;

  while (position < tag.end()) {
    const std::array<std::uint8_t, 4> idBytes = tag.four(position);
    // The padding: zero bytes (also when they start inside a frame id).
    if (std::find(idBytes.begin(), idBytes.end(), 0) != idBytes.end()) return {};
    if (tag.end() - position < kHeaderSize || !isFrameId(idBytes)) return unreadableAt(position);
    const std::string id(idBytes.begin(), idBytes.end());

    const std::array<std::uint8_t, 2> flags{tag.at(position + 8), tag.at(position + 9)};
    const std::uint64_t size = frameContentSize(tag, position, header.major);
    const std::size_t start = position + kHeaderSize;
    // A frame past the tag's end is broken; one past the bytes the file holds
    // would only be zeros: reading stops at either.
    if (size > tag.end() - start) return pastTheEnd(id, false);
    if (start + size > tag.held()) return pastTheEnd(id, true);
    position = start + static_cast<std::size_t>(size);
    if (!frames.wants(id)) continue;
    const ByteView content = tag.slice(start, static_cast<std::size_t>(size));
    if (tagUnsynchronised || contentIsTransformed(header.major, flags[1])) {
      frames.transformed(id, header.major, flags, content, tagUnsynchronised);
    } else {
      frames.plain(id, flags, content);
    }
  }
  return {};
}

}  // namespace

std::uint64_t framesSize(const clsF2& frames) {
  std::uint64_t size = 0;
  for (const std::shared_ptr<clsF>& frame : frames) {
    size += kHeaderSize + static_cast<std::uint64_t>(frame->framesize());
  }
  return size;
}

std::uint64_t tagBodySize(const clsF2& frames) {
  const std::uint64_t size = framesSize(frames);
  const std::uint64_t remainder = size % 257;
  return size + (remainder == 0 ? 0 : 257 - remainder);
}

ByteVector renderTag(const clsF2& frames, std::uint8_t major) {
  // The size is known before the first byte is written, so the tag is built
  // in one buffer of its final size.
  const std::uint64_t bodySize = tagBodySize(frames);
  ByteVector tag{'I', 'D', '3', major, 0, 0};
  tag.reserve(static_cast<std::size_t>(kHeaderSize + bodySize));
  const std::array<std::uint8_t, 4> tagSize = LongToByte(static_cast<std::int64_t>(bodySize));
  tag.insert(tag.end(), tagSize.begin(), tagSize.end());
  ByteVector content;
  std::array<std::uint8_t, 2> flags{};
  for (const std::shared_ptr<clsF>& frame : frames) {
    const std::string& id = frame->frameid();
    tag.insert(tag.end(), id.begin(), id.end());
    const auto size = static_cast<std::uint32_t>(frame->framesize());
    const std::array<std::uint8_t, 4> sizeBytes = major == 4 ? LongToByte(size) : bigEndian32(size);
    tag.insert(tag.end(), sizeBytes.begin(), sizeBytes.end());
    frame->getflags(flags);
    tag.insert(tag.end(), flags.begin(), flags.end());
    frame->getbytes(content);
    tag.insert(tag.end(), content.begin(), content.end());
  }
  tag.resize(static_cast<std::size_t>(kHeaderSize + bodySize), 0);
  return tag;
}

}  // namespace brindle::id3v2
