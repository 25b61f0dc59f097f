#include "rename/core/BatchPreview.h"

#include "platform/text/FileNameText.h"

namespace brindle::rename {

std::string previewText(const BatchPlan& plan, std::size_t maxLines) {
  int renamed = 0;
  int refused = 0;
  std::string lines;
  std::size_t shown = 0;
  for (const PlannedRename& entry : plan.entries) {
    const RuleResult& rule = entry.rule;
    if (rule.kind == RuleResult::Kind::Rename) ++renamed;
    if (rule.kind == RuleResult::Kind::Refused) ++refused;
    if (shown == maxLines) continue;
    ++shown;
    lines += platform::fileNameToUtf8(entry.oldName);
    switch (rule.kind) {
      case RuleResult::Kind::Unchanged:
        lines += " (unchanged)";
        break;
      case RuleResult::Kind::Rename:
        lines += " -> " + platform::fileNameToUtf8(rule.newName());
        break;
      case RuleResult::Kind::Refused:
        if (!rule.newName().empty()) lines += " -> " + platform::fileNameToUtf8(rule.newName());
        lines += "  [not renamed: " + rule.reason + "]";
        break;
    }
    lines += "\n";
  }
  if (plan.entries.size() > shown) {
    lines += "... and " + std::to_string(plan.entries.size() - shown) + " more\n";
  }
  std::string text = std::to_string(renamed) + (renamed == 1 ? " file" : " files") + " to rename";
  if (refused > 0) text += ", " + std::to_string(refused) + " not renamed (marked)";
  return text + ":\n" + lines;
}

}  // namespace brindle::rename
