#include "tageditor/core/TagSession.h"

#include "history/TagBatch.h"
#include "id3v2/FileRewrite.h"
#include "inspect/Readout.h"
#include "platform/Platform.h"

namespace brindle::tageditor {

std::string errorText(std::int16_t code, const platform::Error& reason) {
  std::string text = "Error: " + std::to_string(code);
  if (!reason.message.empty()) text += "\n" + reason.message;
  return text;
}

TagSession::TagSession(inspect::ID3& component, platform::Dialogs& dialogs,
                       RememberedValues& remembered)
    : m_component(component), m_dialogs(dialogs), m_remembered(remembered) {
  m_component.setErrorHandler([this](std::int16_t code, const platform::Error& reason) {
    m_dialogs.message(errorText(code, reason));
  });
}

Loaded TagSession::load(const std::string& directory, const std::string& name) {
  Loaded loaded;
  const std::string path = platform::entryPath(directory, name);
  m_component.CoverChange.reset();
  switch (inspect::readoutKindFor(name)) {
    case inspect::ReadoutKind::Mp3:
      m_component.ReadID3(path);
      loaded.result = LoadResult::Mp3;
      loaded.fields = fieldsFromComponent(m_component);
      loaded.readout = inspect::mp3Readout(m_component);
      loaded.cover = m_component.readFrontCover();
      break;
    case inspect::ReadoutKind::Wav:
      // A file that cannot be read shows the zero values the component
      // leaves; the readout has no message of its own.
      (void)m_component.ReadWAV(path);
      loaded.result = LoadResult::Wav;
      loaded.readout = inspect::wavReadout(m_component);
      break;
    case inspect::ReadoutKind::None:
      m_dialogs.message(inspect::kSelectMp3OrWav);
      loaded.result = LoadResult::Refused;
      break;
  }
  return loaded;
}

platform::Result<id3v2::TagChange> TagSession::plan(const TagFields& fields) {
  if (!fieldsToComponent(fields, m_component)) {
    return platform::Error{0, "the fields could not be taken over"};
  }
  m_remembered.remember(fields);
  return m_component.planSave();
}

SaveResult TagSession::save(const TagFields& fields) {
  if (m_history && m_fileSystem && hasLoadedFile()) return saveRecorded(fields);
  if (!fieldsToComponent(fields, m_component)) return SaveResult::Stopped;
  // A failure has already been shown through the Error event (or, without a
  // loaded file, as the component's own message).
  const platform::Status saved = m_component.SaveID3();
  m_remembered.remember(fields);
  // The component sets the flag as its last step; it is taken back here so
  // that the next Save starts from 0. A flag left at 0 means the save did
  // not end normally, and nobody waits for it.
  const bool done = m_component.ID3SaveDone == 1;
  m_component.ID3SaveDone = 0;
  if (!done || !saved) return SaveResult::Failed;
  m_component.CoverChange.reset();
  return SaveResult::Saved;
}

SaveResult TagSession::saveRecorded(const TagFields& fields) {
  if (!fieldsToComponent(fields, m_component)) return SaveResult::Stopped;
  // A save of this folder killed half way is finished first, as SaveID3
  // does.
  id3v2::finishAbandonedSavesBeside(*m_fileSystem, m_component.FileName);
  auto planned = m_component.planSave();
  m_remembered.remember(fields);
  // A failure shows the same box as the component's Error event.
  auto failed = [this](const std::string& reason) {
    m_dialogs.message(errorText(inspect::ID3::kWriteFailed, platform::Error{0, reason}));
    return SaveResult::Failed;
  };
  if (!planned) return failed(planned.error().message);
  auto written = history::runTagBatch(m_history, *m_fileSystem, "Save", {planned.value()});
  if (!written) return failed(written.error().message);
  if (written.value().empty() || !written.value().front().changed) {
    return failed(written.value().empty() ? std::string() : written.value().front().reason);
  }
  m_component.CoverChange.reset();
  return SaveResult::Saved;
}

}  // namespace brindle::tageditor
