// The history of the desktop program: opened where the environment says when
// the program starts, after the batches a crash left open are put right and
// the user is told what became of their files.
#pragma once

#include <memory>

#include "history/History.h"
#include "history/Location.h"
#include "platform/Dialogs.h"

namespace brindle::app {

/// Opens the history, recovers its open batches and tells the user in one
/// message what was done. A null history when it is turned off, or when it
/// cannot be opened (the user is told: changes are not recorded then).
std::unique_ptr<history::History> openHistoryAtStart(const history::Environment& environment,
                                                     platform::FileSystem& fileSystem,
                                                     platform::Dialogs& dialogs);

}  // namespace brindle::app
