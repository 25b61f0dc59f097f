// Fills in the program's title before the boxes reach an implementation, so
// every implementation (and every test double) sees the caption as shown.
#include "platform/Dialogs.h"

namespace brindle::platform {

Answer Dialogs::message(MessageRequest request) {
  if (request.title.empty()) request.title = kProgramTitle;
  return showMessage(request);
}

Answer Dialogs::message(std::string text, Buttons buttons, Icon icon, std::string title) {
  MessageRequest request;
  request.text = std::move(text);
  request.buttons = buttons;
  request.icon = icon;
  request.title = std::move(title);
  return message(std::move(request));
}

std::string Dialogs::input(InputRequest request) {
  if (request.title.empty()) request.title = kProgramTitle;
  return showInput(request);
}

}  // namespace brindle::platform
