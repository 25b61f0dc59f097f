// The part that comment and user-defined URL frames share: a terminated
// description in the frame's encoding, followed by the value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// A frame whose value follows a short description (comment, user URL).
///
/// The description runs from its start offset up to and including the first
/// terminator of the content's encoding (one zero byte for encodings 0 and 3,
/// two zero bytes at an even offset from the start for encodings 1 and 2);
/// the data is everything after it. What a content without a terminator
/// gives is the kind's choice (WithoutTerminator).
class DescribedFrame : public clsF {
 public:
  /// The description, its terminator included.
  const std::string& description() const;
  /// Stores the description by the same terminator rule as data().
  void description(std::string_view a_sdesc);

  std::string data() const override;
  void data(std::string_view a_sdata) override;

  /// Stores the value as clsF does, except that the description must fit
  /// ISO-8859-1 too; when the encoding changes, the description is written
  /// again in the new one.
  void setValueText(std::string_view utf8) override;

 protected:
  DescribedFrame() = default;

  /// What a content without a terminator after the description gives.
  enum class WithoutTerminator {
    /// The description takes every byte; the data is empty.
    DataEmpty,
    /// The description and the data each take every byte.
    DataRepeatsDescription,
  };

  /// Reads description and data from `content` starting at byte `start`
  /// (at most content.size(); byte 0 is the encoding byte).
  void parseDescribed(ByteView content, std::size_t start, WithoutTerminator rule);
  /// Appends the description and the data.
  void renderDescribed(ByteVector& content) const;
  /// Number of bytes renderDescribed appends.
  std::size_t describedSize() const;

 private:
  /// True when `utf8` can be stored as ISO-8859-1 data.
  virtual bool valueFitsLatin1(std::string_view utf8) const;
  /// The data bytes for `utf8` in encoding `enc`, before data() terminates them.
  virtual std::string encodedValue(std::uint8_t enc, std::string_view utf8) const;

  std::string m_description = std::string(1, '\0');
  std::string m_data = std::string(1, '\0');
};

}  // namespace brindle::id3v2
