// The Warning window.
#include "infowindows/frmWarning.h"

#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "infowindows/ClickableFrame.h"
#include "infowindows/EscapeCloses.h"
#include "infowindows/TextBoxes.h"

namespace brindle::infowindows {

QString frmWarning::warningText() {
  return QStringLiteral(
      "WARNING WARNING WARNING WARNING WARNING WARNING WARNING \r\n"
      "\r\n"
      "This software renames, deletes and alters files on your drive.  Please make a \r\n"
      "copy of several files in a temporary directory and experiment on them before \r\n"
      "using this software.\r\n");
}

frmWarning::frmWarning(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmWarning"));
  // No caption is set on purpose: the window title stays empty.
  closeOnEscape(*this);

  m_frame1 = new ClickableFrame([this] { close(); }, this);
  m_frame1->setObjectName(QStringLiteral("Frame1"));

  m_warningText = warningText();
  m_text1 = new QPlainTextEdit(m_frame1);
  m_text1->setObjectName(QStringLiteral("Text1"));
  m_text1->setReadOnly(true);
  m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_text1->setPlainText(displayText(m_warningText));
  // Wide and tall enough for the longest line and all six lines.
  const QFontMetrics metrics(m_text1->font());
  m_text1->setMinimumSize(
      metrics.horizontalAdvance(QStringLiteral(
          "This software renames, deletes and alters files on your drive.  Please make a ")) +
          40,
      metrics.lineSpacing() * 7 + 16);

  auto* frameLayout = new QVBoxLayout(m_frame1);
  frameLayout->setContentsMargins(12, 12, 12, 12);
  frameLayout->addWidget(m_text1);

  m_command1 = new QPushButton(QStringLiteral("OK I Will"), this);
  m_command1->setObjectName(QStringLiteral("Command1"));
  m_command1->setDefault(true);
  connect(m_command1, &QPushButton::clicked, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_frame1, 1);
  layout->addLayout(centredButtonRow(m_command1));
  m_command1->setFocus();
}

QWidget* frmWarning::frame1() const {
  return m_frame1;
}

}  // namespace brindle::infowindows
