// Ctrl-C and SIGTERM during a batch: the file being written is finished and
// the batch stops there, instead of the program dying in the middle of a
// write.
#pragma once

#include <atomic>
#include <csignal>

namespace brindle::cli {

/// While it lives, SIGINT and SIGTERM set a flag instead of ending the
/// program; the handlers before it come back when it goes.
class StopOnSignals {
 public:
  StopOnSignals();
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

  /// True once a signal asked the program to stop.
  const std::atomic<bool>& requested() const;

 private:
  struct sigaction m_oldInterrupt {};
  struct sigaction m_oldTerminate {};
};

}  // namespace brindle::cli
