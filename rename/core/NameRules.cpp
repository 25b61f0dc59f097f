// The rename rules. Only the case rules decode a name (through Qt's Unicode
// case mapping); every other rule cuts and joins the name's bytes at
// character boundaries.
#include "rename/core/NameRules.h"

#include <QChar>
#include <QList>
#include <QString>

#include "platform/Utf8.h"

namespace brindle::rename {

namespace {

/// The name as a QString, when it is valid UTF-8 and comes back unchanged
/// from the round trip.
std::optional<QString> decoded(const std::string& name) {
  if (!platform::utf8::isValid(name)) return std::nullopt;
  QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (text.toUtf8().toStdString() != name) return std::nullopt;
  return text;
}

std::string encoded(const QString& text) {
  return text.toUtf8().toStdString();
}

bool isWordSeparator(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\n' || c == U'\v' || c == U'\f' || c == U'\r' ||
         c == U'\0';
}

}  // namespace

std::vector<std::size_t> characterBounds(std::string_view name) {
  std::vector<std::size_t> bounds;
  bounds.reserve(name.size() + 1);
  if (platform::utf8::isValid(name)) {
    for (std::size_t at = 0; at < name.size(); at += platform::utf8::sequenceLength(name, at)) {
      bounds.push_back(at);
    }
  } else {
    for (std::size_t at = 0; at < name.size(); ++at) bounds.push_back(at);
  }
  bounds.push_back(name.size());
  return bounds;
}

std::size_t characterCount(std::string_view text) {
  return characterBounds(text).size() - 1;
}

std::string_view lastCharacters(std::string_view text, std::size_t count) {
  const std::vector<std::size_t> bounds = characterBounds(text);
  const std::size_t length = bounds.size() - 1;
  if (count >= length) return text;
  return text.substr(bounds[length - count]);
}

bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::optional<std::string> lowerCase(const std::string& name) {
  std::optional<QString> text = decoded(name);
  if (!text) return std::nullopt;
  return encoded(text->toLower());
}

std::optional<std::string> upperCase(const std::string& name) {
  std::optional<QString> text = decoded(name);
  if (!text) return std::nullopt;
  return encoded(text->toUpper());
}

std::optional<std::string> titleCase(const std::string& name) {
  std::optional<QString> text = decoded(name);
  if (!text) return std::nullopt;
  QList<uint> codePoints = text->toLower().toUcs4();
  bool wordStart = true;
  for (uint& codePoint : codePoints) {
    if (wordStart && QChar::isLetter(codePoint)) codePoint = QChar::toTitleCase(codePoint);
    wordStart = isWordSeparator(static_cast<char32_t>(codePoint));
  }
  return encoded(QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()),
                                   codePoints.size()));
}

std::optional<std::string> caseName(CaseKind kind, const std::string& name) {
  switch (kind) {
    case CaseKind::Lower:
      return lowerCase(name);
    case CaseKind::Upper:
      return upperCase(name);
    case CaseKind::Title:
      break;
  }
  return titleCase(name);
}

bool differOnlyInCase(const std::string& first, const std::string& second) {
  if (first == second) return false;
  const std::optional<std::string> lowerFirst = lowerCase(first);
  return lowerFirst && lowerFirst == lowerCase(second);
}

std::string replaceAll(const std::string& name, const std::string& find,
                       const std::string& replacement) {
  if (find.empty()) return name;
  std::string result;
  result.reserve(name.size());
  std::size_t from = 0;
  for (std::size_t hit = name.find(find); hit != std::string::npos; hit = name.find(find, from)) {
    result.append(name, from, hit - from);
    result += replacement;
    from = hit + find.size();
  }
  result.append(name, from, std::string::npos);
  return result;
}

std::optional<std::string> removeLeftMost(const std::string& name, int count) {
  const std::vector<std::size_t> bounds = characterBounds(name);
  const int length = static_cast<int>(bounds.size()) - 1;
  if (count > length) return std::nullopt;
  if (count < 1) return name;
  return name.substr(bounds[static_cast<std::size_t>(count)]);
}

std::optional<std::string> removeRightMost(const std::string& name, int count) {
  const std::vector<std::size_t> bounds = characterBounds(name);
  const int length = static_cast<int>(bounds.size()) - 1;
  if (count > length) return std::nullopt;
  const std::size_t period = name.find('.');
  if (period == std::string::npos || count < 1) return name;
  // The characters of the part before the period.
  int baseLength = 0;
  while (bounds[static_cast<std::size_t>(baseLength)] < period) ++baseLength;
  if (count > baseLength) return name;
  const std::size_t keep = bounds[static_cast<std::size_t>(baseLength - count)];
  return name.substr(0, keep) + name.substr(period);
}

std::optional<std::string> removeMiddleMost(const std::string& name, int start, int count) {
  const std::vector<std::size_t> bounds = characterBounds(name);
  const int length = static_cast<int>(bounds.size()) - 1;
  if (!(start + count <= length && count <= length)) return std::nullopt;
  if (start < 1 || count < 1) return name;
  const std::size_t from = bounds[static_cast<std::size_t>(start - 1)];
  const std::size_t to = bounds[static_cast<std::size_t>(start - 1 + count)];
  return replaceAll(name, name.substr(from, to - from), {});
}

ExtensionAnswer checkExtension(std::string_view typed) {
  if (typed.empty()) return ExtensionAnswer::Empty;
  if (typed.front() == '.') return ExtensionAnswer::LeadingPeriod;
  if (characterCount(typed) != 3) return ExtensionAnswer::WrongLength;
  return ExtensionAnswer::Usable;
}

std::optional<std::string> changeExtension(const std::string& oldPath, const std::string& name,
                                           const std::string& extension) {
  if (lastCharacters(oldPath, 3) == extension) return std::nullopt;
  const std::size_t period = name.find('.');
  if (period == std::string::npos) return extension;
  return name.substr(0, period + 1) + extension;
}

std::string numberText(int number) {
  std::string text = number <= 9 ? "0" : "";
  text += std::to_string(number);
  return text;
}

std::string numberedName(const NumberingOptions& options, const std::string& name, int number) {
  const std::string extension(lastCharacters(name, 3));
  switch (options.layout) {
    case NumberingOptions::Layout::Common:
      return options.commonName + " " + numberText(number) + "." + extension;
    case NumberingOptions::Layout::UniqueRight:
      return name.substr(0, name.find('.')) + options.divider + numberText(number) + "." +
             extension;
    case NumberingOptions::Layout::UniqueLeft:
      break;
  }
  return numberText(number) + options.divider + name;
}

}  // namespace brindle::rename
