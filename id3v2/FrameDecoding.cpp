// Frame-level unsynchronisation, data-length indicators and zlib compression,
// undone for reading. Zlib inflates in steps so that a small frame claiming
// a huge size cannot make the reader allocate that size up front.
#include "id3v2/FrameDecoding.h"

#include <zlib.h>

#include <algorithm>

#include "id3v2/TagFormat.h"

namespace brindle::id3v2 {

namespace {

/// Version 2.4 format flags.
constexpr std::uint8_t kGrouped24 = 0x40;
constexpr std::uint8_t kCompressed24 = 0x08;
constexpr std::uint8_t kEncrypted24 = 0x04;
constexpr std::uint8_t kUnsynchronised24 = 0x02;
constexpr std::uint8_t kDataLength24 = 0x01;
/// Version 2.3 format flags.
constexpr std::uint8_t kCompressed23 = 0x80;
constexpr std::uint8_t kEncrypted23 = 0x40;
constexpr std::uint8_t kGrouped23 = 0x20;

/// Bytes inflated per step.
constexpr std::size_t kInflateStep = 64 * 1024;

}  // namespace

bool contentIsTransformed(std::uint8_t major, std::uint8_t formatFlags) {
  if (major == 4) {
    return (formatFlags &
            (kGrouped24 | kCompressed24 | kEncrypted24 | kUnsynchronised24 | kDataLength24)) != 0;
  }
  return (formatFlags & (kCompressed23 | kEncrypted23 | kGrouped23)) != 0;
}

std::optional<ByteVector> inflateZlib(ByteView compressed, std::size_t limit) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return std::nullopt;
  ByteVector out;
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(std::min<std::size_t>(compressed.size(), UINT32_MAX));
  int result = Z_OK;
  while (result == Z_OK) {
    if (out.size() >= limit) break;
    const std::size_t step = std::min(kInflateStep, limit - out.size());
    const std::size_t before = out.size();
    out.resize(before + step);
    stream.next_out = out.data() + before;
    stream.avail_out = static_cast<uInt>(step);
    result = inflate(&stream, Z_NO_FLUSH);
    out.resize(before + step - stream.avail_out);
    if (result == Z_BUF_ERROR && stream.avail_in == 0) break;  // the stream is cut short
  }
  inflateEnd(&stream);
  if (result != Z_STREAM_END) return std::nullopt;
  return out;
}

std::optional<ByteVector> decodeContent(std::uint8_t major, std::uint8_t formatFlags,
                                        ByteView content, bool tagUnsynchronised) {
  ByteVector plain;
  if (major == 4) {
    if ((formatFlags & (kGrouped24 | kEncrypted24)) != 0) return std::nullopt;
    // The data-length indicator is only a hint: the data itself decides.
    if ((formatFlags & kDataLength24) != 0) {
      if (content.size() < 4) return std::nullopt;
      content = content.subspan(4);
    }
    if ((formatFlags & kUnsynchronised24) != 0 || tagUnsynchronised) {
      plain = removeUnsynchronisation(content);
    } else {
      plain.assign(content.begin(), content.end());
    }
    if ((formatFlags & kCompressed24) != 0) {
      std::optional<ByteVector> inflated = inflateZlib(plain);
      if (!inflated) return std::nullopt;
      plain = std::move(*inflated);
    }
  } else {
    if ((formatFlags & (kEncrypted23 | kGrouped23)) != 0) return std::nullopt;
    if ((formatFlags & kCompressed23) == 0) {
      plain.assign(content.begin(), content.end());
    } else {
      // Four bytes of decompressed size come first; the data itself decides.
      if (content.size() < 4) return std::nullopt;
      std::optional<ByteVector> inflated = inflateZlib(content.subspan(4));
      if (!inflated) return std::nullopt;
      plain = std::move(*inflated);
    }
  }
  if (plain.empty()) return std::nullopt;
  return plain;
}

}  // namespace brindle::id3v2
