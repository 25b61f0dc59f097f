// The URL frame's fields: the description and data its base reads and
// writes; the URL itself is ISO-8859-1 text whatever the frame's encoding.
#include "id3v2/clsWF.h"

#include "id3v2/TextCodec.h"
#include "platform/Utf8.h"

namespace brindle::id3v2 {

namespace {

constexpr std::size_t kDescriptionStart = 1;

/// A URL is ISO-8859-1 text whatever the frame's encoding; characters beyond
/// it are written the way URLs carry them, as percent-escaped UTF-8.
std::string urlBytes(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    // A malformed byte is one character of its own, escaped like the rest.
    const std::size_t length = platform::utf8::decodeAt(utf8, i).length;
    const std::string_view character = utf8.substr(i, length);
    if (fitsLatin1(character)) {
      out += encodeText(encoding::kLatin1, character);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (char c : character) {
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
      }
    }
    i += length;
  }
  return out;
}

}  // namespace

std::string clsWF::valueText() const {
  return decodeText(encoding::kLatin1, data());
}

bool clsWF::parseFields(ByteView content) {
  parseDescribed(content, kDescriptionStart, WithoutTerminator::DataRepeatsDescription);
  return true;
}

void clsWF::renderFields(ByteVector& content) const {
  renderDescribed(content);
}

std::size_t clsWF::fieldsSize() const {
  return describedSize();
}

bool clsWF::valueFitsLatin1(std::string_view) const {
  return true;
}

std::string clsWF::encodedValue(std::uint8_t, std::string_view utf8) const {
  return urlBytes(utf8);
}

}  // namespace brindle::id3v2
