// The batch rename walk shared by every batch command: first a plan (the
// new name of each selected entry, from a rule), then the renames through
// the platform file system, then the re-read of the list. The list is the
// main window's (ui::FileListHost), or a stand-in for brindle-cli and tests.
//
// The walk reads the list once: the entry count, the selection flags in one
// pass, and the name of each selected entry, in ascending index order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "rename/core/NameRules.h"
#include "ui/core/FileListHost.h"

namespace brindle::rename {

/// Whether a walk shows its progress in the list host's progress bar (the
/// extension change and the numbered rename do not).
enum class Progress { Shown, Hidden };

/// What a rule decides for one name.
struct RuleResult {
  enum class Kind {
    /// The name stays as it is; nothing is renamed.
    Unchanged,
    /// The file goes through `names` in order; the last is the new name.
    Rename,
    /// The rename cannot be made (for `reason`); `names` holds the new name
    /// the rule would have given, when there is one.
    Refused,
  };
  Kind kind = Kind::Unchanged;
  std::vector<std::string> names;
  std::string reason;

  static RuleResult unchanged() { return {}; }
  /// A one-step rename; unchanged when the new name equals the old one.
  static RuleResult renameTo(const std::string& oldName, std::string newName);
  static RuleResult refused(std::string newName, std::string reason);

  /// The new name; empty when there is none.
  std::string newName() const { return names.empty() ? std::string() : names.back(); }
};

/// A rule of a command: the new name of one selected entry. Rules are called
/// once per selected entry, in ascending index order, so a rule may count.
using NameRule = std::function<RuleResult(const std::string& oldName)>;

/// The rule of each command, over the pure functions of NameRules.h.
NameRule caseRule(CaseKind kind);
NameRule replaceRule(std::string find, std::string replacement);
NameRule removeLeftRule(int count);
NameRule removeRightRule(int count);
NameRule removeMiddleRule(int start, int count);
NameRule extensionRule(std::string directory, std::string extension);
/// The reason given for the entries past the highest number.
inline constexpr const char* kNumbersRunOut = "numbers stop at 32767";

/// Numbers from `start` upward; the entries that would need a number above
/// kHighestNumber are refused, so the run stops there.
NameRule numberingRule(NumberingOptions options, int start);

/// One selected entry of a plan.
struct PlannedRename {
  int index = 0;
  std::string oldName;
  RuleResult rule;
};

struct BatchPlan {
  /// The list's entry count when the plan was made.
  int entryCount = 0;
  /// The selected entries in ascending index order.
  std::vector<PlannedRename> entries;
};

/// Reads the list and applies `rule` to every selected entry. A new name
/// (or intermediate name) that is not a plain file name is refused.
BatchPlan planBatch(const ui::FileListHost& list, const NameRule& rule);

struct EntryResult {
  enum class Outcome { Unchanged, Renamed, Failed };
  int index = 0;
  std::string oldName;
  /// The name the rule gave (empty when it gave none).
  std::string newName;
  Outcome outcome = Outcome::Unchanged;
  /// Why the rename failed.
  std::string reason;
};

/// Renames the planned entries in the list's directory through
/// `fileSystem`, never replacing an existing file. A failure leaves that file
/// as it was and the walk goes on; a two-step rename whose second step fails
/// is undone. When shown, the progress maximum is the plan's entry count and
/// the value the index of each selected entry.
std::vector<EntryResult> applyBatch(platform::FileSystem& fileSystem, ui::FileListHost& list,
                                    const BatchPlan& plan, Progress progress);

/// The whole walk: plan, renames, re-read of the list, progress back to 0.
std::vector<EntryResult> runBatch(ui::FileListHost& list, platform::FileSystem& fileSystem,
                                  const NameRule& rule, Progress progress = Progress::Shown);

/// How many entries failed.
int countFailed(const std::vector<EntryResult>& results);

}  // namespace brindle::rename
