// A one-line tag field: limits what the user types (a number of characters,
// and for the version 1 fields the characters a single-byte tag can hold)
// while text set by the program is taken whole.
#pragma once

#include <QLineEdit>

namespace brindle::tageditor {

class TagField : public QLineEdit {
  Q_OBJECT

 public:
  /// `typedLimit` is the most characters the user can type (0: no limit);
  /// with `singleByte` only characters of ISO-8859-1 can be typed.
  TagField(int typedLimit, bool singleByte, QWidget* parent = nullptr);

  /// Sets the text as the program does: never cut, never filtered.
  void setValue(const QString& text);

  int typedLimit() const { return m_typedLimit; }

 private:
  class Validator;

  int m_typedLimit;
  /// The text before the edit being checked: an edit may keep a longer text
  /// (or other characters) set by the program, but never add to them.
  QString m_acceptedText;
};

}  // namespace brindle::tageditor
