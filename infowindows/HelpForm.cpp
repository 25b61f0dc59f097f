// The Help window.
#include "infowindows/HelpForm.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextEdit>
#include <QVBoxLayout>

#include "infowindows/EscapeCloses.h"
#include "infowindows/TextBoxes.h"

namespace brindle::infowindows {

namespace {

// The program's logo: a rounded square with a large letter B and a small
// underline, drawn at run time so that no image file is needed.
QPixmap drawLogo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);

  const QRectF box(1.5, 1.5, size - 3.0, size - 3.0);
  QPainterPath outline;
  outline.addRoundedRect(box, size / 6.0, size / 6.0);
  painter.fillPath(outline, QColor(0x8a, 0x5a, 0x2b));
  painter.setPen(QPen(QColor(0x4e, 0x30, 0x14), 2.0));
  painter.drawPath(outline);

  QFont font(QStringLiteral("Serif"));
  font.setBold(true);
  font.setPixelSize(size * 5 / 8);
  painter.setFont(font);
  painter.setPen(QColor(0xf6, 0xe7, 0xc8));
  painter.drawText(box.adjusted(0, -size / 10.0, 0, 0), Qt::AlignCenter, QStringLiteral("B"));

  painter.setPen(QPen(QColor(0xf6, 0xe7, 0xc8), size / 20.0));
  const qreal y = size * 0.8;
  painter.drawLine(QPointF(size * 0.28, y), QPointF(size * 0.72, y));
  return pixmap;
}

QTextEdit* makeTextBox(QWidget* parent, const char* name) {
  auto* box = new QTextEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setReadOnly(true);
  box->setAcceptRichText(false);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return box;
}

QLabel* addLabel(QWidget* parent, QVBoxLayout* layout, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  return label;
}

}  // namespace

QString HelpForm::helpInfoText() {
  return QStringLiteral(
      "\r\n"
      "\r\n"
      "By Clicking the question mark at the top of the form (?) you can then\r\n"
      "click on any menu item to get a brief help screen.  Clicking the help button will\r\n"
      "bring up this help screen.  Any additional help may be obtained my emailng the author.");
}

HelpForm::HelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpForm"));
  setWindowTitle(QStringLiteral("Help"));
  closeOnEscape(*this);

  m_picture1 = new QLabel(this);
  m_picture1->setObjectName(QStringLiteral("Picture1"));
  m_picture1->setPixmap(drawLogo(72));
  m_picture1->setFixedSize(76, 76);
  m_picture1->setAlignment(Qt::AlignCenter);

  m_programInfo = QStringLiteral("Brindle\r\nVersion ") + QStringLiteral(BRINDLE_VERSION_TEXT) +
                  QStringLiteral(
                      "\r\n"
                      "Renames, deletes, opens and lists the files of a directory,\r\n"
                      "and edits the ID3 tags of MP3 files.");
  m_text1 = makeTextBox(this, "Text1");
  setCentredText(*m_text1, m_programInfo);
  m_text1->setFixedHeight(96);

  auto* frame1 = new QGroupBox(QStringLiteral(" Help Info "), this);
  frame1->setObjectName(QStringLiteral("Frame1"));
  m_text2 = makeTextBox(frame1, "Text2");
  m_text2->setMinimumWidth(560);
  m_text2->setFixedHeight(110);
  auto* frame1Layout = new QVBoxLayout(frame1);
  frame1Layout->addWidget(m_text2);

  // Text3 is only there to hold the keyboard focus; it is kept small.
  m_text3 = new QLineEdit(this);
  m_text3->setObjectName(QStringLiteral("Text3"));
  m_text3->setFixedSize(12, 12);
  m_text3->setFrame(false);
  m_text3->setReadOnly(true);

  auto* frame2 = new QGroupBox(QStringLiteral(" Program Info "), this);
  frame2->setObjectName(QStringLiteral("Frame2"));
  auto* frame2Layout = new QVBoxLayout(frame2);
  auto* line = new QFrame(frame2);
  line->setObjectName(QStringLiteral("Line1"));
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  frame2Layout->addWidget(line);
  addLabel(frame2, frame2Layout, "Label1",
           QStringLiteral("Brindle is written and maintained by the Brindle developers."));
  addLabel(frame2, frame2Layout, "Label2", QStringLiteral("Questions, ideas or trouble?"));
  addLabel(frame2, frame2Layout, "Label3",
           QStringLiteral("Report them through the Brindle project's issue tracker,"));
  addLabel(frame2, frame2Layout, "Label4",
           QStringLiteral("with the version number and the steps that led to the problem."));
  addLabel(frame2, frame2Layout, "Label5",
           QStringLiteral("Always keep backup copies of the files you work on."));
  addLabel(frame2, frame2Layout, "Label6", QStringLiteral("Thank you for using Brindle!"));

  auto* top = new QHBoxLayout;
  top->addWidget(m_picture1, 0, Qt::AlignTop);
  top->addWidget(m_text1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(frame1);
  layout->addWidget(frame2);
  layout->addWidget(m_text3, 0, Qt::AlignRight);

  // Loading the window sets the help note.
  m_helpNote = helpInfoText();
  setCentredText(*m_text2, m_helpNote);

  // The two texts pass the focus on to Text3 as soon as they receive it.
  m_text1->installEventFilter(this);
  m_text2->installEventFilter(this);
  setFocusProxy(m_text3);
  m_text3->setFocus();
}

bool HelpForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == m_text1 || watched == m_text2)) {
    m_text3->setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace brindle::infowindows
