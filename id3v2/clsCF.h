// The comment frame: encoding byte, 3-character language, a terminated short
// description and the comment text.
#pragma once

#include <string>
#include <string_view>

#include "id3v2/DescribedFrame.h"

namespace brindle::id3v2 {

/// A comment frame: a comment with its language and a short description.
///
/// Content: the encoding byte, 3 language bytes, the description with its
/// terminator, then the data.
/// framesize() = 1 + 3 + length of description + length of data.
class clsCF final : public DescribedFrame {
 public:
  /// A frame with language three zero bytes, description and data one zero
  /// byte each.
  clsCF() = default;

  /// The 3 language characters.
  const std::string& language() const;
  /// Stores 3 characters: a shorter value is padded with spaces, a longer
  /// one cut to its first 3.
  void language(std::string_view a_slang);

 private:
  /// Fewer than 4 content bytes do not fit. The description starts at byte
  /// 4; without a terminator it takes all bytes after the language and the
  /// data is empty.
  bool parseFields(ByteView content) override;
  void renderFields(ByteVector& content) const override;
  std::size_t fieldsSize() const override;

  std::string m_language = std::string(3, '\0');
};

}  // namespace brindle::id3v2
