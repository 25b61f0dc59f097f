// How the tag engine and the component word what went wrong: a sentence that
// names the cause, followed by the system's own text when an error number is
// behind it, so that a person reading it learns both.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace brindle::id3v2 {

/// A refusal of the program's own, with no system error behind it (code 0
/// unless `code` names the errno it amounts to).
inline platform::Error refusal(std::string sentence, int code = 0) {
  return platform::Error{code, std::move(sentence)};
}

/// Plain words for the causes a person can act on, or nothing.
inline const char* plainCause(int code) {
  switch (code) {
    case ENOSPC:
      return "no space left on the device";
    case EDQUOT:
      return "the disk quota is used up";
    case EROFS:
      return "the file system is read-only";
    case ENAMETOOLONG:
      return "the path is too long";
    default:
      return nullptr;
  }
}

/// `what` failed because of `cause`: the cause's error number is kept, and
/// the sentence ends with the system's text for it ("...: Input/output
/// error"), after plain words where there are some ("...: no space left on
/// the device (No space left on device)"), or with the cause's own message
/// when it has no number.
inline platform::Error causedBy(std::string_view what, const platform::Error& cause) {
  std::string sentence(what);
  std::string detail = cause.code != 0 ? std::strerror(cause.code) : cause.message;
  if (const char* plain = plainCause(cause.code)) detail = std::string(plain) + " (" + detail + ")";
  if (!detail.empty()) sentence += ": " + detail;
  return platform::Error{cause.code, std::move(sentence)};
}

}  // namespace brindle::id3v2
