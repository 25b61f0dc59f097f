// Numbers typed by the user: the 16-bit counts of the character edits and
// the start number of the numbered rename.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace brindle::rename {

/// Reads a typed count the way a numeric text is read: blanks around it are
/// allowed, a fraction is rounded to the nearest integer with halves going to
/// the even neighbour. Empty when the text is not a number or the rounded
/// value lies outside -32768 to 32767.
std::optional<std::int16_t> parseNumberEntry(std::string_view text);

/// The leading decimal number of `text`, rounded as above: leading blanks,
/// a sign, digits and a fraction are read up to the first character that
/// cannot continue the number; text that does not begin with a number counts
/// as 0. Values beyond the 64-bit range are clamped to it.
std::int64_t leadingNumber(std::string_view text);

/// The 16-bit count after a typed entry: the entry's value when it is
/// usable, otherwise `current`.
inline std::int16_t enteredOr(std::string_view text, std::int16_t current) {
  return parseNumberEntry(text).value_or(current);
}

}  // namespace brindle::rename
