// What a subcommand of brindle-cli provides, and the table of all of them.
//
// To add a subcommand, write a file with one function that declares the
// subcommand's options and returns what to run, and add one row for it to the
// table in Commands.cpp (and to BaseCommands.cpp when it needs no Qt):
//
//   Action defineExample(CLI::App& command, std::ostream& out, std::ostream& err) {
//     auto file = std::make_shared<std::string>();
//     command.add_option("file", *file, "The file to look at")->required();
//     return [file, &out, &err] { return runExample(*file, out, err); };
//   }
//
// The parser handles --help, usage errors and the exit status 2; the action
// returns kSuccess or kFailed.
#pragma once

#include <functional>
#include <iosfwd>
#include <span>
#include <string_view>

#include <CLI/CLI.hpp>

#include "cli/ExitCode.h"

namespace brindle::cli {

/// Runs a subcommand after its command line was parsed successfully; returns
/// the exit status (kSuccess or kFailed).
using Action = std::function<ExitCode()>;

struct Command {
  /// The word on the command line, e.g. "info".
  std::string_view name;
  /// One line for the list of subcommands in --help.
  std::string_view summary;
  /// Declares the subcommand's options and arguments on `command` and returns
  /// the action to run when it is chosen. Output goes to `out`, messages about
  /// failures to `err`.
  Action (*define)(CLI::App& command, std::ostream& out, std::ostream& err);
};

/// Every subcommand, in the order --help lists them (brindle_cli_core).
std::span<const Command> commands();
/// The subcommands that need no Qt, all but rename, in the same order
/// (brindle_cli_base): brindle-cli runs these itself and hands any other
/// command line to the full program.
std::span<const Command> baseCommands();

}  // namespace brindle::cli
