#include "tageditor/TagField.h"

#include <QValidator>

#include <algorithm>

namespace brindle::tageditor {

namespace {

qsizetype characterCount(const QString& text) {
  return static_cast<qsizetype>(text.toUcs4().size());
}

/// The characters of `text` beyond ISO-8859-1.
qsizetype countBeyondLatin1(const QString& text) {
  const auto characters = text.toUcs4();
  return std::count_if(characters.begin(), characters.end(), [](auto c) { return c > 0xFFu; });
}

}  // namespace

/// Refuses an edit that makes the text longer than the typed limit (and
/// longer than it was), or that brings in a character beyond ISO-8859-1
/// where the tag holds single bytes. QLineEdit's own length limit would cut
/// texts set by the program, so it is not used.
class TagField::Validator : public QValidator {
 public:
  Validator(TagField& field, bool singleByte)
      : QValidator(&field), m_field(field), m_singleByte(singleByte) {}

  State validate(QString& input, int&) const override {
    const QString& before = m_field.m_acceptedText;
    const qsizetype length = characterCount(input);
    const int limit = m_field.m_typedLimit;
    if (limit > 0 && length > limit && length > characterCount(before)) return Invalid;
    if (m_singleByte && countBeyondLatin1(input) > countBeyondLatin1(before)) return Invalid;
    return Acceptable;
  }

 private:
  TagField& m_field;
  bool m_singleByte;
};

TagField::TagField(int typedLimit, bool singleByte, QWidget* parent)
    : QLineEdit(parent), m_typedLimit(typedLimit) {
  setValidator(new Validator(*this, singleByte));
  connect(this, &QLineEdit::textChanged, this,
          [this](const QString& text) { m_acceptedText = text; });
}

void TagField::setValue(const QString& text) {
  m_acceptedText = text;
  setText(text);
}

}  // namespace brindle::tageditor
