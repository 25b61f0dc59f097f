// The comment frame: encoding byte, 3-character language, a terminated short
// description and the comment text.
#pragma once

#include <string>
#include <string_view>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// A comment frame. Content: the encoding byte, 3 language bytes, the
/// description with its terminator, then the data.
/// framesize() = 1 + 3 + length of description + length of data.
class clsCF final : public clsF {
 public:
  /// A frame with language three zero bytes, description and data one zero
  /// byte each.
  clsCF() = default;

  /// The 3 language characters.
  const std::string& language() const;
  /// Stores 3 characters: a shorter value is padded with spaces, a longer
  /// one cut to its first 3.
  void language(std::string_view a_slang);

  /// The description, its terminator included.
  const std::string& description() const;
  /// Stores the description by the same terminator rule as data().
  void description(std::string_view a_sdesc);

  std::string data() const override;
  void data(std::string_view a_sdata) override;

 private:
  /// Fewer than 4 content bytes do not fit. The description runs from byte 4
  /// up to and including the first terminator of the content's encoding (one
  /// zero byte for encodings 0 and 3, two zero bytes at an even offset from
  /// byte 4 for encodings 1 and 2); the data is everything after it. Without
  /// a terminator the description takes all bytes after the language and the
  /// data is empty.
  bool parsefields(ByteView content) override;
  void renderfields(ByteVector& content) const override;
  std::size_t fieldssize() const override;

  std::string m_language = std::string(3, '\0');
  std::string m_description = std::string(1, '\0');
  std::string m_data = std::string(1, '\0');
};

}  // namespace brindle::id3v2
