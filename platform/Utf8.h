// UTF-8, the program's one decoder and encoder of it: reading one character
// at a time without ever failing on broken input, checking that a text is
// well-formed, and writing a code point. Tag texts, rename rules, help text
// and file names all read and write UTF-8 through here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brindle::platform::utf8 {

/// What a malformed sequence decodes to.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

/// One character read from a text.
struct Decoded {
  /// The code point; kReplacementCharacter for a malformed sequence.
  char32_t codePoint;
  /// The bytes read: the whole sequence, or for a malformed one the bytes
  /// that were a valid start of a sequence (at least one), so the character
  /// after it is not swallowed.
  std::size_t length;
  /// False for a malformed sequence.
  bool valid;
};

/// Reads the character starting at `text[at]` (`at` < text.size()). A
/// well-formed sequence has no overlong form, no surrogate and nothing above
/// U+10FFFF.
Decoded decodeAt(std::string_view text, std::size_t at);

/// The length of the well-formed sequence that starts at `text[at]`, or 0
/// when none starts there.
std::size_t sequenceLength(std::string_view text, std::size_t at);

/// Whether the whole of `text` is well-formed UTF-8.
bool isValid(std::string_view text);

/// Appends `codePoint` (at most U+10FFFF) as UTF-8.
void append(std::string& out, char32_t codePoint);

}  // namespace brindle::platform::utf8
