// The tag side of brindle-cli: read, wav, info, write and remove-v2, each a
// fresh inspection component per file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "platform/FileSystem.h"

namespace brindle::cli {

Action defineRead(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineWav(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineInfo(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineWrite(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineRemoveV2(CLI::App& command, std::ostream& out, std::ostream& err);

/// What `write` runs: checks the NAME=VALUE texts, reads `file`, sets the
/// fields and saves both tags through `fileSystem`. A failure prints
/// "Error: " and the code, then "brindle-cli: FILE: " and the reason, to
/// `err`, and gives kFailed.
ExitCode writeTags(platform::FileSystem& fileSystem, const std::string& file,
                   const std::vector<std::string>& assignmentTexts, std::ostream& err);
/// What `remove-v2` runs: removes the version 2 tag of each file through
/// `fileSystem`, reporting failures as writeTags() does.
ExitCode removeVersion2Tags(platform::FileSystem& fileSystem, const std::vector<std::string>& files,
                            std::ostream& err);

}  // namespace brindle::cli
