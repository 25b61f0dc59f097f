// The tag editor's guard against losing edits: it keeps the fields as they
// were loaded or last saved, and before another file replaces them or the
// window closes, asks whether the changes are to be saved.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Dialogs.h"
#include "tageditor/core/TagFields.h"
#include "tageditor/core/TagSession.h"

namespace brindle::tageditor {

/// The fields of the loaded file as they were loaded or last saved.
class UnsavedEdits {
 public:
  /// The file at `path` is on screen with `fields`: nothing is unsaved.
  void loaded(std::string path, const TagFields& fields);
  /// The fields were written into the loaded file.
  void saved(const TagFields& fields) {
    m_baseline = fields;
    m_coverChanged = false;
  }
  /// The front cover was set or removed on screen (true), or that change
  /// was dropped (false); a pending change counts as an unsaved edit.
  void coverChanged(bool changed) { m_coverChanged = changed; }
  /// No file is loaded any more: nothing can be saved, nothing is asked.
  void forget();

  /// Whether `current` differs from the loaded or saved fields, or the
  /// cover was changed since.
  bool changed(const TagFields& current) const;
  /// The loaded file's name (without its folder), as system bytes.
  std::string fileName() const;

 private:
  std::string m_path;
  std::optional<TagFields> m_baseline;
  bool m_coverChanged = false;
};

/// The question before edits are left: "Save changes to NAME?".
std::string unsavedQuestion(const std::string& fileName);
/// The status line after a Save: "Saved NAME".
std::string savedNote(const std::string& fileName);

/// Whether the window may leave the fields `current` (load another file,
/// close): yes when nothing changed; otherwise the user is asked. Save runs
/// `save` and goes on only when it saved; Discard goes on; Cancel stays.
bool mayLeaveEdits(platform::Dialogs& dialogs, const UnsavedEdits& edits, const TagFields& current,
                   const std::function<SaveResult()>& save);

}  // namespace brindle::tageditor
