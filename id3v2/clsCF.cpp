// The comment frame's fields: language, terminated description and data.
#include "id3v2/clsCF.h"

#include "id3v2/TextCodec.h"

namespace brindle::id3v2 {

namespace {
constexpr std::size_t kDescriptionStart = 4;
}  // namespace

const std::string& clsCF::language() const {
  return m_language;
}

void clsCF::language(std::string_view a_slang) {
  m_language.assign(a_slang.substr(0, 3));
  m_language.resize(3, ' ');
}

const std::string& clsCF::description() const {
  return m_description;
}

void clsCF::description(std::string_view a_sdesc) {
  m_description = terminated(a_sdesc);
}

std::string clsCF::data() const {
  return m_data;
}

void clsCF::data(std::string_view a_sdata) {
  m_data = terminated(a_sdata);
}

bool clsCF::parsefields(ByteView content) {
  if (content.size() < kDescriptionStart) return false;
  const std::string all = text(content);
  const std::uint8_t enc = content[0];
  const std::size_t end = findTerminator(enc, all, kDescriptionStart);
  m_language = all.substr(1, 3);
  if (end == std::string::npos) {
    m_description = all.substr(kDescriptionStart);
    m_data.clear();
  } else {
    const std::size_t dataStart = end + terminatorOf(enc).size();
    m_description = all.substr(kDescriptionStart, dataStart - kDescriptionStart);
    m_data = all.substr(dataStart);
  }
  return true;
}

void clsCF::renderfields(ByteVector& content) const {
  append(content, m_language);
  append(content, m_description);
  append(content, m_data);
}

std::size_t clsCF::fieldssize() const {
  return m_language.size() + m_description.size() + m_data.size();
}

}  // namespace brindle::id3v2
