#include "platform/Utf8.h"

#include <cstdint>

namespace brindle::platform::utf8 {

Decoded decodeAt(std::string_view text, std::size_t at) {
  const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byteAt(at);
  if (lead < 0x80) return {lead, 1, true};
  std::size_t follow = 0;
  char32_t codePoint = 0;
  // The allowed range of the first continuation byte excludes overlong
  // forms, surrogates and values above U+10FFFF.
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    follow = 1;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    follow = 2;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    follow = 3;
    codePoint = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }
  std::size_t next = at + 1;
  for (std::size_t n = 0; n < follow; ++n, ++next) {
    if (next >= text.size() || byteAt(next) < low || byteAt(next) > high) {
      return {kReplacementCharacter, next - at, false};
    }
    codePoint = (codePoint << 6) | (byteAt(next) & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return {codePoint, next - at, true};
}

std::size_t sequenceLength(std::string_view text, std::size_t at) {
  const Decoded decoded = decodeAt(text, at);
  return decoded.valid ? decoded.length : 0;
}

bool isValid(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const Decoded decoded = decodeAt(text, at);
    if (!decoded.valid) return false;
    at += decoded.length;
  }
  return true;
}

void append(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

}  // namespace brindle::platform::utf8
