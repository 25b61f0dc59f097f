// The user-defined URL frame: encoding byte, a terminated description and
// the URL.
#pragma once

#include <string>
#include <string_view>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// A user-defined URL frame. Content: the encoding byte, the description with
/// its terminator, then the data (the URL).
/// framesize() = 1 + length of description + length of data.
class clsWF final : public clsF {
 public:
  /// A frame with description and data one zero byte each.
  clsWF() = default;

  /// The description, its terminator included.
  const std::string& description() const;
  /// Stores the description by the same terminator rule as data().
  void description(std::string_view a_sdesc);

  std::string data() const override;
  void data(std::string_view a_sdata) override;

 private:
  /// The description runs from byte 1 up to and including the first
  /// terminator of the content's encoding (one zero byte for encodings 0 and
  /// 3, two zero bytes at an even offset from byte 1 for encodings 1 and 2);
  /// the data is everything after it. Without a terminator both the
  /// description and the data take all bytes after the encoding byte.
  bool parsefields(ByteView content) override;
  void renderfields(ByteVector& content) const override;
  std::size_t fieldssize() const override;

  std::string m_description = std::string(1, '\0');
  std::string m_data = std::string(1, '\0');
};

}  // namespace brindle::id3v2
