// Reading the layout of an ID3v2 tag from bytes: the 10-byte tag header and
// the frames of the tag body. Pure functions: the container does the I/O.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "id3v2/Bytes.h"
#include "id3v2/clsF2.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::id3v2 {

inline constexpr std::size_t kHeaderSize = 10;

struct TagHeader {
  /// The bytes start with "ID3".
  bool present = false;
  std::uint8_t major = 0;
  std::uint8_t revision = 0;
  std::uint8_t flags = 0;
  /// The size field: the bytes that follow the header (footer not included).
  std::int64_t size = 0;

  bool unsynchronised() const { return (flags & 0x80) != 0; }
  bool extendedHeader() const { return (flags & 0x40) != 0; }
  /// Only version 2.4 tags have a footer.
  bool footer() const { return major == 4 && (flags & 0x10) != 0; }
  /// The whole tag: header, size bytes and a footer when there is one.
  std::int64_t length() const {
    return static_cast<std::int64_t>(kHeaderSize) + size + (footer() ? 10 : 0);
  }
};

TagHeader parseHeader(std::span<const std::uint8_t, kHeaderSize> bytes);

/// Undoes unsynchronisation: every FF 00 becomes FF.
ByteVector removeUnsynchronisation(ByteView bytes);

/// The most bytes a tag may hold after its header: what its 28-bit size
/// field can say.
inline constexpr std::uint64_t kMaxTagBodySize = 0x0FFFFFFF;

/// Reads the frames of a version 2.2, 2.3 or 2.4 tag into `frames`. `body`
/// holds the bytes that follow the header, as far as the file has them; the
/// tag continues with zero bytes up to `header.size`. Frames this program
/// does not edit are kept opaque; frames whose flags say compressed,
/// unsynchronised or with a data-length indicator are kept as their bytes
/// and read through their decoded content; encrypted and grouped frames stay
/// opaque. Version 2.2 frames are read under their version 2.3 ids (one
/// without an equivalent keeps its 3-character id). Reading ends at the
/// padding, at the end of the tag, or where the bytes are no frame.
/// Returns why not every frame could be read (a frame running past the tag
/// or the file, unreadable bytes where a frame should start, an extended
/// header that cannot be read, an unknown version); empty when all were.
std::string parseFrames(const TagHeader& header, ByteView body, clsF2& frames);

/// Receives the frames of a tag in order, as parseFrames() reads them, so a
/// reader that needs only some of them need not build the others.
class FrameVisitor {
 public:
  virtual ~FrameVisitor() = default;
  /// A frame as the collection keeps it.
  virtual void add(std::shared_ptr<clsF> frame) = 0;
  /// Whether the frames of this id are wanted at all: the content of the
  /// others is not even read. Version 2.2 frames are all built and given to
  /// add().
  virtual bool wants(const std::string& id) const { return !id.empty(); }
  /// A frame whose content is stored as it is; by default made into its
  /// frame object and given to add().
  virtual void plain(const std::string& id, std::span<const std::uint8_t, 2> flags,
                     ByteView content);
  /// A frame whose flags say its content is compressed, unsynchronised,
  /// encrypted or grouped; by default kept as its bytes (readable through its
  /// decoded content) and given to add().
  virtual void transformed(const std::string& id, std::uint8_t major,
                           std::array<std::uint8_t, 2> flags, ByteView content,
                           bool tagUnsynchronised);
};

/// parseFrames(), handing each frame to `visitor`.
std::string parseFrames(const TagHeader& header, ByteView body, FrameVisitor& visitor);

/// parseFrames() of the tag in `file` whose header is `header`; the file
/// holds `held` bytes of its body. A large tag is read only where it is
/// looked at: the content of a frame `visitor` does not want is not read (a
/// tag of up to 16 KB, a version 2.2 tag and a version 2.3 tag
/// unsynchronised as a whole are read in one). Fails when a read fails.
platform::Result<std::string> parseFramesOf(const TagHeader& header, platform::ReadableFile& file,
                                            std::size_t held, FrameVisitor& visitor);

/// The bytes the frames take with their headers, without padding.
std::uint64_t framesSize(const clsF2& frames);

/// The bytes after the header of the tag renderTag() gives for `frames`.
std::uint64_t tagBodySize(const clsF2& frames);

/// The whole tag for `frames`: the header (version `major`), each frame with
/// its header (plain 32-bit sizes in version 2.3, 7 bits per byte in 2.4),
/// then zero padding up to a multiple of 257 bytes. Callers check
/// tagBodySize() against kMaxTagBodySize first.
ByteVector renderTag(const clsF2& frames, std::uint8_t major);

/// True when the four bytes can be a frame id: capital letters and digits.
bool isFrameId(ByteView bytes);

}  // namespace brindle::id3v2
