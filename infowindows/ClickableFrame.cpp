// A frame that runs a callback when it is clicked with the left button.
#include "infowindows/ClickableFrame.h"

#include <QMouseEvent>
#include <utility>

namespace brindle::infowindows {

ClickableFrame::ClickableFrame(std::function<void()> onClick, QWidget* parent)
    : QFrame(parent), m_onClick(std::move(onClick)) {
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Sunken);
}

void ClickableFrame::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    // Accepting the press makes the frame receive the matching release.
    m_pressed = true;
    event->accept();
    return;
  }
  QFrame::mousePressEvent(event);
}

void ClickableFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_pressed) {
    QFrame::mouseReleaseEvent(event);
    return;
  }
  m_pressed = false;
  event->accept();
  // A click is a press and a release both inside the frame, as with a button.
  if (rect().contains(event->position().toPoint()) && m_onClick) m_onClick();
}

}  // namespace brindle::infowindows
