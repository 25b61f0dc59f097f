// Crafted files for tests of tag regions: a version 2 tag of a chosen length
// (one title frame, then padding), audio bytes and a version 1 block.
#pragma once

#include <cstdint>
#include <string>

#include "id3v2/Bytes.h"
#include "id3v2/TagRegions.h"

namespace brindle::history::testing {

inline id3v2::ByteVector bytesOf(const std::string& text) {
  return id3v2::ByteVector(text.begin(), text.end());
}

inline std::string textOf(const id3v2::ByteVector& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

/// A version 2.3 tag `length` bytes long holding the title `title`.
inline id3v2::ByteVector version2Tag(const std::string& title, std::size_t length) {
  std::string frame = "TIT2";
  const std::size_t content = title.size() + 1;
  frame += std::string{'\0', '\0', static_cast<char>(content >> 8), static_cast<char>(content)};
  frame += std::string(2, '\0') + '\0' + title;
  const std::size_t body = length - 10;
  std::string tag = "ID3";
  tag += std::string{'\3',
                     '\0',
                     '\0',
                     static_cast<char>((body >> 21) & 0x7f),
                     static_cast<char>((body >> 14) & 0x7f),
                     static_cast<char>((body >> 7) & 0x7f),
                     static_cast<char>(body & 0x7f)};
  tag += frame;
  tag.resize(length, '\0');
  return bytesOf(tag);
}

/// A version 1 block with the title `title`.
inline id3v2::ByteVector version1Block(const std::string& title) {
  std::string block = "TAG" + title;
  block.resize(128, '\0');
  block[127] = '\xff';
  return bytesOf(block);
}

/// Audio stand-in: bytes that are neither tag nor zero, `length` of them.
inline std::string audioBytes(std::size_t length, char seed = 'a') {
  std::string audio(length, '\0');
  for (std::size_t i = 0; i < length; ++i) audio[i] = static_cast<char>(0xe0 + (seed + i) % 31);
  return audio;
}

inline std::string fileWith(const id3v2::TagRegions& regions, const std::string& audio) {
  return textOf(regions.version2) + audio + textOf(regions.version1);
}

}  // namespace brindle::history::testing
