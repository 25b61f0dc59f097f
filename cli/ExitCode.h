// The exit statuses of brindle-cli, the same for every subcommand.
#pragma once

namespace brindle::cli {

enum ExitCode : int {
  kSuccess = 0,
  /// The command line was fine but the operation failed (for example a file
  /// could not be read or written).
  kFailed = 1,
  /// The command line itself was wrong: unknown option, missing argument,
  /// no subcommand.
  kUsage = 2,
};

}  // namespace brindle::cli
