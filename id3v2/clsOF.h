// The opaque frame: a frame of a kind this program does not edit, kept as its
// raw content so that writing the tag back loses nothing.
#pragma once

#include <string>
#include <string_view>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// A frame kept as raw bytes only. Its content is not split into fields and
/// the encoding byte is not interpreted: getbytes() returns exactly the bytes
/// given to parsebytes() (none for a new frame).
class clsOF final : public clsF {
 public:
  clsOF() = default;

  /// Always empty: an opaque frame has no text value.
  std::string data() const override;
  /// Ignored: an opaque frame's content is changed only by parsebytes().
  void data(std::string_view a_sdata) override;

  bool isOpaque() const override { return true; }

 private:
  /// Keeps the whole content, encoding byte included; any content fits.
  bool parseFields(ByteView content) override;
  void renderFields(ByteVector& content) const override;
  std::size_t fieldsSize() const override;

  ByteVector m_content;
};

}  // namespace brindle::id3v2
