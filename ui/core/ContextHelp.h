// Help mode of the windows and the one routine that shows a help topic.
//
// A window is in help mode while its pointer shape is the question-mark
// arrow. Each handler with a topic asks ContextHelp first; in help mode it
// shows the topic instead of acting, and every window leaves help mode.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace brindle::ui {

/// Pointer shapes a window can have; help mode is the question-mark arrow.
inline constexpr int kNormalPointer = 0;
inline constexpr int kHelpPointer = 14;
inline constexpr const char* kHelpFileName = "Brindlehelp.txt";

/// The help-mode state of one window: its pointer shape. The window gives a
/// function that shows the shape on screen.
class HelpMode {
 public:
  explicit HelpMode(std::function<void(int shape)> showPointer = {})
      : m_showPointer(std::move(showPointer)) {}

  int pointerShape() const { return m_shape; }
  bool isOn() const { return m_shape == kHelpPointer; }
  void setPointerShape(int shape);
  /// The "(?)" command: on when off, off when on.
  void toggle() { setPointerShape(isOn() ? kNormalPointer : kHelpPointer); }

 private:
  int m_shape = kNormalPointer;
  std::function<void(int)> m_showPointer;
};

class ContextHelp {
 public:
  explicit ContextHelp(platform::Platform& platform) : m_platform(platform) {}

  /// Windows whose help mode ends whenever a topic is shown. A window
  /// registers on creation and leaves before it is destroyed.
  void addWindow(HelpMode& mode);
  void removeWindow(HelpMode& mode);

  /// The handler's first step: in help mode, shows `topic` and returns true,
  /// and the handler must return at once; otherwise returns false.
  bool handledAsHelp(const HelpMode& mode, long topic);

  /// Shows the help topic `topic` from `helpFile` in the program's folder in
  /// a "Help!" box, after switching help mode off in every window. Does
  /// nothing when `pointerShape` is 0. Never changes the working directory.
  void ShowHelpTopic(long topic, const std::string& helpFile, int pointerShape);

 private:
  platform::Platform& m_platform;
  std::vector<HelpMode*> m_windows;
};

}  // namespace brindle::ui
