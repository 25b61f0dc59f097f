// Builders of ID3v2 tag bytes for tests, spelled out field by field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brindle::id3v2::testbytes {

/// A string from byte values, zeros included.
inline std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int value : values) out += static_cast<char>(value);
  return out;
}

/// Bytes from hexadecimal pairs; spaces between pairs are ignored.
inline std::string unhex(std::string_view hex) {
  auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); ++i) {
    if (hex[i] == ' ') continue;
    out += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
    ++i;
  }
  return out;
}

/// A size of 7 bits per byte, and a plain big-endian 32-bit one.
inline std::string syncsafe(std::uint32_t v) {
  return bytes({int(v >> 21 & 0x7F), int(v >> 14 & 0x7F), int(v >> 7 & 0x7F), int(v & 0x7F)});
}
inline std::string plain(std::uint32_t v) {
  return bytes({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}

/// A tag header of version 2.`major` whose size field says `size`.
inline std::string header(int major, std::uint32_t size, int flags = 0) {
  return "ID3" + bytes({major, 0, flags}) + syncsafe(size);
}

/// A frame with a plain 32-bit size (version 2.3).
inline std::string frame23(const std::string& id, const std::string& content, int flags0 = 0,
                           int flags1 = 0) {
  return id + plain(static_cast<std::uint32_t>(content.size())) + bytes({flags0, flags1}) + content;
}

/// A frame with a 7-bits-per-byte size (version 2.4, and old files).
inline std::string frame24(const std::string& id, const std::string& content, int flags0 = 0,
                           int flags1 = 0) {
  return id + syncsafe(static_cast<std::uint32_t>(content.size())) + bytes({flags0, flags1}) +
         content;
}

/// A whole tag: header then the frames, plus `padding` zero bytes.
inline std::string id3tag(int major, const std::string& frames, std::size_t padding = 0,
                          int flags = 0) {
  return header(major, static_cast<std::uint32_t>(frames.size() + padding), flags) + frames +
         std::string(padding, '\0');
}

/// A few bytes standing for the audio that follows the tag.
inline const std::string kAudio = bytes({0xFF, 0xFB, 0x90, 0x64, 0x00, 0x01, 0x02, 0x03});

}  // namespace brindle::id3v2::testbytes
