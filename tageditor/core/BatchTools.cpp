#include "tageditor/core/BatchTools.h"

#include <array>
#include <functional>

namespace brindle::tageditor {

namespace {

/// One pass: changes the fields of the loaded entry before its save;
/// `number` is the entry's place among the MP3 names.
using PassEdit = std::function<void(TagFields& fields, int number)>;

int mp3EntryCount(const TagEditorHost& host) {
  int count = 0;
  for (int index = 0; index < host.entryCount(); ++index) {
    if (hasMp3Ending(host.entryName(index))) ++count;
  }
  return count;
}

void noteFailure(BatchReport& report, const std::string& name, const std::string& reason) {
  ++report.failed;
  if (report.failures.size() < kNamedFailures) report.failures.push_back({name, reason});
}

/// The walk both tools share: every entry is loaded and its change planned,
/// then all changes are written as one batch. A pass whose entry did not
/// load as an MP3 file plans nothing: the loaded file would still be the
/// previous entry, and the fields meant for this entry would go into it.
BatchReport walkList(TagEditorHost& host, const std::string& command, const PassEdit& edit) {
  BatchReport report;
  host.showNote(true);
  const int count = host.entryCount();
  // The values on screen become the remembered ones. The file they belong to
  // is written with the rest of the batch, from those values, so that one
  // Undo takes back every file; one that is not listed is saved on its own
  // first. After the folder changed no file is loaded: no file of the old
  // folder receives the values typed for this one.
  const std::string loaded = host.loadedName();
  bool loadedIsListed = false;
  for (int index = 0; index < count && !loaded.empty(); ++index) {
    loadedIsListed = loadedIsListed || host.entryName(index) == loaded;
  }
  const TagFields onScreen = host.fields();
  if (!loaded.empty() && !loadedIsListed) {
    (void)host.save();
  } else {
    host.remember();
  }
  report.entries = count;
  if (count >= 1) {
    host.moveToEntry(0);
    host.setProgressMaximum(count);
  }
  std::vector<id3v2::TagChange> changes;
  std::vector<std::string> names;
  int mp3Number = 0;
  for (int index = 0; index < count; ++index) {
    if (host.stopRequested()) {
      report.stopped = true;
      break;
    }
    const std::string name = host.entryName(index);
    if (hasMp3Ending(name)) ++mp3Number;
    if (host.loadCurrentEntry() == LoadResult::Mp3) {
      TagFields fields = loadedIsListed && name == loaded ? onScreen : host.fields();
      edit(fields, mp3Number);
      host.setFields(fields);
      auto planned = host.planSave();
      if (planned) {
        changes.push_back(std::move(planned.value()));
        names.push_back(name);
      } else {
        noteFailure(report, name, planned.error().message);
      }
    } else {
      ++report.skipped;
    }
    host.setProgressValue(index + 1);
    if (index + 1 < count) host.moveToEntry(index + 1);
  }
  // Stopped while the files were only read: nothing is written.
  if (!report.stopped && !changes.empty()) {
    host.setProgressMaximum(static_cast<int>(changes.size()));
    host.setProgressValue(0);
    std::size_t done = 0;
    auto written = host.writeBatch(command, changes, [&](const history::FileResult& result) {
      if (result.changed) {
        ++report.saved;
      } else {
        noteFailure(report, names.at(done), result.reason);
      }
      host.setProgressValue(static_cast<int>(++done));
    });
    if (!written) {
      for (const std::string& name : names) noteFailure(report, name, written.error().message);
    } else if (written.value().size() < changes.size()) {
      report.stopped = true;
    }
  }
  host.setProgressValue(0);
  host.showNote(false);
  return report;
}

std::string fileCountText(int count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

/// Asks the question of a tool unless there is no MP3 entry to change;
/// false when the user answered No.
bool askFirst(TagEditorHost& host, const std::string& question, BatchReport& report) {
  if (mp3EntryCount(host) == 0 || host.confirm(question)) return true;
  report.declined = true;
  return false;
}

}  // namespace

std::string autoInfoQuestion(const TagFields& fields, int count) {
  // The version 2 values as the tag editor shows them, then the version 1
  // values, marked so.
  static constexpr std::array kOrder{
      kV2Artist,    kV2Album, kV2Year,      kV2Genre,  kV2Comment, kV2Composer, kV2OriginalArtist,
      kV2Copyright, kV2Url,   kV2EncodedBy, kV1Artist, kV1Album,   kV1Year,     kV1Comment};
  std::string values;
  for (const int index : kOrder) {
    if (!values.empty()) values += ", ";
    const std::string& value = fields.txt[static_cast<std::size_t>(index)];
    values += std::string(index <= kV1Comment ? "ID3v1 " : "") + fieldSpec(index).caption + " " +
              (value.empty() ? std::string("(empty)") : value);
  }
  return "Write " + values + " to " + fileCountText(count) + "?";
}

std::string numberTracksQuestion(int count) {
  return "Number " + fileCountText(count) + " " + trackText(1) + "-" + trackText(count) + "?";
}

BatchReport autoInfo(TagEditorHost& host, const RememberedValues& remembered) {
  BatchReport report;
  // The values on screen are those the first Save remembers and the batch
  // writes.
  if (!askFirst(host, autoInfoQuestion(host.fields(), mp3EntryCount(host)), report)) return report;
  return walkList(host, "Auto Info", [&remembered](TagFields& fields, int) {
    // The remembered values, then the genre entry the version 2 genre names
    // (an empty genre names none and leaves the file's own).
    usePrevious(fields, remembered);
  });
}

BatchReport numberTracks(TagEditorHost& host) {
  BatchReport report;
  if (!askFirst(host, numberTracksQuestion(mp3EntryCount(host)), report)) return report;
  return walkList(host, "Number Tracks",
                  [](TagFields& fields, int number) { fields.txt[kV2Track] = trackText(number); });
}

std::optional<std::string> batchReportText(const BatchReport& report) {
  if (report.skipped == 0 && report.failed == 0 && !report.stopped) return std::nullopt;
  std::string text;
  if (report.skipped > 0) {
    text = "Skipped " + fileCountText(report.skipped) + " of " + std::to_string(report.entries) +
           ": only files ending in .mp3 or .MP3 are loaded and saved.";
  }
  if (report.failed > 0) {
    if (!text.empty()) text += "\n";
    text += fileCountText(report.failed) + " could not be saved";
    if (report.failures.empty()) {
      text += ".";
    } else {
      text += ":";
      for (const BatchFailure& failure : report.failures) {
        text += "\n" + failure.name + ": " + failure.reason;
      }
      const int unnamed = report.failed - static_cast<int>(report.failures.size());
      if (unnamed > 0) text += "\n... and " + std::to_string(unnamed) + " more.";
    }
  }
  if (report.stopped) {
    if (!text.empty()) text += "\n";
    text +=
        "Stopped: " + fileCountText(report.saved) + " saved; the others were left as they were.";
  }
  return text;
}

}  // namespace brindle::tageditor
