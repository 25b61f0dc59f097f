// "Auto Info" and "Number Tracks": walk every entry of the tag editor's file
// list, load it as a double click does, change its fields and save it. They
// drive the window through TagEditorHost, so they can run on a stand-in.
#pragma once

#include <optional>
#include <string>

#include "tageditor/core/TagFields.h"
#include "tageditor/core/TagSession.h"

namespace brindle::tageditor {

/// The window as the batch tools see it.
class TagEditorHost {
 public:
  virtual ~TagEditorHost() = default;

  virtual TagFields fields() const = 0;
  virtual void setFields(const TagFields& fields) = 0;
  /// "Save" of the fields on screen into the loaded file.
  virtual SaveResult save() = 0;
  /// True while a file is loaded (none after the folder changed).
  virtual bool hasLoadedFile() const = 0;
  /// Takes the fields on screen as the remembered values, without saving.
  virtual void remember() = 0;

  virtual int entryCount() const = 0;
  /// The name (bytes) of entry `index`.
  virtual std::string entryName(int index) const = 0;
  /// Gives the file list the focus and makes entry `index` its current one.
  virtual void moveToEntry(int index) = 0;
  /// Loads the current entry as a double click does.
  virtual LoadResult loadCurrentEntry() = 0;

  /// Shows or hides the "Please Wait!" note.
  virtual void showNote(bool visible) = 0;
  virtual void setProgressMaximum(int maximum) = 0;
  virtual void setProgressValue(int value) = 0;
};

/// What a batch did with the entries of the list.
struct BatchReport {
  int entries = 0;
  int saved = 0;
  /// Entries that did not load as MP3 files: nothing was saved for them.
  int skipped = 0;
  /// Entries whose Save stopped early, was refused or reported an error.
  int failed = 0;

  bool operator==(const BatchReport&) const = default;
};

/// The note shown while a batch runs.
inline constexpr const char* kPleaseWait = "\r\n\r\nPlease Wait!";

/// "Auto Info": saves the file on screen (which refreshes `remembered`),
/// then gives every MP3 entry of the list the remembered values, keeping its
/// own titles and track, and saves it.
BatchReport autoInfo(TagEditorHost& host, const RememberedValues& remembered);

/// "Number Tracks": saves the file on screen, then loads every MP3 entry and
/// saves it with its track number ("01", "02", ...) and its other tags as
/// read. The number is the entry's place among the names ending in ".mp3"
/// in any letter case, so entries of other kinds take no number.
BatchReport numberTracks(TagEditorHost& host);

/// What to tell the user after a batch: how many entries were skipped and
/// how many could not be saved; nothing when every entry was saved.
std::optional<std::string> batchReportText(const BatchReport& report);

}  // namespace brindle::tageditor
