// A plain frame that reports a left mouse click on itself (or on a child that
// lets mouse events through), used where a click on a frame closes a window.
#pragma once

#include <QFrame>
#include <functional>

class QMouseEvent;

namespace brindle::infowindows {

class ClickableFrame : public QFrame {
 public:
  ClickableFrame(std::function<void()> onClick, QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::function<void()> m_onClick;
  bool m_pressed = false;
};

}  // namespace brindle::infowindows
