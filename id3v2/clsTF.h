// The text frame: an encoding byte followed by the text, kept byte for byte.
#pragma once

#include <string>
#include <string_view>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// A text frame: one text value such as a title, an artist or a track number.
///
/// Content: the encoding byte, then the data. framesize() = length of data + 1.
class clsTF final : public clsF {
 public:
  /// A frame whose data is one zero byte.
  clsTF() = default;

  std::string data() const override;
  /// Decoded from the stored data without copying it first.
  std::string valueText() const override;
  void data(std::string_view a_sdata) override;

 private:
  /// Every byte after the encoding byte becomes the data: zero bytes are
  /// kept, nothing is stripped and no terminator is added.
  bool parseFields(ByteView content) override;
  void renderFields(ByteVector& content) const override;
  std::size_t fieldsSize() const override;

  std::string m_data = std::string(1, '\0');
};

}  // namespace brindle::id3v2
