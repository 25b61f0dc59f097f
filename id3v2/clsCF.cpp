// The comment frame's fields: the language, then the description and data
// its base reads and writes.
#include "id3v2/clsCF.h"

namespace brindle::id3v2 {

namespace {
constexpr std::size_t kLanguageSize = 3;
constexpr std::size_t kDescriptionStart = 1 + kLanguageSize;
}  // namespace

const std::string& clsCF::language() const {
  return m_language;
}

void clsCF::language(std::string_view a_slang) {
  m_language.assign(a_slang.substr(0, kLanguageSize));
  m_language.resize(kLanguageSize, ' ');
}

bool clsCF::parseFields(ByteView content) {
  if (content.size() < kDescriptionStart) return false;
  m_language = text(content.subspan(1, kLanguageSize));
  parseDescribed(content, kDescriptionStart, WithoutTerminator::DataEmpty);
  return true;
}

void clsCF::renderFields(ByteVector& content) const {
  append(content, m_language);
  renderDescribed(content);
}

std::size_t clsCF::fieldsSize() const {
  return m_language.size() + describedSize();
}

}  // namespace brindle::id3v2
