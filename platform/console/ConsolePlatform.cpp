#include "platform/console/ConsolePlatform.h"

#include <ctime>
#include <ostream>

namespace brindle::platform::console {

Answer ConsoleDialogs::showMessage(const MessageRequest& request) {
  m_err << request.text << '\n';
  switch (request.buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::OkCancel:
      return Answer::Cancel;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::SaveDiscardCancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

std::string ConsoleDialogs::showInput(const InputRequest&) {
  return {};
}

std::string ConsoleDialogs::showSaveAs(const SaveAsRequest&) {
  return {};
}

std::string ConsoleDialogs::showOpen(const OpenRequest&) {
  return {};
}

TimeOfDay LocalClock::localTimeOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace brindle::platform::console
