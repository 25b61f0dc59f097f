// The rename rules as pure functions: from an old name and the command's
// parameters to the new name. Nothing here touches the disk, so a preview or
// an undo can use the same rules as the commands.
//
// Names are the system's bytes. A "character" is a Unicode code point when
// the name is valid UTF-8, and a single byte otherwise (a name in a legacy
// single-byte encoding), so that a rule never re-encodes a name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::rename {

/// The byte offsets where the characters of `name` start, followed by
/// name.size().
std::vector<std::size_t> characterBounds(std::string_view name);

/// The number of characters of `text`.
std::size_t characterCount(std::string_view text);

/// The last `count` characters of `text` (all of it when it is shorter).
std::string_view lastCharacters(std::string_view text, std::size_t count);

/// A name that can be the new name of a file in the same folder: not empty,
/// not "." or "..", and without a path separator or a NUL byte.
bool isPlainFileName(std::string_view name);

// Case commands --------------------------------------------------------------

enum class CaseKind { Lower, Upper, Title };

/// The name in lower case, upper case or title case (Unicode case mapping).
/// Empty when the name is not valid UTF-8: such a name is left as it is.
std::optional<std::string> lowerCase(const std::string& name);
std::optional<std::string> upperCase(const std::string& name);
/// Lower case, then each letter that starts the name or follows a word
/// separator (blank, tab, line feed, vertical tab, form feed, carriage
/// return, NUL) in title case. Periods, hyphens, underscores and apostrophes
/// belong to words.
std::optional<std::string> titleCase(const std::string& name);

/// The name in the case `kind` asks for. Empty when the name is not valid
/// UTF-8.
std::optional<std::string> caseName(CaseKind kind, const std::string& name);

/// Whether two different names differ only in letter case (Unicode lower
/// case), so that a file system that ignores case sees one name. False for
/// names that are not UTF-8.
bool differOnlyInCase(const std::string& first, const std::string& second);

// Character edits ------------------------------------------------------------

/// Every occurrence of `find` replaced by `replacement`, left to right
/// without overlaps, compared exactly. An empty `find` changes nothing.
std::string replaceAll(const std::string& name, const std::string& find,
                       const std::string& replacement);

/// The name without its first `count` characters. Empty (the entry is
/// skipped) when `count` exceeds the name's length; a count below 1 keeps
/// the name.
std::optional<std::string> removeLeftMost(const std::string& name, int count);

/// The part before the first period without its last `count` characters,
/// followed by the period and the rest. Empty (skipped) when `count` exceeds
/// the name's length. A name without a period, or a count above the length
/// of that part, keeps its name; a count equal to it leaves the period and
/// the rest alone.
std::optional<std::string> removeRightMost(const std::string& name, int count);

/// Takes the `count` characters from 1-based position `start` and removes
/// every occurrence of that text from the name. Empty (skipped) unless
/// start + count <= length and count <= length; a start or count below 1
/// keeps the name.
std::optional<std::string> removeMiddleMost(const std::string& name, int start, int count);

// Extension change -----------------------------------------------------------

enum class ExtensionAnswer {
  /// Nothing typed, or Cancel: end quietly.
  Empty,
  /// Begins with a period: "No period needed!".
  LeadingPeriod,
  /// Not exactly three characters: end quietly.
  WrongLength,
  Usable,
};

/// How the extension command treats the typed text.
ExtensionAnswer checkExtension(std::string_view typed);

/// The name with `extension` in place of everything after its first period
/// (a name without a period becomes the extension alone). Empty (left alone)
/// when the last three characters of the entry path `oldPath` already equal
/// the extension.
std::optional<std::string> changeExtension(const std::string& oldPath, const std::string& name,
                                           const std::string& extension);

// Numbered rename ------------------------------------------------------------

/// The highest running number.
inline constexpr int kHighestNumber = 32767;

struct NumberingOptions {
  enum class Layout {
    /// Common name, a blank, the number, a period and the old extension.
    Common,
    /// Number, divider, the whole old name.
    UniqueLeft,
    /// Old name up to its first period, divider, number, period, extension.
    UniqueRight,
  };
  Layout layout = Layout::Common;
  std::string commonName = "file";
  std::string divider;

  bool operator==(const NumberingOptions&) const = default;
};

/// The number in decimal, with a leading "0" when it is 9 or less.
std::string numberText(int number);

/// The new name of `name` with running number `number`. The extension is the
/// last three characters of the old name. A name without a period keeps the
/// whole name in front of the number under UniqueRight.
std::string numberedName(const NumberingOptions& options, const std::string& name, int number);

}  // namespace brindle::rename
