// The parts of a frame common to every kind: id, flags, encoding byte and the
// parse/render pair that frames the kind's own fields.
#include "id3v2/clsF.h"

#include <algorithm>

#include "id3v2/TextCodec.h"

namespace brindle::id3v2 {

clsF::clsF() : m_frameid(4, '\0') {}

void clsF::frameid(std::string_view a_sframeid) {
  m_frameid.assign(a_sframeid.substr(0, 4));
  m_frameid.resize(4, ' ');
}

const std::string& clsF::frameid() const {
  return m_frameid;
}

std::int32_t clsF::framesize() const {
  // Every kind but the opaque one writes the encoding byte before its fields.
  return static_cast<std::int32_t>(fieldsSize() + (isOpaque() ? 0 : 1));
}

void clsF::setflags(std::span<const std::uint8_t, 2> a_flags) {
  std::copy(a_flags.begin(), a_flags.end(), m_flags.begin());
}

void clsF::getflags(std::array<std::uint8_t, 2>& a_flags) const {
  a_flags = m_flags;
}

bool clsF::parsebytes(ByteView a_bytes) {
  if (isOpaque()) return parseFields(a_bytes);
  if (a_bytes.empty() || !parseFields(a_bytes)) return false;
  m_encoding = a_bytes[0];
  return true;
}

void clsF::getbytes(ByteVector& a_bytes) const {
  a_bytes.clear();
  a_bytes.reserve(static_cast<std::size_t>(framesize()));
  if (!isOpaque()) a_bytes.push_back(m_encoding);
  renderFields(a_bytes);
}

std::uint8_t clsF::textencoding() const {
  return m_encoding;
}

void clsF::textencoding(std::uint8_t a_enc) {
  m_encoding = a_enc;
}

std::string clsF::valueText() const {
  return decodeText(textencoding(), data());
}

void clsF::setValueText(std::string_view utf8) {
  const std::uint8_t enc = fitsLatin1(utf8) ? encoding::kLatin1 : encoding::kUtf16;
  textencoding(enc);
  data(encodeText(enc, utf8) + terminatorOf(enc));
}

std::string clsF::terminated(std::string_view value) {
  std::string stored(value);
  if (stored.empty() || stored.back() != '\0') stored.push_back('\0');
  return stored;
}

std::string clsF::text(ByteView bytes) {
  return std::string(bytes.begin(), bytes.end());
}

void clsF::append(ByteVector& content, std::string_view value) {
  content.insert(content.end(), value.begin(), value.end());
}

}  // namespace brindle::id3v2
