// "Auto Info" and "Number Tracks": walk every entry of the tag editor's file
// list, load it as a double click does, change its fields and save it. They
// drive the window through TagEditorHost, so they can run on a stand-in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/TagBatch.h"
#include "id3v2/TagRegions.h"
#include "platform/Result.h"

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
  /// The name (without folder) of the loaded file; empty when none is.
  virtual std::string loadedName() const = 0;
  /// Takes the fields on screen as the remembered values, without saving.
  virtual void remember() = 0;

  virtual int entryCount() const = 0;
  /// The name (bytes) of entry `index`.
  virtual std::string entryName(int index) const = 0;
  /// Gives the file list the focus and makes entry `index` its current one.
  virtual void moveToEntry(int index) = 0;
  /// Loads the current entry as a double click does.
  virtual LoadResult loadCurrentEntry() = 0;

  /// What "Save" of the fields on screen would change in the loaded file,
  /// without writing anything.
  virtual platform::Result<id3v2::TagChange> planSave() = 0;
  /// Writes the planned changes as one batch named `command` (of the
  /// history, when it is on), telling `report` after each file; stops early
  /// once the user pressed Cancel. Fails when the batch could not be
  /// recorded: then nothing was written.
  virtual platform::Result<std::vector<history::FileResult>> writeBatch(
      const std::string& command, const std::vector<id3v2::TagChange>& changes,
      const history::FileReport& report) = 0;
  /// Asks `question` with Yes and No, No the default; true for Yes.
  virtual bool confirm(const std::string& question) = 0;
  /// True once the user pressed Cancel beside the progress bar.
  virtual bool stopRequested() = 0;

  /// Shows or hides the "Please Wait!" note and the Cancel button.
  virtual void showNote(bool visible) = 0;
  virtual void setProgressMaximum(int maximum) = 0;
  virtual void setProgressValue(int value) = 0;
};

/// A file a batch left as it was, and why.
struct BatchFailure {
  std::string name;
  std::string reason;

  bool operator==(const BatchFailure&) const = default;
};

/// What a batch did with the entries of the list.
struct BatchReport {
  int entries = 0;
  int saved = 0;
  /// Entries that did not load as MP3 files: nothing was saved for them.
  int skipped = 0;
  /// Entries whose save was refused or failed.
  int failed = 0;
  /// The first failures with their reasons, in list order.
  std::vector<BatchFailure> failures;
  /// The user pressed Cancel: the files saved until then stay saved.
  bool stopped = false;
  /// The user answered No to the question: nothing was touched.
  bool declined = false;

  bool operator==(const BatchReport&) const = default;
};

/// How many failures a report names; the rest are counted.
inline constexpr std::size_t kNamedFailures = 5;

/// The note shown while a batch runs.
inline constexpr const char* kPleaseWait = "\r\n\r\nPlease Wait!";

/// "Auto Info": asks first, naming the number of MP3 entries and the values
/// that will be written (those on screen); on Yes saves the file on screen
/// (which refreshes `remembered`), then gives every MP3 entry of the list
/// the remembered values, keeping its own titles and track, and saves them
/// all as one batch.
BatchReport autoInfo(TagEditorHost& host, const RememberedValues& remembered);

/// "Number Tracks": asks first ("Number 29 files 01-29?"); on Yes saves the
/// file on screen, then loads every MP3 entry and saves it with its track
/// number ("01", "02", ...) and its other tags as read, all as one batch. The number is the entry's
/// place among the names ending in ".mp3" in any letter case, so entries of other kinds take no
/// number.
BatchReport numberTracks(TagEditorHost& host);

/// The question Auto Info asks before it writes `fields` into `count` files.
std::string autoInfoQuestion(const TagFields& fields, int count);
/// The question Number Tracks asks before it numbers `count` files.
std::string numberTracksQuestion(int count);

/// What to tell the user once after a batch: how many entries were skipped,
/// how many could not be saved (the first few by name with the reason), and
/// whether Cancel stopped it; nothing when every entry was saved.
std::optional<std::string> batchReportText(const BatchReport& report);

}  // namespace brindle::tageditor
