#include "ui/HelpClicks.h"

#include <QWidget>

#include "ui/core/ContextHelp.h"

namespace brindle::ui {

std::function<void(int)> helpPointerOf(QWidget& window) {
  return [&window](int shape) {
    if (shape == kHelpPointer) {
      window.setCursor(Qt::WhatsThisCursor);
    } else {
      window.unsetCursor();
    }
  };
}

bool HelpClickGuard::swallows(QEvent::Type type) {
  if (!m_swallowing) return false;
  if (type == QEvent::MouseButtonRelease) {
    m_swallowing = false;
    return true;
  }
  return type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonPress;
}

}  // namespace brindle::ui
