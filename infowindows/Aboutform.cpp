// The About window.
#include "infowindows/Aboutform.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

#include "infowindows/ClickableFrame.h"
#include "infowindows/EscapeCloses.h"

namespace brindle::infowindows {

namespace {

// A centred label inside the frame that lets mouse clicks through to it, so
// that a click anywhere on the frame closes the window.
QLabel* addLabel(QWidget* frame, QVBoxLayout* layout, const char* name, const QString& text) {
  auto* label = new QLabel(text, frame);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  layout->addWidget(label);
  return label;
}

}  // namespace

Aboutform::Aboutform(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Aboutform"));
  setWindowTitle(QStringLiteral("About"));
  closeOnEscape(*this);

  m_frame1 = new ClickableFrame([this] { close(); }, this);
  m_frame1->setObjectName(QStringLiteral("Frame1"));
  m_frame1->setToolTip(QStringLiteral("Click to close"));

  auto* frameLayout = new QVBoxLayout(m_frame1);
  frameLayout->setContentsMargins(24, 18, 24, 18);
  frameLayout->setSpacing(8);

  QLabel* name = addLabel(m_frame1, frameLayout, "Label1", QStringLiteral("Brindle"));
  QFont nameFont = name->font();
  nameFont.setPointSize(nameFont.pointSize() * 2);
  nameFont.setBold(true);
  name->setFont(nameFont);

  addLabel(m_frame1, frameLayout, "Label2",
           QStringLiteral("Version ") + QStringLiteral(BRINDLE_VERSION_TEXT));
  frameLayout->addSpacing(8);
  addLabel(m_frame1, frameLayout, "Label3", QStringLiteral("Written by the Brindle developers."));
  addLabel(m_frame1, frameLayout, "Label4",
           QStringLiteral("Batch renaming, file lists and MP3 tag editing in one place."));
  addLabel(m_frame1, frameLayout, "Label5", QStringLiteral("Free software under the MIT license."));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->addWidget(m_frame1);
}

QWidget* Aboutform::frame1() const {
  return m_frame1;
}

}  // namespace brindle::infowindows
