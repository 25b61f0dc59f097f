// Loading a file of the tag editor's list and saving the fields into the
// loaded file, through the inspection component: what a double click and
// "Save" do, apart from the widgets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/History.h"
#include "inspect/ID3.h"
#include "platform/Dialogs.h"
#include "platform/Result.h"
#include "tageditor/core/TagFields.h"

namespace brindle::tageditor {

/// What a double click on an entry did.
enum class LoadResult {
  /// The tags were read: the fields and the MP3 readout.
  Mp3,
  /// The WAV readout only; no tag was read and the loaded file is unchanged.
  Wav,
  /// Another ending: "Select *.mp3 or *.wav file!!!" was shown.
  Refused,
};

/// What a Save did.
enum class SaveResult {
  /// Both tags were written.
  Saved,
  /// Stopped while the fields went to the component; nothing was written.
  Stopped,
  /// The component refused (no loaded file) or reported an error.
  Failed,
};

struct Loaded {
  LoadResult result = LoadResult::Refused;
  /// The fields read from an MP3 file.
  std::optional<TagFields> fields;
  /// The readout lines of an MP3 or WAV file.
  std::vector<std::string> readout;
  /// The front cover of an MP3 file's tag; nothing when it has none.
  std::optional<id3v2::Picture> cover;
};

/// Hosts the component for one tag editor window: shows its Error event as
/// "Error: " and the number with the reason below, and keeps the remembered
/// values up to date.
class TagSession {
 public:
  /// `remembered` is the store shared by every window of the run.
  TagSession(inspect::ID3& component, platform::Dialogs& dialogs, RememberedValues& remembered);
  TagSession(const TagSession&) = delete;
  TagSession& operator=(const TagSession&) = delete;

  /// Loads entry `name` of `directory` as a double click does: the tags and
  /// MP3 readout for ".mp3"/".MP3", the WAV readout for ".wav"/".WAV", the
  /// message "Select *.mp3 or *.wav file!!!" for anything else.
  Loaded load(const std::string& directory, const std::string& name);

  /// "Save": the fields into the component in their order, SaveID3, then the
  /// remembered values replaced by the fields. Never waits: a Save that
  /// stops before SaveID3 or whose done flag is not set reports so. The done
  /// flag is set back to 0 for the next Save.
  SaveResult save(const TagFields& fields);

  /// Records each Save as a batch of `history` (none, the default: each
  /// Save writes its file flushed on its own). Both must outlive the session.
  void setHistory(history::History* history, platform::FileSystem& fileSystem) {
    m_history = history;
    m_fileSystem = &fileSystem;
  }

  /// What "Save" of `fields` would change in the loaded file, without
  /// writing or showing anything: the fields go to the component and are
  /// remembered as Save does, and the component plans its save.
  platform::Result<id3v2::TagChange> plan(const TagFields& fields);

  /// A change of the front cover the next Save writes with the fields
  /// (nothing: the pictures stay as read). Loading a file forgets it, and so
  /// does a Save that wrote it.
  void changeCover(std::optional<id3v2::CoverEdit> edit) {
    m_component.CoverChange = std::move(edit);
  }
  bool coverChanged() const { return m_component.CoverChange.has_value(); }

  /// True while a file is loaded: Save has a file to write into.
  bool hasLoadedFile() const { return !m_component.FileName.empty(); }
  /// The path of the loaded file; empty when none is.
  const std::string& loadedPath() const { return m_component.FileName; }
  /// Forgets the loaded file, so that fields meant for another folder's
  /// files can never be saved into it.
  void forgetLoadedFile() { m_component.FileName.clear(); }
  /// What Save does to the remembered values, without saving.
  void rememberOnly(const TagFields& fields) { m_remembered.remember(fields); }

  inspect::ID3& component() { return m_component; }
  const RememberedValues& remembered() const { return m_remembered; }

 private:
  inspect::ID3& m_component;
  platform::Dialogs& m_dialogs;
  RememberedValues& m_remembered;
  history::History* m_history = nullptr;
  platform::FileSystem* m_fileSystem = nullptr;

  /// Save as a recorded batch of one file.
  SaveResult saveRecorded(const TagFields& fields);
};

/// The message of the component's Error event: "Error: " and the code, then
/// on a second line the reason (which names the system's error where there
/// is one).
std::string errorText(std::int16_t code, const platform::Error& reason);

}  // namespace brindle::tageditor
