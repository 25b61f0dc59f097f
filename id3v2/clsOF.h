// The opaque frame: a frame of a kind this program does not edit, kept as its
// raw content so that writing the tag back loses nothing.
#pragma once

#include <memory>
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

  /// The empty text, or the value of the frame set by readableAs().
  std::string valueText() const override;

  bool isOpaque() const override { return true; }

  /// Gives the frame a value to show while its bytes stay as they are: the
  /// frame of its kind parsed from the decoded content (a compressed or
  /// unsynchronised frame).
  void readableAs(std::shared_ptr<const clsF> a_decoded) { m_decoded = std::move(a_decoded); }

 private:
  /// Keeps the whole content, encoding byte included; any content fits.
  bool parseFields(ByteView content) override;
  void renderFields(ByteVector& content) const override;
  std::size_t fieldsSize() const override;

  ByteVector m_content;
  std::shared_ptr<const clsF> m_decoded;
};

}  // namespace brindle::id3v2
