#include "tageditor/core/BatchTools.h"

#include <functional>

namespace brindle::tageditor {

namespace {

/// One pass: changes the fields of the loaded entry before its Save;
/// `number` is the entry's place among the MP3 names.
using PassEdit = std::function<void(TagFields& fields, int number)>;

/// The walk both tools share. A pass whose entry did not load as an MP3 file
/// saves nothing: the loaded file would still be the previous entry, and the
/// fields meant for this entry would go into it.
BatchReport walkList(TagEditorHost& host, const PassEdit& edit) {
  BatchReport report;
  host.showNote(true);
  // The file on screen first, so that its values are the remembered ones.
  // After the folder changed no file is loaded: the values typed for this
  // folder are remembered, and no file of the old folder receives them.
  if (host.hasLoadedFile()) {
    (void)host.save();
  } else {
    host.remember();
  }
  const int count = host.entryCount();
  report.entries = count;
  if (count >= 1) {
    host.moveToEntry(0);
    host.setProgressMaximum(count);
  }
  int mp3Number = 0;
  for (int index = 0; index < count; ++index) {
    if (hasMp3Ending(host.entryName(index))) ++mp3Number;
    if (host.loadCurrentEntry() == LoadResult::Mp3) {
      TagFields fields = host.fields();
      edit(fields, mp3Number);
      host.setFields(fields);
      if (host.save() == SaveResult::Saved) {
        ++report.saved;
      } else {
        ++report.failed;
      }
    } else {
      ++report.skipped;
    }
    host.setProgressValue(index + 1);
    if (index + 1 < count) host.moveToEntry(index + 1);
  }
  host.setProgressValue(0);
  host.showNote(false);
  return report;
}

std::string fileCountText(int count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

}  // namespace

BatchReport autoInfo(TagEditorHost& host, const RememberedValues& remembered) {
  return walkList(host, [&remembered](TagFields& fields, int) {
    // The remembered values, then the genre entry the version 2 genre names
    // (an empty genre names none and leaves the file's own).
    usePrevious(fields, remembered);
  });
}

BatchReport numberTracks(TagEditorHost& host) {
  return walkList(host,
                  [](TagFields& fields, int number) { fields.txt[kV2Track] = trackText(number); });
}

std::optional<std::string> batchReportText(const BatchReport& report) {
  if (report.skipped == 0 && report.failed == 0) return std::nullopt;
  std::string text;
  if (report.skipped > 0) {
    text = "Skipped " + fileCountText(report.skipped) + " of " + std::to_string(report.entries) +
           ": only files ending in .mp3 or .MP3 are loaded and saved.";
  }
  if (report.failed > 0) {
    if (!text.empty()) text += "\n";
    text += fileCountText(report.failed) + " could not be saved.";
  }
  return text;
}

}  // namespace brindle::tageditor
