// The genre list of the tag editor: a blank entry, then the version 1 genre
// names in the order the list shows them, each with its genre number.
#pragma once

#include <span>
#include <string>

namespace brindle::tageditor {

/// The genre number the blank entry stands for: no genre.
inline constexpr int kNoGenre = 255;

struct GenreEntry {
  const char* name;
  /// The version 1 genre number; kNoGenre for the blank entry.
  int number;
};

/// The 150 entries in list order: the blank entry " " first, then the 149
/// named genres with the numbers 0 to 148.
std::span<const GenreEntry> genreList();

/// The list position of the named genre whose number is `number`, or 0 (the
/// blank entry) when no name has it.
int genrePositionForNumber(int number);

/// The list position of the entry whose text equals `text` exactly, or -1.
int genrePositionForText(const std::string& text);

/// The genre number of the entry at `position`; kNoGenre for the blank entry
/// and for a position outside the list.
int genreNumberAt(int position);

}  // namespace brindle::tageditor
