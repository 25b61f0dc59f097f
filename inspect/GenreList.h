// The one genre list of the program: a blank entry, then the version 1 genre
// names in the order the tag editor's list shows them, each with its genre
// number. The component, brindle-cli and the tag editor all take it from here.
#pragma once

#include <span>
#include <string>

namespace brindle::inspect {

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

/// True when a named entry has genre number `number` (0 to 148); any other
/// number shows as the blank entry.
bool isListedGenre(int number);

/// The list position of the entry whose text equals `text` exactly, or -1.
int genrePositionForText(const std::string& text);

/// The genre number of the entry at `position`; kNoGenre for the blank entry
/// and for a position outside the list.
int genreNumberAt(int position);

}  // namespace brindle::inspect
