// What every window needs to show its help mode: the question-mark pointer,
// and a guard that keeps the rest of a click that showed a help topic from
// acting (the release would otherwise still click the control).
#pragma once

#include <QEvent>

#include <functional>

class QWidget;

namespace brindle::ui {

/// The function a window gives its HelpMode: the question-mark pointer in
/// help mode, the normal one otherwise.
std::function<void(int shape)> helpPointerOf(QWidget& window);

class HelpClickGuard {
 public:
  /// True for the release or double click that ends a click whose press (or
  /// focus) showed a help topic: the event must be dropped.
  bool swallows(QEvent::Type type);
  /// A press showed a topic: the rest of its click is dropped.
  void topicShownByPress() { m_swallowing = true; }
  /// The focus showed a topic; when a mouse click brought it, the rest of
  /// that click is dropped.
  void topicShownByFocus(bool byMouse) { m_swallowing = byMouse; }

 private:
  bool m_swallowing = false;
};

}  // namespace brindle::ui
