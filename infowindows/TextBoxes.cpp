// Helpers of the information windows: text boxes and button rows.
#include "infowindows/TextBoxes.h"

#include <QHBoxLayout>
#include <QPushButton>

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

QHBoxLayout* centredButtonRow(QPushButton* button) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(button);
  row->addStretch(1);
  return row;
}

}  // namespace brindle::infowindows
