// Locale-independent reading of typed numbers (std::from_chars), so a comma
// locale does not change what "2.5" means.
#include "rename/core/NumberEntry.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace brindle::rename {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

/// The length of the number (sign, digits, fraction, exponent) at the start
/// of `text`; 0 when no digit is found.
std::size_t numberLength(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t digits = 0;
  while (at < text.size() && isDigit(text[at])) ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && isDigit(text[at])) ++at, ++digits;
  }
  if (digits == 0) return 0;
  // An exponent counts only when digits follow it.
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    if (exponent < text.size() && isDigit(text[exponent])) {
      while (exponent < text.size() && isDigit(text[exponent])) ++exponent;
      at = exponent;
    }
  }
  return at;
}

/// The value of a number found by numberLength(), rounded half to even.
double roundedValue(std::string_view number) {
  const bool negative = !number.empty() && number.front() == '-';
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
    number.remove_prefix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
  (void)end;
  // The default rounding mode rounds halves to the even neighbour.
  const double rounded = std::nearbyint(value);
  return negative ? -rounded : rounded;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::int16_t> parseNumberEntry(std::string_view text) {
  text = trimBlanks(text);
  const std::size_t length = numberLength(text);
  if (length == 0 || length != text.size()) return std::nullopt;
  const double value = roundedValue(text);
  if (!(value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

std::int64_t leadingNumber(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  const std::size_t length = numberLength(text);
  if (length == 0) return 0;
  const double value = roundedValue(text.substr(0, length));
  // 2^63 as a double; anything at or beyond it is clamped.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

}  // namespace brindle::rename
