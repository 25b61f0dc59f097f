// The tag side of brindle-cli: read, wav, info, write and remove-v2, each a
// fresh inspection component per file.
#pragma once

#include <iosfwd>

#include "cli/Command.h"

namespace brindle::cli {

Action defineRead(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineWav(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineInfo(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineWrite(CLI::App& command, std::ostream& out, std::ostream& err);
Action defineRemoveV2(CLI::App& command, std::ostream& out, std::ostream& err);

}  // namespace brindle::cli
