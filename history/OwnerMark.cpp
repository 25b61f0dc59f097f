// Owner marks with flock: the kernel drops the lock when the process ends,
// however it ends, so a held lock means a live owner.
#include "history/OwnerMark.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <random>

namespace brindle::history {

OwnerMark::~OwnerMark() {
  if (m_descriptor < 0) return;
  // Batches still open after this are abandoned: the mark goes with them.
  ::unlink(pathOf(m_token).c_str());
  ::close(m_descriptor);
}

std::string OwnerMark::pathOf(const std::string& token) const {
  return m_location + "-owner-" + token;
}

const std::string& OwnerMark::token() {
  if (m_descriptor >= 0 || m_location.empty()) return m_token;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::mt19937 random(std::random_device{}());
  std::string token = std::to_string(::getpid()) + "-";
  std::uint32_t bits = random();
  for (int digit = 0; digit < 8; ++digit, bits >>= 4) token += kDigits[bits & 0xF];
  const int descriptor =
      ::open(pathOf(token).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor < 0) return m_token;
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    ::close(descriptor);
    ::unlink(pathOf(token).c_str());
    return m_token;
  }
  m_descriptor = descriptor;
  m_token = std::move(token);
  return m_token;
}

bool OwnerMark::isHeld(const std::string& token) const {
  if (token.empty() || m_location.empty()) return false;
  if (token == m_token && m_descriptor >= 0) return true;
  const std::string path = pathOf(token);
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (descriptor < 0) return false;
  const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0;
  // Removed while locked, so that its owner cannot be taking it right now.
  if (!held) ::unlink(path.c_str());
  ::close(descriptor);
  return held;
}

}  // namespace brindle::history
