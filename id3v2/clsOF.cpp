// The opaque frame: raw content in, the same raw content out.
#include "id3v2/clsOF.h"

namespace brindle::id3v2 {

std::string clsOF::data() const {
  return {};
}

void clsOF::data(std::string_view /*a_sdata*/) {}

std::string clsOF::valueText() const {
  return m_decoded ? m_decoded->valueText() : std::string();
}

bool clsOF::parseFields(ByteView content) {
  m_content.assign(content.begin(), content.end());
  return true;
}

void clsOF::renderFields(ByteVector& content) const {
  content.insert(content.end(), m_content.begin(), m_content.end());
}

std::size_t clsOF::fieldsSize() const {
  return m_content.size();
}

}  // namespace brindle::id3v2
