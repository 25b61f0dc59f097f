// The tag side of brindle-cli: read, wav, info, write and remove-v2, each a
// fresh inspection component per file.
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "history/History.h"
#include "platform/FileSystem.h"

namespace brindle::cli {

Action defineRead(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineWav(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineInfo(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineWrite(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineRemoveV2(CLI::App& command, std::ostream& out, std::ostream& err);

/// What `write` runs: checks the NAME=VALUE texts, then reads each file,
/// sets the fields and plans its save, and saves them all as one batch of
/// `history` (none: the history is off) through `fileSystem`. A file that
/// fails prints "Error: " and the code, then "brindle-cli: FILE: " and the
/// reason, to `err`, and gives kFailed; the other files are saved. When
/// `stop` becomes true, the file being written is finished and the rest are
/// left.
ExitCode writeTags(platform::FileSystem& fileSystem, const std::vector<std::string>& files,
                   const std::vector<std::string>& assignmentTexts, std::ostream& err,
                   history::History* history = nullptr, const std::atomic<bool>* stop = nullptr);
/// What `remove-v2` runs: removes the version 2 tag of each file through
/// `fileSystem` as one batch, reporting failures as writeTags() does.
ExitCode removeVersion2Tags(platform::FileSystem& fileSystem, const std::vector<std::string>& files,
                            std::ostream& err, history::History* history = nullptr,
                            const std::atomic<bool>* stop = nullptr);

}  // namespace brindle::cli
