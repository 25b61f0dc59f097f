// The rename commands: prompts and questions first, then the walk or the
// single rename.
#include "rename/core/RenameCommands.h"

#include <algorithm>

#include "history/RecordedRename.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"
#include "platform/text/FileNameText.h"
#include "rename/core/BatchPreview.h"
#include "rename/core/NameRules.h"
#include "rename/core/NumberEntry.h"

namespace brindle::rename {

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

constexpr const char* kCountPrompt = "Enter Number of Characters to Remove";
/// What a decoder shows in place of bytes that are not UTF-8 (U+FFFD).
constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";

std::string ask(platform::Dialogs& dialogs, const std::string& prompt) {
  platform::InputRequest request;
  request.prompt = prompt;
  return dialogs.input(request);
}

/// Asks the command's question with the plan's list of renames below it;
/// true when the answer is `yes`.
bool confirmPlan(platform::Dialogs& dialogs, const BatchPlan& plan, std::string text,
                 Buttons buttons, Icon icon, std::string title = {}) {
  platform::MessageRequest request;
  request.text = std::move(text);
  request.buttons = buttons;
  request.icon = icon;
  request.title = std::move(title);
  request.details = previewText(plan);
  const Answer yes = buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
  return dialogs.message(std::move(request)) == yes;
}

/// The walk of a plan the user was shown, recorded under the command's name.
/// When the history cannot record it nothing is renamed, and the user is
/// told why.
std::vector<EntryResult> recordedWalk(RenameServices services, ui::FileListHost& list,
                                      const BatchPlan& plan, Progress progress,
                                      const char* command) {
  std::vector<EntryResult> results = runPlannedBatch(list, services.fileSystem, plan, progress, {},
                                                     {services.history, command, nullptr});
  for (const EntryResult& result : results) {
    if (!result.reason.starts_with(kNotRecorded)) continue;
    services.dialogs.message("No file was renamed: " + result.reason, Buttons::Ok, Icon::Critical,
                             command);
    break;
  }
  return results;
}

/// The character edits: the confirmation with the list of renames; OK runs
/// the walk of that same plan.
void confirmAndRunCharacterEdit(RenameServices services, ui::FileListHost& list,
                                const NameRule& rule, const char* command) {
  const BatchPlan plan = planBatch(list, services.fileSystem, rule);
  if (!confirmPlan(services.dialogs, plan, "Rename Files Now?", Buttons::OkCancel,
                   Icon::Critical)) {
    return;
  }
  recordedWalk(services, list, plan, Progress::Shown, command);
}

/// `directory` followed by one separator.
std::string withSeparator(const std::string& directory) {
  return platform::entryPath(directory, {});
}

/// Whether a typed text still holds a character shown for undecodable bytes
/// of `original`: the bytes it stood for are unknown.
bool standsForUnknownBytes(const std::string& typed, const std::string& original) {
  return typed.find(kReplacementCharacter) != std::string::npos &&
         !platform::utf8::isValid(original);
}

}  // namespace

void convertCase(RenameServices services, ui::FileListHost& list, CaseKind kind) {
  struct Question {
    const char* text;
    const char* title;
  };
  const Question question =
      kind == CaseKind::Lower
          ? Question{"Rename all Selected Files To Lower Case?", "Rename All Files"}
      : kind == CaseKind::Upper
          ? Question{"RENAME ALL SELECTED FILES TO UPPER CASE?", "Rename All Selected Files"}
          : Question{"Rename All Selected To Title Case?", "Convert All Selected Files"};
  const BatchPlan plan = planBatch(list, services.fileSystem, caseRule(kind));
  if (!confirmPlan(services.dialogs, plan, question.text, Buttons::YesNo, Icon::None,
                   question.title)) {
    return;
  }
  const char* command = kind == CaseKind::Lower   ? "Convert All to Lowercase"
                        : kind == CaseKind::Upper ? "Convert All to Uppercase"
                                                  : "Convert to Title Case";
  recordedWalk(services, list, plan, Progress::Shown, command);
}

void removeCharacters(RenameServices services, ui::FileListHost& list) {
  std::string find = ask(services.dialogs, "Enter Character to Replace");
  std::string replacement = ask(services.dialogs, "enter New Character");
  confirmAndRunCharacterEdit(services, list, replaceRule(std::move(find), std::move(replacement)),
                             "Remove Characters From Filenames");
}

void removeLeftMostCharacters(RenameServices services, ui::FileListHost& list,
                              CharacterEditNumbers& numbers) {
  numbers.count = enteredOr(ask(services.dialogs, kCountPrompt), numbers.count);
  confirmAndRunCharacterEdit(services, list, removeLeftRule(numbers.count), "Remove Left Most");
}

void removeRightMostCharacters(RenameServices services, ui::FileListHost& list,
                               CharacterEditNumbers& numbers) {
  numbers.count = enteredOr(ask(services.dialogs, kCountPrompt), numbers.count);
  confirmAndRunCharacterEdit(services, list, removeRightRule(numbers.count), "Remove Right Most");
}

void removeMiddleMostCharacters(RenameServices services, ui::FileListHost& list,
                                CharacterEditNumbers& numbers) {
  numbers = {};
  numbers.start =
      enteredOr(ask(services.dialogs, "Enter Starting Place From Left to Right"), numbers.start);
  numbers.count = enteredOr(ask(services.dialogs, kCountPrompt), numbers.count);
  confirmAndRunCharacterEdit(services, list, removeMiddleRule(numbers.start, numbers.count),
                             "Remove Middle Most");
}

void changeExtensions(RenameServices services, ui::FileListHost& list) {
  std::string extension =
      ask(services.dialogs,
          "Enter Extension to Rename all Selected Files To.  Don't Use the (.)period.");
  switch (checkExtension(extension)) {
    case ExtensionAnswer::Empty:
    case ExtensionAnswer::WrongLength:
      return;
    case ExtensionAnswer::LeadingPeriod:
      services.dialogs.message("No period needed!");
      return;
    case ExtensionAnswer::Usable:
      break;
  }
  const BatchPlan plan = planBatch(list, services.fileSystem,
                                   extensionRule(list.currentDirectory(), std::move(extension)));
  if (!confirmPlan(services.dialogs, plan, "RENAME ALL FILES?", Buttons::YesNo, Icon::None,
                   "Rename All Selected File Extensions")) {
    return;
  }
  recordedWalk(services, list, plan, Progress::Hidden, "Rename All Extension(s)");
}

std::optional<std::string> typedTargetPath(const std::string& directory, const std::string& oldName,
                                           const std::string& answer) {
  const std::string oldPath = platform::entryPath(directory, oldName);
  if (answer == platform::fileNameToUtf8(oldPath)) return oldPath;
  std::string target;
  const std::string shownDirectory = platform::fileNameToUtf8(withSeparator(directory));
  if (answer.starts_with(shownDirectory)) {
    // The folder part as shown stands for the folder's own bytes.
    target = withSeparator(directory) + answer.substr(shownDirectory.size());
  } else if (answer.starts_with('/')) {
    target = answer;
  } else {
    target = platform::entryPath(directory, answer);
  }
  if (standsForUnknownBytes(target, oldPath)) return std::nullopt;
  return target;
}

void renameSingleFile(RenameServices services, ui::FileListHost& list) {
  const std::string directory = list.currentDirectory();
  const std::string name = list.currentName();
  const std::string oldPath = platform::entryPath(directory, name);
  if (name.empty()) {
    services.dialogs.message("Rename Aborted!");
    return;
  }
  if (services.dialogs.message("Rename Now\n\r" + platform::fileNameToUtf8(oldPath), Buttons::YesNo,
                               Icon::None, "Rename") != Answer::Yes) {
    services.dialogs.message("Rename Aborted!");
    return;
  }
  platform::InputRequest request;
  request.prompt = "Enter New Name For:  " + platform::fileNameToUtf8(name);
  request.title = "Rename File";
  request.defaultText = platform::fileNameToUtf8(oldPath);
  const std::string answer = services.dialogs.input(request);
  // Cancel (or an emptied box) renames nothing, so nothing is reported.
  if (answer.empty()) return;

  // Errors are ignored: the report below is the only feedback.
  if (std::optional<std::string> target = typedTargetPath(directory, name, answer)) {
    (void)history::recordedRename(services.history, services.fileSystem, "Rename Single File",
                                  oldPath, *target);
  }
  list.rereadFileList();
  services.dialogs.message("Rename Complete:\r\n" + platform::fileNameToUtf8(oldPath) +
                           "\n\rTO:  " + answer);
}

NameBoxOutcome renameFromNameBox(RenameServices services, ui::FileListHost& list,
                                 const std::string& typedName) {
  const std::vector<bool> selected = list.selectionFlags();
  if (std::find(selected.begin(), selected.end(), true) == selected.end()) {
    return NameBoxOutcome::NothingSelected;
  }
  if (typedName.find_first_not_of(' ') == std::string::npos) return NameBoxOutcome::Blank;
  if (!isPlainFileName(typedName)) {
    // "/" in the name would move the file into another folder; the batch
    // renames refuse such a name too.
    services.dialogs.message("The file was not renamed:\r\n" + platform::fileNameToUtf8(typedName) +
                                 "\r\nnot a plain file name",
                             Buttons::Ok, Icon::Critical);
    return NameBoxOutcome::NotPlainName;
  }

  const std::string directory = list.pathBoxText();
  const std::string oldName = list.currentName();
  const std::string oldPath = withSeparator(directory) + oldName;
  const std::string newPath = withSeparator(directory) + typedName;
  if (services.dialogs.message("Rename:\r\n" + platform::fileNameToUtf8(oldPath) + "\r\nTo:\r\n" +
                                   platform::fileNameToUtf8(newPath),
                               Buttons::YesNo) != Answer::Yes) {
    return NameBoxOutcome::Declined;
  }
  if (newPath == oldPath) {
    services.dialogs.message("Names must be different!");
    return NameBoxOutcome::SameName;
  }

  platform::Status status =
      standsForUnknownBytes(typedName, oldName)
          ? platform::Status(platform::Error{
                0, "The new name still shows characters that stand for bytes of the old name."})
          : history::recordedRename(services.history, services.fileSystem, "Save Edited", oldPath,
                                    newPath);
  list.rereadFileList();
  if (status) return NameBoxOutcome::Renamed;
  services.dialogs.message("The file was not renamed:\r\n" + platform::fileNameToUtf8(oldPath) +
                               "\r\n" + platform::fileNameToUtf8(status.error().message),
                           Buttons::Ok, Icon::Critical);
  return NameBoxOutcome::Failed;
}

NumberedResult renameNumbered(RenameServices services, ui::FileListHost& list,
                              const NumberingOptions& options, const std::string& startText) {
  NumberedResult result;
  const std::int64_t start = leadingNumber(startText);
  if (start < 0) {
    services.dialogs.message("Error, no numbers");
    return result;
  }
  if (start > kHighestNumber) {
    services.dialogs.message("Error, numbers go up to 32767");
    return result;
  }
  const BatchPlan plan =
      planBatch(list, services.fileSystem, numberingRule(options, static_cast<int>(start)));
  if (!confirmPlan(services.dialogs, plan, "RENAME ALL SELECTED FILES?", Buttons::YesNo, Icon::None,
                   "Rename All Selected Files")) {
    result.outcome = NumberedResult::Outcome::Declined;
    return result;
  }
  const std::vector<EntryResult> results =
      recordedWalk(services, list, plan, Progress::Hidden, "Rename All Files");
  result.outcome = NumberedResult::Outcome::Done;
  for (const EntryResult& entry : results) {
    if (entry.outcome != EntryResult::Outcome::Failed) continue;
    ++(entry.reason == kNumbersRunOut ? result.beyondHighest : result.failed);
  }
  return result;
}

void reportNumbered(platform::Dialogs& dialogs, const NumberedResult& result) {
  std::string text;
  if (result.beyondHighest > 0) {
    text += "Numbering stopped at 32767: " + std::to_string(result.beyondHighest) +
            " selected file(s) were not renamed.";
  }
  if (result.failed > 0) {
    if (!text.empty()) text += "\r\n";
    text += std::to_string(result.failed) +
            " file(s) could not be renamed: the new name is taken or not allowed.";
  }
  if (!text.empty()) dialogs.message(text, Buttons::Ok, Icon::Critical, "Rename Files");
}

}  // namespace brindle::rename
