// Builds the listings from the list's names (as the system's bytes, never
// re-encoded) and sends them to the printer or a text file through the
// platform.
#include "app/commands/FileListOutput.h"

#include <brindle/Version.h>

namespace brindle::app {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

constexpr std::size_t kRuleLength = 59;
constexpr int kPrintFontPoints = 11;

/// Sends the lines to the printer as one document. The printer dialog's
/// outcome does not matter: the listing is printed also when it is
/// cancelled.
platform::Status printLines(platform::Printer& printer, const std::vector<std::string>& lines) {
  (void)printer.choosePrinter();
  if (platform::Status status = printer.setFontSize(kPrintFontPoints); !status) return status;
  for (const std::string& line : lines) {
    if (platform::Status status = printer.printLine(line); !status) return status;
  }
  return printer.endDocument();
}

void outputToFile(platform::Platform& platform, ui::FileListHost& list, platform::WriteMode mode) {
  const bool append = mode == platform::WriteMode::Append;
  if (append) platform.dialogs.message("Files will be appennded to the end of the file!");

  platform::SaveAsRequest request;
  request.initialDirectory = list.pathBoxText();
  request.title = listOutputTitle();
  request.filter = "*.txt";
  request.defaultExtension = "txt";
  // Appending keeps what the file holds, so there is nothing to confirm.
  request.confirmOverwrite = !append;
  const std::string target = platform.dialogs.saveAs(request);

  // The questions come before the target is opened, also after a cancelled
  // dialog; only the writing needs a target.
  std::vector<std::string> lines;
  if (platform.dialogs.message("Format for Cover?", Buttons::YesNo, Icon::Information) ==
      Answer::Yes) {
    platform::InputRequest title;
    title.prompt = "Title for CD";
    title.title = "Enter Title";
    lines = coverListing(platform.dialogs.input(title), listedNames(list));
  } else {
    lines = plainListing(list.currentDirectory(), listedNames(list));
  }
  if (target.empty()) return;
  if (!platform.fileSystem.writeFile(target, textFileBytes(lines), mode)) return;

  platform.dialogs.message("Files Printed To:  " + target);
  list.rereadFileList();
}

}  // namespace

std::string listOutputTitle() {
  return std::string(kProductName) + " V" + kVersionText;
}

std::vector<std::string> listedNames(const ui::FileListHost& list) {
  std::vector<std::string> names;
  const int count = list.entryCount();
  names.reserve(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) names.push_back(list.entryName(index));
  return names;
}

std::vector<std::string> plainListing(const std::string& directory,
                                      const std::vector<std::string>& names) {
  std::vector<std::string> lines;
  lines.reserve(names.size() + 5);
  lines.push_back(listOutputTitle() + " Files List");
  lines.push_back("PATH: " + directory);
  lines.push_back(" ");
  lines.insert(lines.end(), names.begin(), names.end());
  // The entries run to the entry count itself, one past the last name.
  lines.emplace_back();
  lines.push_back(std::string(kRuleLength, '_'));
  return lines;
}

std::vector<std::string> coverListing(const std::string& title,
                                      const std::vector<std::string>& names) {
  std::vector<std::string> lines;
  lines.reserve(names.size() + 3);
  lines.push_back(title);
  lines.push_back(" ");
  for (const std::string& name : names) lines.push_back(withoutMp3(name));
  lines.emplace_back();
  return lines;
}

std::string withoutMp3(const std::string& name) {
  static const std::string kEnding = ".mp3";
  std::string result;
  result.reserve(name.size());
  std::size_t from = 0;
  for (std::size_t found = name.find(kEnding); found != std::string::npos;
       found = name.find(kEnding, from)) {
    result.append(name, from, found - from);
    from = found + kEnding.size();
  }
  result.append(name, from, std::string::npos);
  return result;
}

std::string textFileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

void printFileList(platform::Platform& platform, ui::FileListHost& list) {
  platform::MessageRequest question;
  question.text = "Continue Printing " + std::to_string(list.entryCount()) + " Files?";
  question.buttons = Buttons::YesNo;
  question.icon = Icon::Critical;
  question.title = "Print Files!";
  question.defaultButton = platform::DefaultButton::Second;
  question.helpFile = "DEMO.HLP";
  question.helpContext = 1000;
  if (platform.dialogs.message(question) != Answer::Yes) return;

  if (!printLines(platform.printer, plainListing(list.currentDirectory(), listedNames(list)))) {
    platform.dialogs.message("Printing Aborted!!");
    return;
  }
  platform.dialogs.message("Files Printed To Printer:");
  list.rereadFileList();
}

void writeFileListToFile(platform::Platform& platform, ui::FileListHost& list) {
  outputToFile(platform, list, platform::WriteMode::Replace);
}

void appendFileListToFile(platform::Platform& platform, ui::FileListHost& list) {
  outputToFile(platform, list, platform::WriteMode::Append);
}

}  // namespace brindle::app
