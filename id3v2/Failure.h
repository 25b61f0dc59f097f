// How the tag engine and the component word what went wrong: a sentence that
// names the cause, followed by the system's own text when an error number is
// behind it, so that a person reading it learns both.
#pragma once

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

/// `what` failed because of `cause`: the cause's error number is kept, and
/// the sentence ends with the system's text for it ("...: No space left on
/// device"), or with the cause's own message when it has no number.
inline platform::Error causedBy(std::string_view what, const platform::Error& cause) {
  std::string sentence(what);
  const std::string detail = cause.code != 0 ? std::strerror(cause.code) : cause.message;
  if (!detail.empty()) sentence += ": " + detail;
  return platform::Error{cause.code, std::move(sentence)};
}

}  // namespace brindle::id3v2
