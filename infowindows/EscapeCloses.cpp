#include "infowindows/EscapeCloses.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace brindle::infowindows {

void closeOnEscape(QWidget& window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
  escape->setObjectName(QStringLiteral("closeOnEscape"));
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
}

}  // namespace brindle::infowindows
