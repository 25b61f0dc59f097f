// Parsing and rendering of a description followed by the value, written once
// for comment and user-defined URL frames.
#include "id3v2/DescribedFrame.h"

#include "id3v2/TextCodec.h"

namespace brindle::id3v2 {

namespace {

std::string_view withoutTrailingZeros(std::string_view text) {
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  return text;
}

}  // namespace

const std::string& DescribedFrame::description() const {
  return m_description;
}

void DescribedFrame::description(std::string_view a_sdesc) {
  m_description = terminated(a_sdesc);
}

std::string DescribedFrame::data() const {
  return m_data;
}

void DescribedFrame::data(std::string_view a_sdata) {
  m_data = terminated(a_sdata);
}

void DescribedFrame::setValueText(std::string_view utf8) {
  const std::string descriptionUtf8(
      withoutTrailingZeros(decodeText(textencoding(), m_description)));
  const bool latin1 = fitsLatin1(descriptionUtf8) && valueFitsLatin1(utf8);
  const std::uint8_t enc = latin1 ? encoding::kLatin1 : encoding::kUtf16;
  if (enc != textencoding()) {
    // The description is text in the frame's encoding too.
    description(encodeText(enc, descriptionUtf8) + terminatorOf(enc));
    textencoding(enc);
  }
  data(encodedValue(enc, utf8));
}

bool DescribedFrame::valueFitsLatin1(std::string_view utf8) const {
  return fitsLatin1(utf8);
}

std::string DescribedFrame::encodedValue(std::uint8_t enc, std::string_view utf8) const {
  return encodeText(enc, utf8) + terminatorOf(enc);
}

void DescribedFrame::parseDescribed(ByteView content, std::size_t start, WithoutTerminator rule) {
  const std::string all = text(content);
  const std::uint8_t enc = content[0];
  const std::size_t end = findTerminator(enc, all, start);
  if (end == std::string::npos) {
    m_description = all.substr(start);
    if (rule == WithoutTerminator::DataEmpty) {
      m_data.clear();
    } else {
      m_data = m_description;
    }
  } else {
    const std::size_t dataStart = end + terminatorOf(enc).size();
    m_description = all.substr(start, dataStart - start);
    m_data = all.substr(dataStart);
  }
}

void DescribedFrame::renderDescribed(ByteVector& content) const {
  append(content, m_description);
  append(content, m_data);
}

std::size_t DescribedFrame::describedSize() const {
  return m_description.size() + m_data.size();
}

}  // namespace brindle::id3v2
