// brindle-cli rename: reads DIR's file list in the main window's order,
// marks the chosen entries selected and runs the window's batch walk with
// the rule of the chosen operation, after the checks its prompts make.
#include "cli/RenameCommand.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/ChangeHistory.h"
#include "cli/EscapedName.h"
#include "cli/StopOnSignals.h"
#include "platform/Utf8.h"
#include "platform/posix/PosixFileSystem.h"
#include "rename/core/BatchWalk.h"
#include "rename/core/NumberEntry.h"
#include "ui/core/FileListHost.h"
#include "ui/core/FileListing.h"

namespace brindle::cli {

namespace {

using rename::NameRule;
using Json = nlohmann::ordered_json;

struct RenameArguments {
  std::string directory;
  bool all = false;
  std::vector<std::string> selected;
  bool dryRun = false;
  bool json = false;
  // The operation's arguments: FIND REPL, K, S K or EXT, in order.
  std::string firstOperand;
  std::string secondOperand;
  // The options of the number operation.
  std::string commonName;
  bool unique = false;
  bool left = false;
  bool right = false;
  std::string divider;
  std::string start;
};

/// The plain files of one directory, as the main window lists them, with a
/// selection given on the command line.
class DirectoryBrowsing : public ui::FileListHost {
 public:
  DirectoryBrowsing(platform::FileSystem& fileSystem, std::string directory)
      : m_fileSystem(fileSystem), m_directory(std::move(directory)) {}

  platform::Status read() {
    platform::Result<std::vector<std::string>> names = ui::readFileList(m_fileSystem, m_directory);
    if (!names) return names.error();
    m_names = std::move(names.value());
    m_selected.assign(m_names.size(), false);
    return {};
  }
  void selectAll() { m_selected.assign(m_names.size(), true); }
  /// Selects the entry named `name`; false when the list has none.
  bool select(const std::string& name) {
    auto found = std::find(m_names.begin(), m_names.end(), name);
    if (found == m_names.end()) return false;
    m_selected[static_cast<std::size_t>(found - m_names.begin())] = true;
    return true;
  }

  std::string currentDirectory() const override { return m_directory; }
  std::string pathBoxText() const override { return m_directory; }
  int entryCount() const override { return static_cast<int>(m_names.size()); }
  std::string entryName(int index) const override {
    return m_names.at(static_cast<std::size_t>(index));
  }
  std::vector<bool> selectionFlags() const override { return m_selected; }
  std::string currentName() const override { return {}; }
  void setProgressMaximum(int) override {}
  void setProgressValue(int) override {}
  void rereadFileList() override { (void)read(); }

 private:
  platform::FileSystem& m_fileSystem;
  std::string m_directory;
  std::vector<std::string> m_names;
  std::vector<bool> m_selected;
};

/// A rule, or the exit status to end with (after a message on `err`).
struct RuleOrExit {
  NameRule rule;
  std::optional<ExitCode> exit;
};

RuleOrExit usage(std::ostream& err, const std::string& message) {
  err << "brindle-cli rename: " << message << '\n';
  return {{}, kUsage};
}

/// A count typed as the window's number prompts read it.
std::optional<int> typedCount(const std::string& text) {
  std::optional<std::int16_t> value = rename::parseNumberEntry(text);
  if (!value) return std::nullopt;
  return *value;
}

RuleOrExit numberingRule(const RenameArguments& arguments, std::ostream& err) {
  rename::NumberingOptions options;
  if (arguments.unique) {
    if (!arguments.left && !arguments.right) return usage(err, "--unique needs --left or --right");
    options.layout = arguments.left ? rename::NumberingOptions::Layout::UniqueLeft
                                    : rename::NumberingOptions::Layout::UniqueRight;
    options.divider = arguments.divider;
  } else {
    options.layout = rename::NumberingOptions::Layout::Common;
    options.commonName = arguments.commonName;
  }
  const std::int64_t start = rename::leadingNumber(arguments.start);
  if (start < 0) return usage(err, "Error, no numbers");
  if (start > rename::kHighestNumber) return usage(err, "Error, numbers go up to 32767");
  return {rename::numberingRule(std::move(options), static_cast<int>(start)), std::nullopt};
}

RuleOrExit ruleFor(const std::string& operation, const RenameArguments& arguments,
                   std::ostream& err) {
  if (operation == "lower") return {rename::caseRule(rename::CaseKind::Lower), std::nullopt};
  if (operation == "upper") return {rename::caseRule(rename::CaseKind::Upper), std::nullopt};
  if (operation == "title") return {rename::caseRule(rename::CaseKind::Title), std::nullopt};
  if (operation == "replace") {
    return {rename::replaceRule(arguments.firstOperand, arguments.secondOperand), std::nullopt};
  }
  if (operation == "number") return numberingRule(arguments, err);
  if (operation == "ext") {
    switch (rename::checkExtension(arguments.firstOperand)) {
      case rename::ExtensionAnswer::LeadingPeriod:
        return usage(err, "No period needed!");
      case rename::ExtensionAnswer::Empty:
      case rename::ExtensionAnswer::WrongLength:
        // As in the window: an extension of another length does nothing.
        err << "brindle-cli rename: the extension is not three characters long; nothing renamed\n";
        return {{}, kSuccess};
      case rename::ExtensionAnswer::Usable:
        return {rename::extensionRule(arguments.directory, arguments.firstOperand), std::nullopt};
    }
  }
  const std::optional<int> firstCount = typedCount(arguments.firstOperand);
  if (!firstCount)
    return usage(err, "not a number from -32768 to 32767: " + arguments.firstOperand);
  if (operation == "left") return {rename::removeLeftRule(*firstCount), std::nullopt};
  if (operation == "right") return {rename::removeRightRule(*firstCount), std::nullopt};
  const std::optional<int> secondCount = typedCount(arguments.secondOperand);
  if (!secondCount)
    return usage(err, "not a number from -32768 to 32767: " + arguments.secondOperand);
  return {rename::removeMiddleRule(*firstCount, *secondCount), std::nullopt};
}

/// Prints one entry of the report at once (a line, flushed), so that a run
/// that is interrupted leaves a true account of what it did.
class RenameReport {
 public:
  RenameReport(std::ostream& out, bool json) : m_out(out), m_json(json) {}

  void print(const rename::EntryResult& result) {
    m_failed = m_failed || result.outcome == rename::EntryResult::Outcome::Failed;
    if (m_json) {
      printJson(result);
    } else {
      printText(result);
    }
    m_out.flush();
  }

  ExitCode exitCode() const { return m_failed ? kFailed : kSuccess; }

 private:
  void printText(const rename::EntryResult& result) {
    using Outcome = rename::EntryResult::Outcome;
    m_out << escapedName(result.oldName);
    if (result.outcome == Outcome::Unchanged) {
      m_out << " (unchanged)\n";
      return;
    }
    m_out << " -> " << escapedName(result.newName);
    if (result.outcome == Outcome::Failed) {
      m_out << " (failed: " << escapedName(result.reason) << ")";
    }
    m_out << '\n';
  }

  /// A name as a JSON text; a name that is not UTF-8 also gets its exact
  /// bytes in hex under `key` + "Hex".
  static void putName(Json& object, const char* key, const std::string& name) {
    object[key] = name;
    if (platform::utf8::isValid(name)) return;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : name) {
      hex += kDigits[static_cast<unsigned char>(byte) >> 4];
      hex += kDigits[static_cast<unsigned char>(byte) & 0xF];
    }
    object[std::string(key) + "Hex"] = hex;
  }

  void printJson(const rename::EntryResult& result) {
    using Outcome = rename::EntryResult::Outcome;
    Json object = Json::object();
    putName(object, "old", result.oldName);
    putName(object, "new", result.outcome == Outcome::Unchanged ? result.oldName : result.newName);
    object["outcome"] = result.outcome == Outcome::Unchanged ? "unchanged"
                        : result.outcome == Outcome::Renamed ? "renamed"
                                                             : "failed";
    if (result.outcome == Outcome::Failed) object["reason"] = result.reason;
    m_out << object.dump(-1, ' ', true, Json::error_handler_t::replace) << '\n';
  }

  std::ostream& m_out;
  bool m_json;
  bool m_failed = false;
};

ExitCode runRename(const RenameArguments& arguments, const std::string& operation,
                   std::ostream& out, std::ostream& err) {
  platform::posix::PosixFileSystem fileSystem;
  DirectoryBrowsing list(fileSystem, arguments.directory);
  if (platform::Status status = list.read(); !status) {
    err << "brindle-cli rename: " << escapedName(status.error().message) << '\n';
    return kFailed;
  }
  if (arguments.all) list.selectAll();
  for (const std::string& name : arguments.selected) {
    if (!list.select(name)) {
      err << "brindle-cli rename: no file named " << escapedName(name) << " in "
          << escapedName(arguments.directory) << '\n';
      return kUsage;
    }
  }

  RuleOrExit choice = ruleFor(operation, arguments, err);
  if (choice.exit) return *choice.exit;
  RenameReport report(out, arguments.json);
  if (arguments.dryRun) {
    // The same plan the run makes, clashes included; nothing is renamed.
    for (const rename::PlannedRename& entry :
         rename::planBatch(list, fileSystem, choice.rule).entries) {
      report.print(rename::plannedResult(entry));
    }
  } else {
    auto history = openChangeHistory(fileSystem, err);
    if (!history) {
      err << "brindle-cli rename: " << escapedName(history.error().message) << '\n';
      return kFailed;
    }
    // Ctrl-C and SIGTERM let the file being renamed finish its step.
    const StopOnSignals stop;
    const std::vector<bool> selected = list.selectionFlags();
    const auto planned =
        static_cast<std::size_t>(std::count(selected.begin(), selected.end(), true));
    const std::vector<rename::EntryResult> results = rename::runBatch(
        list, fileSystem, choice.rule, rename::Progress::Shown,
        [&report](const rename::EntryResult& result) { report.print(result); },
        {history.value().get(), "brindle-cli rename " + operation, &stop.requested()});
    if (results.size() < planned) {
      err << "brindle-cli rename: stopped; " << planned - results.size()
          << " file(s) were not reached\n";
      return kFailed;
    }
  }
  return report.exitCode();
}

}  // namespace

Action defineRename(CLI::App& command, std::ostream& out, std::ostream& err) {
  auto arguments = std::make_shared<RenameArguments>();
  command.add_option("DIR", arguments->directory, "The directory whose files are renamed")
      ->required();
  CLI::Option_group* selection =
      command.add_option_group("selection", "Which entries of DIR's file list to rename");
  selection->add_flag("--all", arguments->all, "Every plain file of DIR");
  selection->add_option("--select", arguments->selected, "The named files of DIR")->expected(1, -1);
  selection->require_option(1);
  command.add_flag("--dry-run", arguments->dryRun,
                   "Print what the run would do, clashes included, with its exit status, and "
                   "change nothing");
  command.add_flag(
      "--json", arguments->json,
      "Print one JSON object per line and entry (ASCII only): old, new, outcome (renamed, "
      "unchanged or failed) and reason; a name that is not UTF-8 also as oldHex/newHex");
  command.footer(
      "Output: one line per selected entry, printed as soon as it is done: \"OLD -> NEW\", "
      "\"OLD -> NEW (failed: REASON)\" or \"OLD (unchanged)\". Names are printed with "
      "backslash escapes as ls -b prints them, blanks kept: \\\\ for a backslash, \\n, \\t, "
      "\\r, \\a, \\b, \\v, \\f, and \\ooo (octal) for each byte of another control "
      "character or of a byte that is not UTF-8. Use --json for the exact names.");
  command.require_subcommand(1);

  auto operation = [&command](const char* name, const char* description) {
    CLI::App* subcommand = command.add_subcommand(name, description);
    // Options of the rename itself may also follow the operation.
    subcommand->fallthrough();
    return subcommand;
  };
  operation("lower", "Convert to lower case");
  operation("upper", "Convert to upper case");
  operation("title", "Convert to title case");
  CLI::App* replace = operation("replace", "Replace every FIND by REPL");
  replace->add_option("FIND", arguments->firstOperand, "The text to replace")->required();
  replace->add_option("REPL", arguments->secondOperand, "The replacement (may be empty)")
      ->required();
  operation("left", "Remove K characters from the left")
      ->add_option("K", arguments->firstOperand, "How many")
      ->required();
  operation("right", "Remove K characters before the first period")
      ->add_option("K", arguments->firstOperand, "How many")
      ->required();
  CLI::App* middle = operation("middle", "Remove every occurrence of the K characters at S");
  middle->add_option("S", arguments->firstOperand, "The starting place, 1 for the first character")
      ->required();
  middle->add_option("K", arguments->secondOperand, "How many")->required();
  operation("ext", "Give every file the three-character extension EXT")
      ->add_option("EXT", arguments->firstOperand, "The extension, without the period")
      ->required();
  CLI::App* number = operation("number", "Rename with running numbers");
  CLI::Option_group* name = number->add_option_group("name", "The names before the numbers");
  name->add_option("--common", arguments->commonName, "Every file gets NAME and a number");
  CLI::Option* unique =
      name->add_flag("--unique", arguments->unique, "Every file keeps its name and gets a number");
  name->require_option(1);
  CLI::Option* left =
      number->add_flag("--left", arguments->left, "With --unique: the number goes first");
  CLI::Option* right = number->add_flag("--right", arguments->right,
                                        "With --unique: the number goes before the extension");
  left->needs(unique)->excludes(right);
  number->add_option("--divider", arguments->divider, "With --unique: text between name and number")
      ->needs(unique);
  right->needs(unique);
  number->add_option("--start", arguments->start, "The first number, as typed in the dialog")
      ->required();

  return [arguments, &command, &out, &err] {
    return runRename(*arguments, command.get_subcommands().front()->get_name(), out, err);
  };
}

}  // namespace brindle::cli
