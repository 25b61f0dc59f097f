// Tag regions of many shapes, spelled out byte by byte, for the history's
// tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "id3v2/Bytes.h"

namespace brindle::history::shapes {

using id3v2::ByteVector;

inline ByteVector bytesOf(const std::string& text) {
  return ByteVector(text.begin(), text.end());
}

inline void appendSyncSafe(ByteVector& out, std::uint32_t value) {
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back((value >> shift) & 0x7F);
}

inline void appendBigEndian(ByteVector& out, std::uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back((value >> shift) & 0xFF);
}

/// A version 2.3 (or 2.4 with `version` 4) frame of `id` holding `content`.
inline ByteVector frame(const std::string& id, const ByteVector& content, int version = 3) {
  ByteVector out = bytesOf(id);
  if (version == 2) {
    appendBigEndian(out, static_cast<std::uint32_t>(content.size()), 3);
  } else {
    if (version == 4) {
      appendSyncSafe(out, static_cast<std::uint32_t>(content.size()));
    } else {
      appendBigEndian(out, static_cast<std::uint32_t>(content.size()), 4);
    }
    out.push_back(0);
    out.push_back(0);
  }
  out.insert(out.end(), content.begin(), content.end());
  return out;
}

/// A text frame's content: encoding byte 0 and the text.
inline ByteVector text(const std::string& value) {
  // Built in one step: GCC 12's bounds check misreads an insert after a
  // one-byte start in optimised builds.
  ByteVector out(value.size() + 1, 0);
  std::copy(value.begin(), value.end(), out.begin() + 1);
  return out;
}

/// A tag of `version` with `flags` around `body` (frames and padding); a
/// footer is added when the flags ask for one.
inline ByteVector tag(int version, std::uint8_t flags, const ByteVector& body) {
  ByteVector out = bytesOf("ID3");
  out.push_back(static_cast<std::uint8_t>(version));
  out.push_back(0);
  out.push_back(flags);
  appendSyncSafe(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (flags & 0x10) {
    out.insert(out.end(), {'3', 'D', 'I', static_cast<std::uint8_t>(version), 0, flags});
    appendSyncSafe(out, static_cast<std::uint32_t>(body.size()));
  }
  return out;
}

inline ByteVector join(std::initializer_list<ByteVector> parts) {
  ByteVector out;
  for (const ByteVector& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline ByteVector zeros(std::size_t count) {
  return ByteVector(count, 0);
}

/// A version 1 block: "TAG" and 125 bytes.
inline ByteVector version1(const std::string& title) {
  ByteVector out = bytesOf("TAG" + title);
  out.resize(128, 0);
  return out;
}

}  // namespace brindle::history::shapes
