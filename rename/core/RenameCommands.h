// The rename commands of the main window as plain functions: their prompts,
// questions and messages through platform::Dialogs, their renames through
// the batch walk or platform::FileSystem. The window only wires them to its
// menu items; tests drive them with scripted dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "rename/core/BatchWalk.h"

namespace brindle::rename {

/// The services a rename command uses.
struct RenameServices {
  platform::Dialogs& dialogs;
  platform::FileSystem& fileSystem;
  /// Where the renames are recorded; none: the history is off.
  history::History* history = nullptr;
};

/// The count and start of the character edits, kept by the main window
/// between commands (both 0 when the window opens).
struct CharacterEditNumbers {
  std::int16_t count = 0;
  std::int16_t start = 0;
};

/// "Convert All to Lowercase" / "Uppercase" / "Convert to Title Case ": asks,
/// then renames every selected file in two steps.
void convertCase(RenameServices services, ui::FileListHost& list, CaseKind kind);

/// "Remove Characters From Filenames": find text, replacement, confirmation.
void removeCharacters(RenameServices services, ui::FileListHost& list);

/// "Remove Left Most" / "Remove Right Most": the count (an unusable entry
/// keeps the stored count), confirmation.
void removeLeftMostCharacters(RenameServices services, ui::FileListHost& list,
                              CharacterEditNumbers& numbers);
void removeRightMostCharacters(RenameServices services, ui::FileListHost& list,
                               CharacterEditNumbers& numbers);

/// "Remove Middle Most": resets start and count to 0, asks for both,
/// confirmation.
void removeMiddleMostCharacters(RenameServices services, ui::FileListHost& list,
                                CharacterEditNumbers& numbers);

/// "Rename All Extension(s)": the new three-character extension, the
/// question, the walk (without progress), the re-read.
void changeExtensions(RenameServices services, ui::FileListHost& list);

/// "Rename Single File": the current entry to a typed path; a bare name
/// stays in the directory being browsed. The report follows every attempt;
/// Cancel at the name prompt renames and reports nothing.
void renameSingleFile(RenameServices services, ui::FileListHost& list);

/// Where a typed answer of the single rename points, as system bytes. An
/// answer equal to the old path as shown is the old path itself; a relative
/// answer is taken in `directory`. Empty when the answer cannot name the
/// bytes the user meant: it still holds a character shown in place of a
/// name's undecodable bytes.
std::optional<std::string> typedTargetPath(const std::string& directory, const std::string& oldName,
                                           const std::string& answer);

enum class NameBoxOutcome {
  /// No entry is selected: nothing happened.
  NothingSelected,
  /// The name box holds only blanks.
  Blank,
  /// The name is no plain file name (it holds "/", or is "." or ".."): the
  /// user was told, nothing was asked or renamed.
  NotPlainName,
  /// The user said No.
  Declined,
  /// Old and new path are equal: "Names must be different!".
  SameName,
  /// The rename was attempted and the list re-read.
  Renamed,
  /// The rename failed (the user was told) and the list was re-read.
  Failed,
};

/// "Save Edited": renames the current entry to `typedName` (system bytes) in
/// the path box's directory after the question.
NameBoxOutcome renameFromNameBox(RenameServices services, ui::FileListHost& list,
                                 const std::string& typedName);

/// What the numbered rename did.
struct NumberedResult {
  enum class Outcome {
    /// The start number was refused with a message; nothing renamed.
    Refused,
    /// The user said No.
    Declined,
    /// The selection was walked and the list re-read.
    Done,
  };
  Outcome outcome = Outcome::Refused;
  /// Renames that failed.
  int failed = 0;
  /// Selected files left without a number because the numbers ran out.
  int beyondHighest = 0;
};

/// "Accept" of the numbered rename: start number from `startText`, the
/// question, the renames, the re-read.
NumberedResult renameNumbered(RenameServices services, ui::FileListHost& list,
                              const NumberingOptions& options, const std::string& startText);

/// Tells the user of failures and of numbers that ran out; says nothing
/// when everything went well.
void reportNumbered(platform::Dialogs& dialogs, const NumberedResult& result);

}  // namespace brindle::rename
