#include "ui/core/ContextHelp.h"

#include <algorithm>

#include "ui/core/HelpFile.h"

namespace brindle::ui {

void HelpMode::setPointerShape(int shape) {
  m_shape = shape;
  if (m_showPointer) m_showPointer(shape);
}

void ContextHelp::addWindow(HelpMode& mode) {
  if (std::find(m_windows.begin(), m_windows.end(), &mode) == m_windows.end()) {
    m_windows.push_back(&mode);
  }
}

void ContextHelp::removeWindow(HelpMode& mode) {
  m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), &mode), m_windows.end());
}

bool ContextHelp::handledAsHelp(const HelpMode& mode, long topic) {
  if (!mode.isOn()) return false;
  ShowHelpTopic(topic, kHelpFileName, mode.pointerShape());
  return true;
}

void ContextHelp::ShowHelpTopic(long topic, const std::string& helpFile, int pointerShape) {
  if (pointerShape == kNormalPointer) return;
  for (HelpMode* window : m_windows) window->setPointerShape(kNormalPointer);

  const std::string path = platform::entryPath(m_platform.programFolder.path(), helpFile);
  platform::Result<std::string> content = m_platform.fileSystem.readFile(path);
  platform::MessageRequest box;
  box.title = "Help!";
  if (content) {
    box.text = latin1ToUtf8(findHelpTopic(content.value(), helpTopicKey(topic)));
  } else {
    // Without its file no topic can be shown; say so rather than show an
    // empty box that looks like a missing topic.
    box.text = "The help file cannot be read.\n" + content.error().message;
    box.icon = platform::Icon::Critical;
  }
  m_platform.dialogs.message(box);
}

}  // namespace brindle::ui
