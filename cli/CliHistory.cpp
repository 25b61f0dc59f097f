// Opening the history for brindle-cli, recovery first, and the stop flag.
#include "cli/CliHistory.h"

#include <signal.h>

#include <ostream>
#include <string>

#include "cli/EscapedName.h"
#include "history/Location.h"
#include "history/Recovery.h"
#include "platform/posix/PosixFileSystem.h"

namespace brindle::cli {

namespace {

// Set from a signal handler: it must be a lock-free atomic.
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> g_stop = false;

extern "C" void requestStop(int) {
  g_stop.store(true);
}

std::optional<std::unique_ptr<history::History>> open(const char* command, std::ostream& err) {
  platform::Result<std::unique_ptr<history::History>> history =
      history::openConfiguredHistory(history::processEnvironment());
  if (!history) {
    err << "brindle-cli " << command << ": " << escapedName(history.error().message)
        << " (BRINDLE_HISTORY=off runs without the history)\n";
    return std::nullopt;
  }
  return std::move(history.value());
}

}  // namespace

void installStopHandlers() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  // The first signal asks for a stop; the handler then goes, so that a
  // second one ends the program as usual.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

const std::atomic<bool>* stopFlag() {
  return &g_stop;
}

std::optional<std::unique_ptr<history::History>> openHistoryForChanges(const char* command,
                                                                       std::ostream& err) {
  std::optional<std::unique_ptr<history::History>> history = open(command, err);
  if (!history || !*history) return history;
  platform::posix::PosixFileSystem fileSystem;
  auto recovered = history::recoverOpenBatches(**history, fileSystem);
  if (!recovered) {
    err << "brindle-cli " << command << ": " << escapedName(recovered.error().message) << '\n';
    return std::nullopt;
  }
  for (const std::string& line : history::describeRecovery(recovered.value())) {
    err << "brindle-cli: " << escapedName(line) << '\n';
  }
  return history;
}

std::optional<std::unique_ptr<history::History>> openHistoryForReading(const char* command,
                                                                       std::ostream& err) {
  return open(command, err);
}

}  // namespace brindle::cli
