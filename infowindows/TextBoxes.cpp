// Text box helpers of the information windows.
#include "infowindows/TextBoxes.h"

#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace brindle::infowindows {

QString displayText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

void setCentredText(QTextEdit& box, const QString& text) {
  box.setPlainText(displayText(text));
  QTextCursor cursor(box.document());
  cursor.select(QTextCursor::Document);
  QTextBlockFormat format;
  format.setAlignment(Qt::AlignHCenter);
  cursor.mergeBlockFormat(format);
}

}  // namespace brindle::infowindows
