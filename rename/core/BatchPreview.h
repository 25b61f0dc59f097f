// The list of old and new names a batch rename shows with its question, so
// the user sees what Yes will do before anything is renamed.
#pragma once

#include <cstddef>
#include <string>

#include "rename/core/BatchWalk.h"

namespace brindle::rename {

/// How many entries the list shows at most; the rest are counted.
inline constexpr std::size_t kPreviewLines = 1000;

/// One line per selected entry ("old -> new"), names as UTF-8; an entry
/// that keeps its name says "(unchanged)", one the plan refuses ends with
/// "  [not renamed: reason]". A first line counts the renames and refusals.
std::string previewText(const BatchPlan& plan, std::size_t maxLines = kPreviewLines);

}  // namespace brindle::rename
