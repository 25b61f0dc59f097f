// Text encodings of frame content: terminator search, decoding to UTF-8 that
// never fails on broken input, and encoding UTF-8 back to frame bytes.
#include "id3v2/TextCodec.h"

#include <cstring>

#include "platform/Utf8.h"

namespace brindle::id3v2 {

namespace {

constexpr char32_t kReplacement = platform::utf8::kReplacementCharacter;

bool isUtf16(std::uint8_t enc) {
  return enc == encoding::kUtf16 || enc == encoding::kUtf16Be;
}

std::uint8_t byteAt(std::string_view s, std::size_t i) {
  return static_cast<std::uint8_t>(s[i]);
}

using platform::utf8::append;

/// Reads one character of UTF-8 at s[i] and moves i past it; a malformed
/// sequence reads as U+FFFD.
platform::utf8::Decoded nextUtf8(std::string_view s, std::size_t& i) {
  const platform::utf8::Decoded decoded = platform::utf8::decodeAt(s, i);
  i += decoded.length;
  return decoded;
}

/// How many bytes from `from` on are ASCII: those are the same in every
/// 8-bit encoding and in UTF-8, and are copied as they are.
std::size_t asciiRun(std::string_view seg, std::size_t from) {
  std::size_t end = from;
  while (end < seg.size() && byteAt(seg, end) < 0x80) ++end;
  return end - from;
}

/// Whether every byte is below 0x80, eight at a time.
bool isAscii(std::string_view seg) {
  std::size_t i = 0;
  for (; i + 8 <= seg.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, seg.data() + i, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0) return false;
  }
  for (; i < seg.size(); ++i) {
    if (byteAt(seg, i) >= 0x80) return false;
  }
  return true;
}

void decodeLatin1(std::string_view seg, std::string& out) {
  if (isAscii(seg)) {
    out.append(seg);
    return;
  }
  std::size_t high = 0;
  for (const char c : seg) high += static_cast<std::uint8_t>(c) >> 7;
  // Each byte from 0x80 on is a two-byte sequence: C2 or C3, then the low
  // six bits.
  out.reserve(out.size() + seg.size() + high);
  for (const char c : seg) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
}

void decodeUtf8(std::string_view seg, std::string& out) {
  out.reserve(out.size() + seg.size());
  for (std::size_t i = 0; i < seg.size();) {
    const std::size_t run = asciiRun(seg, i);
    out.append(seg.substr(i, run));
    i += run;
    if (i < seg.size()) append(out, nextUtf8(seg, i).codePoint);
  }
}

// One UTF-16 string: a leading byte order mark picks the byte order and is
// dropped; without one the encoding's default order applies.
void decodeUtf16(std::string_view seg, bool bigEndian, std::string& out) {
  std::size_t i = 0;
  if (seg.size() >= 2) {
    if (byteAt(seg, 0) == 0xFF && byteAt(seg, 1) == 0xFE) {
      bigEndian = false;
      i = 2;
    } else if (byteAt(seg, 0) == 0xFE && byteAt(seg, 1) == 0xFF) {
      bigEndian = true;
      i = 2;
    }
  }
  out.reserve(out.size() + seg.size() / 2);
  auto unitAt = [&](std::size_t k) -> char32_t {
    return bigEndian ? (byteAt(seg, k) << 8) | byteAt(seg, k + 1)
                     : (byteAt(seg, k + 1) << 8) | byteAt(seg, k);
  };
  while (i + 1 < seg.size()) {
    const char32_t unit = unitAt(i);
    i += 2;
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 < seg.size()) {
        const char32_t next = unitAt(i);
        if (next >= 0xDC00 && next <= 0xDFFF) {
          i += 2;
          append(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
          continue;
        }
      }
      append(out, kReplacement);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      append(out, kReplacement);
    } else {
      append(out, unit);
    }
  }
  if (i < seg.size()) append(out, kReplacement);
}

void decodeSegment(std::uint8_t enc, std::string_view seg, std::string& out) {
  switch (enc) {
    case encoding::kUtf16:
      decodeUtf16(seg, false, out);
      break;
    case encoding::kUtf16Be:
      decodeUtf16(seg, true, out);
      break;
    case encoding::kUtf8:
      decodeUtf8(seg, out);
      break;
    default:
      decodeLatin1(seg, out);
      break;
  }
}

void appendUnit(std::string& out, char32_t unit, bool bigEndian) {
  const char hi = static_cast<char>((unit >> 8) & 0xFF);
  const char lo = static_cast<char>(unit & 0xFF);
  out.push_back(bigEndian ? hi : lo);
  out.push_back(bigEndian ? lo : hi);
}

}  // namespace

std::string terminatorOf(std::uint8_t enc) {
  return isUtf16(enc) ? std::string(2, '\0') : std::string(1, '\0');
}

std::size_t findTerminator(std::uint8_t enc, std::string_view raw, std::size_t from) {
  if (from > raw.size()) return std::string_view::npos;
  if (!isUtf16(enc)) return raw.find('\0', from);
  for (std::size_t i = from; i + 1 < raw.size(); i += 2) {
    if (raw[i] == '\0' && raw[i + 1] == '\0') return i;
  }
  return std::string_view::npos;
}

std::string decodeText(std::uint8_t enc, std::string_view raw) {
  std::string out;
  decodeTextInto(enc, raw, out);
  return out;
}

void decodeTextInto(std::uint8_t enc, std::string_view raw, std::string& out) {
  out.clear();
  // An 8-bit text decodes byte by byte and its zero byte stays a zero
  // character: the values are decoded as one.
  if (!isUtf16(enc) && enc != encoding::kUtf8) return decodeLatin1(raw, out);
  const std::size_t termSize = isUtf16(enc) ? 2 : 1;
  std::size_t from = 0;
  for (;;) {
    const std::size_t end = findTerminator(enc, raw, from);
    decodeSegment(enc, raw.substr(from, end == std::string_view::npos ? raw.npos : end - from),
                  out);
    if (end == std::string_view::npos) break;
    out.push_back('\0');
    from = end + termSize;
  }
}

bool fitsLatin1(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const platform::utf8::Decoded decoded = nextUtf8(utf8, i);
    if (decoded.codePoint > 0xFF || !decoded.valid) return false;
  }
  return true;
}

std::string encodeText(std::uint8_t enc, std::string_view utf8) {
  if (enc == encoding::kUtf8) return std::string(utf8);
  std::string out;
  if (isUtf16(enc)) {
    const bool bigEndian = enc == encoding::kUtf16Be;
    if (!bigEndian) out += "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
      const char32_t cp = nextUtf8(utf8, i).codePoint;
      if (cp >= 0x10000) {
        appendUnit(out, 0xD800 + ((cp - 0x10000) >> 10), bigEndian);
        appendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF), bigEndian);
      } else {
        appendUnit(out, cp, bigEndian);
      }
    }
    return out;
  }
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = nextUtf8(utf8, i).codePoint;
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
  }
  return out;
}

}  // namespace brindle::id3v2
