// The text frame's fields: the data, every content byte after the encoding.
#include "id3v2/clsTF.h"

#include "id3v2/TextCodec.h"

namespace brindle::id3v2 {

std::string clsTF::data() const {
  return m_data;
}

std::string clsTF::valueText() const {
  return decodeText(textencoding(), m_data);
}

void clsTF::data(std::string_view a_sdata) {
  m_data = terminated(a_sdata);
}

bool clsTF::parseFields(ByteView content) {
  m_data = text(content.subspan(1));
  return true;
}

void clsTF::renderFields(ByteVector& content) const {
  append(content, m_data);
}

std::size_t clsTF::fieldsSize() const {
  return m_data.size();
}

}  // namespace brindle::id3v2
