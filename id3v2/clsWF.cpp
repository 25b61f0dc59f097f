// The URL frame's fields: terminated description and the URL.
#include "id3v2/clsWF.h"

#include "id3v2/TextCodec.h"

namespace brindle::id3v2 {

const std::string& clsWF::description() const {
  return m_description;
}

void clsWF::description(std::string_view a_sdesc) {
  m_description = terminated(a_sdesc);
}

std::string clsWF::data() const {
  return m_data;
}

void clsWF::data(std::string_view a_sdata) {
  m_data = terminated(a_sdata);
}

bool clsWF::parsefields(ByteView content) {
  const std::string all = text(content);
  const std::uint8_t enc = content[0];
  const std::size_t end = findTerminator(enc, all, 1);
  if (end == std::string::npos) {
    m_description = all.substr(1);
    m_data = m_description;
  } else {
    const std::size_t dataStart = end + terminatorOf(enc).size();
    m_description = all.substr(1, dataStart - 1);
    m_data = all.substr(dataStart);
  }
  return true;
}

void clsWF::renderfields(ByteVector& content) const {
  append(content, m_description);
  append(content, m_data);
}

std::size_t clsWF::fieldssize() const {
  return m_description.size() + m_data.size();
}

}  // namespace brindle::id3v2
