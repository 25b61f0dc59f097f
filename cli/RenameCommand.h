// The rename side of brindle-cli: the main window's batch rename commands on
// the plain files of one directory, with the same rules and walk.
//
//   brindle-cli rename DIR (--all | --select NAME...) [--dry-run] [--json] OPERATION
//
// OPERATION is lower | upper | title | replace FIND REPL | left K | right K |
// middle S K | ext EXT | number (--common NAME | --unique (--left|--right)
// [--divider D]) --start TEXT. One line per selected entry: "OLD -> NEW",
// "OLD -> NEW (failed: REASON)" or "OLD (unchanged)", names escaped (see
// EscapedName.h), or with --json one JSON object per line; each line is
// printed and flushed as soon as its entry is done. --dry-run prints the
// plan of the same run, clashes included, with the same exit status.
#pragma once

#include <iosfwd>

#include "cli/Command.h"

namespace brindle::cli {

Action defineRename(CLI::App& command, std::ostream& out, std::ostream& err);

}  // namespace brindle::cli
