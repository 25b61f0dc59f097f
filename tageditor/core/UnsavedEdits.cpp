#include "tageditor/core/UnsavedEdits.h"

#include "platform/text/FileNameText.h"

namespace brindle::tageditor {

void UnsavedEdits::loaded(std::string path, const TagFields& fields) {
  m_path = std::move(path);
  m_baseline = fields;
  m_coverChanged = false;
}

void UnsavedEdits::forget() {
  m_path.clear();
  m_baseline.reset();
  m_coverChanged = false;
}

bool UnsavedEdits::changed(const TagFields& current) const {
  return m_baseline && (m_coverChanged || !(*m_baseline == current));
}

std::string UnsavedEdits::fileName() const {
  const std::size_t slash = m_path.find_last_of('/');
  return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string unsavedQuestion(const std::string& fileName) {
  return "Save changes to " + platform::fileNameToUtf8(fileName) + "?";
}

std::string savedNote(const std::string& fileName) {
  return "Saved " + platform::fileNameToUtf8(fileName);
}

bool mayLeaveEdits(platform::Dialogs& dialogs, const UnsavedEdits& edits, const TagFields& current,
                   const std::function<SaveResult()>& save) {
  if (!edits.changed(current)) return true;
  platform::MessageRequest question;
  question.text = unsavedQuestion(edits.fileName());
  question.buttons = platform::Buttons::SaveDiscardCancel;
  switch (dialogs.message(question)) {
    case platform::Answer::Save:
      // A failed save has shown its error; the edits stay on screen.
      return save() == SaveResult::Saved;
    case platform::Answer::Discard:
      return true;
    default:
      return false;
  }
}

}  // namespace brindle::tageditor
