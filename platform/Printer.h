// The printer: choose one, then send lines of text as one document.
#pragma once

#include <string>

#include "platform/Result.h"

namespace brindle::platform {

class Printer {
 public:
  virtual ~Printer() = default;

  /// Shows the printer selection dialog. Returns false when the user
  /// cancelled; callers may ignore it.
  virtual bool choosePrinter() = 0;
  virtual Status setFontSize(int points) = 0;
  /// Adds one line (UTF-8) to the current document.
  virtual Status printLine(const std::string& line) = 0;
  /// Ends the document so that the printer receives its pages.
  virtual Status endDocument() = 0;
};

}  // namespace brindle::platform
