// The opaque frame: raw content in, the same raw content out.
#include "id3v2/clsOF.h"

namespace brindle::id3v2 {

std::string clsOF::data() const {
  return {};
}

void clsOF::data(std::string_view /*a_sdata*/) {}

bool clsOF::parsefields(ByteView content) {
  m_content.assign(content.begin(), content.end());
  return true;
}

void clsOF::renderfields(ByteVector& content) const {
  content.insert(content.end(), m_content.begin(), m_content.end());
}

std::size_t clsOF::fieldssize() const {
  return m_content.size();
}

}  // namespace brindle::id3v2
