// The UTF-8 decoder and encoder: which sequences are well-formed, how far a malformed one
// reaches (never over the next valid start), and code points written back.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace brindle::platform::utf8 {
namespace {

TEST(Utf8, DecodesChecksAndEncodes) {
  constexpr char32_t bad = kReplacementCharacter;
  struct Case {
    std::string text;
    std::size_t at;
    char32_t codePoint;
    std::size_t length;  // how far decodeAt reads
    bool valid;          // that sequence and the whole text
  } const cases[] = {{"plain.txt", 0, U'p', 1, true},
                     {"a\xC3\xB1", 1, U'\u00F1', 2, true},
                     {"\xE2\x98\x83", 0, U'\u2603', 3, true},
                     {"\xF0\x9D\x84\x9E.mp3", 0, U'\U0001D11E', 4, true},
                     {"\xEF\xBF\xBD", 0, bad, 3, true},
                     {"\xE9t\xE9", 0, bad, 1, false},  // Latin-1
                     {"\x80", 0, bad, 1, false},
                     {"\xC0\xAF", 0, bad, 1, false},  // overlong
                     {"\xE0\x80\xAF", 0, bad, 1, false},
                     {"\xED\xA0\x80", 0, bad, 1, false},  // surrogate
                     {"\xF4\x90\x80\x80", 0, bad, 1, false},
                     {"\xE2\x82!", 0, bad, 2, false},  // cut short
                     {"\xE2\x82", 0, bad, 2, false},
                     {"a\xC3", 1, bad, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded decoded = decodeAt(c.text, c.at);
    EXPECT_EQ(decoded.codePoint, c.codePoint);
    EXPECT_EQ(decoded.length, c.length);
    EXPECT_EQ(decoded.valid, c.valid);
    EXPECT_EQ(sequenceLength(c.text, c.at), c.valid ? c.length : 0u);
    EXPECT_EQ(isValid(c.text), c.valid);
    if (!c.valid) continue;
    std::string written;
    append(written, c.codePoint);
    EXPECT_EQ(written, c.text.substr(c.at, c.length));
  }
  EXPECT_TRUE(isValid(""));
}

}  // namespace
}  // namespace brindle::platform::utf8
