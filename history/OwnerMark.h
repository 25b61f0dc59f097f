// Which process owns an open batch: each process that records batches in a
// history file holds a lock on a small mark file beside it while it runs.
// A batch whose mark is no longer held belongs to a process that ended (or
// was killed) and is the next start's to recover; one whose mark is held is
// still running in another process and is left alone.
#pragma once

#include <string>

namespace brindle::history {

class OwnerMark {
 public:
  /// Marks beside the history file `location`; none for a history in memory
  /// (empty location).
  explicit OwnerMark(std::string location) : m_location(std::move(location)) {}
  ~OwnerMark();
  OwnerMark(const OwnerMark&) = delete;
  OwnerMark& operator=(const OwnerMark&) = delete;

  /// This process's mark, created and locked on first use; empty when the
  /// history has no file or the mark cannot be made (the batches are then
  /// taken for abandoned by a later start, as before).
  const std::string& token();

  /// Whether the process with mark `token` still runs. A mark found
  /// abandoned is removed.
  bool isHeld(const std::string& token) const;

 private:
  std::string pathOf(const std::string& token) const;
  std::string m_location;
  std::string m_token;
  int m_descriptor = -1;
};

}  // namespace brindle::history
