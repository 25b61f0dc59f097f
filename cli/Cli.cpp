#include "cli/Cli.h"

#include <exception>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "brindle/Version.h"

namespace brindle::cli {

ExitCode run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             std::span<const Command> table) {
  CLI::App app{"The command-line companion of Brindle, for scripts.", "brindle-cli"};
  app.set_version_flag("--version", std::string("brindle-cli ") + kVersionText,
                       "Print the version and exit");
  std::string footer = "Exit status: 0 success, 1 an operation failed, 2 usage error.";
  if (!table.empty()) {
    footer += "\nRun 'brindle-cli SUBCOMMAND --help' for the options of a subcommand.";
  }
  app.footer(footer);
  app.require_subcommand(0, 1);

  std::vector<std::pair<CLI::App*, Action>> actions;
  actions.reserve(table.size());
  for (const Command& command : table) {
    CLI::App* subcommand =
        app.add_subcommand(std::string(command.name), std::string(command.summary));
    actions.emplace_back(subcommand, command.define(*subcommand, out, err));
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version arrive here too, with exit code 0.
    const int code = app.exit(error, out, err);
    return code == 0 ? kSuccess : kUsage;
  }

  for (auto& [subcommand, action] : actions) {
    if (subcommand->parsed()) {
      try {
        return action();
      } catch (const std::exception& exception) {
        err << "brindle-cli " << subcommand->get_name() << ": " << exception.what() << '\n';
        return kFailed;
      }
    }
  }

  // Nothing to do: show what can be done.
  err << app.help();
  return kUsage;
}

}  // namespace brindle::cli
