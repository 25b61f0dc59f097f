// The frame interface: what every frame kind holds in common (id, flags,
// text encoding) and the parse/render pair that the tag container uses to
// turn a frame's content bytes into fields and back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "id3v2/Bytes.h"

namespace brindle::id3v2 {

/// One frame of an ID3v2 tag, of any kind.
///
/// The 10-byte frame header is read and written by the tag container; a frame deals only with its
/// content, the bytes that follow that header. Text values (data, description, language) are byte
/// strings: one char per content byte, so a frame read and written back yields the same bytes
/// whatever its text encoding.
class clsF {
 public:
  virtual ~clsF() = default;
  clsF(const clsF&) = delete;
  clsF& operator=(const clsF&) = delete;

  /// Stores the id as 4 characters: a shorter id is padded on the right
  /// with spaces, a longer one is cut to its first 4 characters.
  void frameid(std::string_view a_sframeid);
  /// The 4-character id; four zero characters until one is set.
  const std::string& frameid() const;

  /// Number of content bytes, the 10-byte frame header not included.
  std::int32_t framesize() const;

  /// Stores the two flag bytes of the frame header, never interpreted.
  void setflags(std::span<const std::uint8_t, 2> a_flags);
  /// Replaces a_flags with the frame's two flag bytes.
  void getflags(std::array<std::uint8_t, 2>& a_flags) const;

  /// Replaces the fields from the content bytes (encoding byte first). False
  /// when the content does not fit the kind (fields then unchanged).
  bool parsebytes(ByteView a_bytes);
  /// Replaces a_bytes with exactly framesize() content bytes.
  void getbytes(ByteVector& a_bytes) const;

  /// The text-encoding byte, the first content byte (0 for a new frame).
  /// An opaque frame does not use it.
  std::uint8_t textencoding() const;
  /// Stores the text-encoding byte; the fields' bytes are not converted.
  void textencoding(std::uint8_t a_enc);

  /// The data field as stored, terminating zero byte included.
  virtual std::string data() const = 0;
  /// Stores the data: a value whose last byte is not zero gets one zero byte
  /// appended; an empty value becomes one zero byte.
  virtual void data(std::string_view a_sdata) = 0;

  /// The value as UTF-8: the data decoded in the frame's encoding, each
  /// terminator kept as one zero character. Kinds whose value is not text in
  /// the frame's encoding (a URL) say so here, so callers need not know the
  /// kind.
  virtual std::string valueText() const;
  /// Stores a UTF-8 value with its terminator: as ISO-8859-1 when it fits,
  /// else as UTF-16, and sets the encoding byte to match.
  virtual void setValueText(std::string_view utf8);

  /// True for a frame kept as raw bytes only.
  virtual bool isOpaque() const { return false; }

 protected:
  clsF();

  /// The value followed by one zero byte unless its last byte is already
  /// zero; an empty value gives one zero byte.
  static std::string terminated(std::string_view value);

  /// The bytes as a byte string, one char per byte.
  static std::string text(ByteView bytes);

  /// Appends the chars of a byte string to content, one byte each.
  static void append(ByteVector& content, std::string_view value);

 private:
  /// Replaces the kind's fields from the content, whose byte 0 is the
  /// encoding byte (non-empty unless the frame is opaque). False, with the
  /// fields unchanged, when the content does not fit the kind.
  virtual bool parseFields(ByteView content) = 0;
  /// Appends the kind's fields to content (after the encoding byte).
  virtual void renderFields(ByteVector& content) const = 0;
  /// Number of bytes renderFields appends.
  virtual std::size_t fieldsSize() const = 0;

  std::string m_frameid;
  std::array<std::uint8_t, 2> m_flags{};
  std::uint8_t m_encoding = 0;
};

}  // namespace brindle::id3v2
