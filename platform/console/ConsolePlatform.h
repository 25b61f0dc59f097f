// Platform services for a program without windows: boxes become lines on
// the error stream, and the clock is the C library's.
#pragma once

#include <iosfwd>

#include "platform/Dialogs.h"
#include "platform/System.h"

namespace brindle::platform::console {

/// Prints every message box on `err` and answers questions negatively
/// (No, Cancel, the empty text): a script is never asked anything.
class ConsoleDialogs : public Dialogs {
 public:
  explicit ConsoleDialogs(std::ostream& err) : m_err(err) {}

 protected:
  Answer showMessage(const MessageRequest& request) override;
  std::string showInput(const InputRequest& request) override;
  std::string showSaveAs(const SaveAsRequest& request) override;
  std::string showOpen(const OpenRequest& request) override;

 private:
  std::ostream& m_err;
};

class LocalClock : public Clock {
 public:
  TimeOfDay localTimeOfDay() override;
};

}  // namespace brindle::platform::console
