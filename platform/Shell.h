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
  /// Moves the file into the desktop's trash, from where the user can
  /// restore it. Fails when the system offers no trash for it (or the move
  /// fails); the file is then where it was.
  virtual Status moveToTrash(const std::string& path) = 0;
};

}  // namespace brindle::platform
