// The Disclaimer window.
#include "infowindows/frmDisclaimer.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <utility>

#include "infowindows/EscapeCloses.h"
#include "infowindows/TextBoxes.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace brindle::infowindows {

frmDisclaimer::frmDisclaimer(platform::FileSystem& fileSystem,
                             platform::ProgramFolder& programFolder,
                             std::function<void()> showMainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_fileSystem(fileSystem),
      m_programFolder(programFolder),
      m_showMainWindow(std::move(showMainWindow)) {
  closeOnEscape(*this);
  setObjectName(QStringLiteral("frmDisclaimer"));
  setWindowTitle(QStringLiteral("Disclaimer"));

  m_text1 = new QPlainTextEdit(this);
  m_text1->setObjectName(QStringLiteral("Text1"));
  m_text1->setReadOnly(true);
  m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_text1->setMinimumSize(520, 360);

  m_command1 = new QPushButton(QStringLiteral("OK"), this);
  m_command1->setObjectName(QStringLiteral("Command1"));
  m_command1->setDefault(true);
  connect(m_command1, &QPushButton::clicked, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text1, 1);
  layout->addLayout(centredButtonRow(m_command1));

  loadAgreement();
  m_command1->setFocus();
}

std::string frmDisclaimer::agreementPath() const {
  return platform::entryPath(m_programFolder.path(), kAgreementFileName);
}

QString frmDisclaimer::decodeAgreement(const std::string& bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (!platform::utf8::isValid(bytes)) return QString::fromLatin1(view);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  return utf8.decode(view);
}

bool frmDisclaimer::loadAgreement() {
  // The file is optional: any failure leaves the text box as it was.
  platform::Result<std::string> bytes = m_fileSystem.readFile(agreementPath());
  if (!bytes) return false;
  m_agreementText = decodeAgreement(bytes.value());
  m_text1->setPlainText(displayText(m_agreementText));
  return true;
}

void frmDisclaimer::closeEvent(QCloseEvent* event) {
  event->accept();
  if (m_showMainWindow) m_showMainWindow();
}

}  // namespace brindle::infowindows
