// The batch rename walk shared by every batch command: first a plan (the
// new name of each selected entry, from a rule), then the renames through
// the platform file system, then the re-read of the list. The list is the
// main window's (ui::FileListHost), or a stand-in for brindle-cli and tests.
//
// The walk reads the list once: the entry count, the selection flags in one
// pass, and the name of each selected entry, in ascending index order.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "history/History.h"
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
    /// The file gets the name `name`.
    Rename,
    /// The rename cannot be made (for `reason`); `name` holds the new name
    /// the rule would have given, when there is one.
    Refused,
  };
  Kind kind = Kind::Unchanged;
  std::string name;
  std::string reason;
  /// The rename goes through a short temporary name in the same folder: old
  /// name, temporary name, new name. Needed where old and new name differ
  /// only in case, which a file system that ignores case takes for one name.
  bool throughTemporaryName = false;

  static RuleResult unchanged() { return {}; }
  /// A one-step rename; unchanged when the new name equals the old one.
  static RuleResult renameTo(const std::string& oldName, std::string newName);
  static RuleResult refused(std::string newName, std::string reason);

  /// The new name; empty when there is none.
  const std::string& newName() const { return name; }
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

/// Why a planned rename cannot be made: its new name is taken when its turn
/// comes. Walks run in ascending index order, so a name freed by an earlier
/// entry of the batch is free for a later one, and not the other way round.
inline constexpr const char* kNameTakenByEarlierEntry =
    "an earlier file of the batch gets this name";
inline constexpr const char* kNameFreedTooLate =
    "this name is taken until a later file of the batch is renamed";

/// Reads the list and applies `rule` to every selected entry. A new name
/// that is not a plain file name is refused. Touches no file.
BatchPlan planBatch(const ui::FileListHost& list, const NameRule& rule);

/// planBatch, and then the clashes of the whole batch, in the order the walk
/// renames: a new name another file of the folder has (EEXIST's reason), one
/// an earlier entry takes, and one whose file is renamed only later (a->b
/// while b->c; cycles such as a->b, b->a) are refused. What the plan lets
/// through only fails when the system refuses it. Asks `fileSystem` about
/// names and never changes anything.
BatchPlan planBatch(const ui::FileListHost& list, platform::FileSystem& fileSystem,
                    const NameRule& rule);

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

/// What the plan says of one entry, before anything is renamed: what a dry
/// run reports.
EntryResult plannedResult(const PlannedRename& entry);

/// Called after each entry, as soon as its rename is done (or failed).
using EntryReport = std::function<void(const EntryResult&)>;

/// How a walk is recorded and stopped.
struct WalkRecording {
  /// Where the batch is recorded before the first rename; none: not
  /// recorded.
  history::History* history = nullptr;
  /// What the user did, as the history lists it ("Convert All to Lowercase").
  std::string command;
  /// Checked between entries: once true, the entry under way finishes, no
  /// further entry is touched and the batch closes as stopped.
  const std::atomic<bool>* stop = nullptr;
};

/// Why no rename of a walk was made when its batch could not be recorded.
inline constexpr const char* kNotRecorded = "the history could not record the batch";

/// Renames the planned entries in the list's directory through
/// `fileSystem`, never replacing an existing file; refused entries are not
/// touched. A failure leaves that file as it was and the walk goes on; a
/// two-step rename whose second step fails is undone. When shown, the
/// progress maximum is the plan's entry count and the value the index of
/// each selected entry.
///
/// With a history, the temporary names of two-step renames are chosen first
/// and the whole list (old, temporary and new name of each rename) is
/// recorded as one batch before the first rename; the batch is closed when
/// the walk ends. A batch that cannot be recorded renames nothing: every
/// rename fails with kNotRecorded (and the history's reason). A walk that
/// was stopped gives the results of the entries it reached.
std::vector<EntryResult> applyBatch(platform::FileSystem& fileSystem, ui::FileListHost& list,
                                    const BatchPlan& plan, Progress progress,
                                    const EntryReport& report = {},
                                    const WalkRecording& recording = {});

/// The whole walk: plan (clashes included), renames, re-read of the list,
/// progress back to 0.
std::vector<EntryResult> runBatch(ui::FileListHost& list, platform::FileSystem& fileSystem,
                                  const NameRule& rule, Progress progress = Progress::Shown,
                                  const EntryReport& report = {},
                                  const WalkRecording& recording = {});

/// The walk of a plan made before (and shown to the user): renames, re-read
/// of the list, progress back to 0.
std::vector<EntryResult> runPlannedBatch(ui::FileListHost& list, platform::FileSystem& fileSystem,
                                         const BatchPlan& plan, Progress progress = Progress::Shown,
                                         const EntryReport& report = {},
                                         const WalkRecording& recording = {});

/// How many entries failed.
int countFailed(const std::vector<EntryResult>& results);

}  // namespace brindle::rename
