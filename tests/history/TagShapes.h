// Tag regions of many shapes, spelled out byte by byte, and files made of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "id3v2/Bytes.h"
#include "id3v2/TagRegions.h"

namespace brindle::history::shapes {

using id3v2::ByteVector;

inline ByteVector bytesOf(const std::string& text) {
  return ByteVector(text.begin(), text.end());
}
inline std::string textOf(const ByteVector& bytes) {
  return std::string(bytes.begin(), bytes.end());
}
inline ByteVector zeros(std::size_t count) {
  return ByteVector(count, 0);
}

/// `value` in `bytes` big-endian bytes, 7 bits each when `syncSafe`.
inline void appendSize(ByteVector& out, std::size_t value, int bytes, bool syncSafe = false) {
  const int bits = syncSafe ? 7 : 8;
  for (int shift = bits * (bytes - 1); shift >= 0; shift -= bits) {
    out.push_back(static_cast<std::uint8_t>((value >> shift) & (syncSafe ? 0x7F : 0xFF)));
  }
}

/// A version 2.3 (2.2 or 2.4 with `version`) frame of `id` holding `content`.
inline ByteVector frame(const std::string& id, const ByteVector& content, int version = 3) {
  ByteVector out = bytesOf(id);
  appendSize(out, content.size(), version == 2 ? 3 : 4, version == 4);
  if (version != 2) out.insert(out.end(), {0, 0});
  out.insert(out.end(), content.begin(), content.end());
  return out;
}

/// A text frame's content, built in one step (GCC 12 misreads an insert after a one-byte start).
inline ByteVector text(const std::string& value) {
  ByteVector out(value.size() + 1, 0);
  std::copy(value.begin(), value.end(), out.begin() + 1);
  return out;
}

/// A tag of `version` with `flags` around `body`; a footer when the flags ask for one.
inline ByteVector tag(int version, std::uint8_t flags, const ByteVector& body) {
  ByteVector out = bytesOf("ID3");
  out.insert(out.end(), {static_cast<std::uint8_t>(version), 0, flags});
  appendSize(out, body.size(), 4, true);
  out.insert(out.end(), body.begin(), body.end());
  if (flags & 0x10) {
    out.insert(out.end(), {'3', 'D', 'I', static_cast<std::uint8_t>(version), 0, flags});
    appendSize(out, body.size(), 4, true);
  }
  return out;
}

inline ByteVector join(std::initializer_list<ByteVector> parts) {
  ByteVector out;
  for (const ByteVector& chunk : parts) out.insert(out.end(), chunk.begin(), chunk.end());
  return out;
}

/// A version 1 block: "TAG", the title, genre 255.
inline ByteVector version1(const std::string& title) {
  ByteVector out = bytesOf("TAG" + title);
  out.resize(128, 0);
  out[127] = 0xFF;
  return out;
}

/// A version 2.3 tag `length` bytes long holding the title `title`, then padding.
inline ByteVector version2Tag(const std::string& title, std::size_t length) {
  return tag(3, 0, join({frame("TIT2", text(title)), zeros(length - 21 - title.size())}));
}

/// `length` bytes that are neither tag nor zero (audio, pictures).
inline std::string noise(std::size_t length, int seed = 'a') {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<char>(0xE0 + (static_cast<std::size_t>(seed) * 7 + i + (i >> 9)) % 31);
  }
  return bytes;
}

inline std::string fileWith(const id3v2::TagRegions& regions, const std::string& audio) {
  return textOf(regions.version2) + audio + textOf(regions.version1);
}

}  // namespace brindle::history::shapes
