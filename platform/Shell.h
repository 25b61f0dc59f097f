// Starting other programs on the user's files.
#pragma once

#include <string>

#include "platform/Result.h"

namespace brindle::platform {

class Shell {
 public:
  virtual ~Shell() = default;

  /// Opens the file with the program associated with its type.
  virtual Status openWithAssociatedProgram(const std::string& path) = 0;
  /// Opens the file in the plain text editor; the path reaches the editor as
  /// one intact argument, never through a command line.
  virtual Status openInTextEditor(const std::string& path) = 0;
};

}  // namespace brindle::platform
