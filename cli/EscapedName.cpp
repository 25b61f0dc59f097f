// Backslash escapes for names in brindle-cli's text output.
#include "cli/EscapedName.h"

#include "platform/Utf8.h"

namespace brindle::cli {

namespace {

/// The letter of a control character's short escape, or 0.
char shortEscape(unsigned char byte) {
  switch (byte) {
    case '\a':
      return 'a';
    case '\b':
      return 'b';
    case '\t':
      return 't';
    case '\n':
      return 'n';
    case '\v':
      return 'v';
    case '\f':
      return 'f';
    case '\r':
      return 'r';
    default:
      return 0;
  }
}

void appendOctal(std::string& out, unsigned char byte) {
  out += '\\';
  out += static_cast<char>('0' + (byte >> 6));
  out += static_cast<char>('0' + ((byte >> 3) & 7));
  out += static_cast<char>('0' + (byte & 7));
}

bool isControl(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

}  // namespace

std::string escapedName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t at = 0; at < name.size();) {
    const platform::utf8::Decoded character = platform::utf8::decodeAt(name, at);
    const std::string_view bytes = name.substr(at, character.length);
    at += character.length;
    if (character.valid && !isControl(character.codePoint)) {
      if (character.codePoint == U'\\') out += '\\';
      out += bytes;
    } else if (const char letter = character.valid ? shortEscape(bytes.front()) : 0) {
      out += '\\';
      out += letter;
    } else {
      for (const char byte : bytes) appendOctal(out, static_cast<unsigned char>(byte));
    }
  }
  return out;
}

}  // namespace brindle::cli
