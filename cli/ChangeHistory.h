// The history as the commands that change files use it: opened where the
// environment says (BRINDLE_HISTORY, "off" for none), and every batch an
// earlier run left open brought to one whole state per file first.
#pragma once

#include <iosfwd>
#include <memory>

#include "history/History.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::cli {

/// Opens the configured history and recovers its open batches, telling
/// `err` what became of their files. A null pointer when the history is
/// off; an error when it cannot be opened (nothing may change then).
platform::Result<std::unique_ptr<history::History>> openChangeHistory(
    platform::FileSystem& fileSystem, std::ostream& err);

}  // namespace brindle::cli
