#include "cli/StopOnSignals.h"

namespace brindle::cli {

namespace {

std::atomic<bool> stopRequested{false};

void requestStop(int) {
  stopRequested.store(true);
}

}  // namespace

StopOnSignals::StopOnSignals() {
  stopRequested.store(false);
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &m_oldInterrupt);
  ::sigaction(SIGTERM, &action, &m_oldTerminate);
}

StopOnSignals::~StopOnSignals() {
  ::sigaction(SIGINT, &m_oldInterrupt, nullptr);
  ::sigaction(SIGTERM, &m_oldTerminate, nullptr);
}

const std::atomic<bool>& StopOnSignals::requested() const {
  return stopRequested;
}

}  // namespace brindle::cli
