// The user-defined URL frame: encoding byte, a terminated description and
// the URL.
#pragma once

#include <string>
#include <string_view>

#include "id3v2/DescribedFrame.h"

namespace brindle::id3v2 {

/// A user-defined link (URL) frame with a short description.
///
/// Content: the encoding byte, the description with its terminator, then the
/// data (the URL). framesize() = 1 + length of description + length of data.
class clsWF final : public DescribedFrame {
 public:
  /// A frame with description and data one zero byte each.
  clsWF() = default;

  /// The URL as UTF-8: it is ISO-8859-1 whatever the frame's encoding.
  std::string valueText() const override;

 private:
  /// The description starts at byte 1; without a terminator both the
  /// description and the data take all bytes after the encoding byte.
  bool parseFields(ByteView content) override;
  void renderFields(ByteVector& content) const override;
  std::size_t fieldsSize() const override;

  /// Any URL fits: its characters beyond ISO-8859-1 are percent-escaped.
  bool valueFitsLatin1(std::string_view utf8) const override;
  /// The URL as ISO-8859-1, whatever `enc`.
  std::string encodedValue(std::uint8_t enc, std::string_view utf8) const override;
};

}  // namespace brindle::id3v2
