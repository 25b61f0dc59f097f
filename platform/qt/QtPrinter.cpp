// Lays out the collected lines with the toolkit's text layout and paints them
// page by page onto a QPrinter (a printer or a PDF file).
#include "platform/qt/QtPrinter.h"

#include "platform/text/FileNameText.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace brindle::platform::qt {

namespace {

std::string describe(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    return "the PDF file \"" + textToFileName(printer.outputFileName()) + "\"";
  }
  return "the printer \"" + printer.printerName().toStdString() + "\"";
}

/// The line with each tab replaced by blanks up to the next multiple of eight
/// columns, which lines up in the fixed-pitch print font.
QString expandTabs(const QString& line) {
  QString expanded;
  for (QChar character : line) {
    if (character == u'\t') {
      do {
        expanded += u' ';
      } while (expanded.size() % 8 != 0);
    } else {
      expanded += character;
    }
  }
  return expanded;
}

}  // namespace

QtPrinter::QtPrinter(QWidget* parent, std::string pdfPath)
    : m_parent(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  if (pdfPath.empty()) pdfPath = qgetenv(kPrintToPdfVariable).toStdString();
  m_printer->setDocName(QStringLiteral("Brindle"));
  m_printer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  if (!pdfPath.empty()) {
    m_pdfConfigured = true;
    // The format first: a file name without the .pdf suffix keeps it.
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(fileNameToText(pdfPath));
  } else if (QPrinterInfo::availablePrinters().isEmpty()) {
    // No printer: the print dialog then offers only its print-to-file
    // choice, which asks for the PDF file's name.
    m_printer->setOutputFormat(QPrinter::PdfFormat);
  }
}

QtPrinter::~QtPrinter() = default;

bool QtPrinter::choosePrinter() {
  if (m_pdfConfigured) return true;
  QPrintDialog dialog(m_printer.get(), m_parent);
  dialog.setWindowTitle(QStringLiteral("Print"));
  // Every document is printed whole: there is no selection or page range.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  return dialog.exec() == QDialog::Accepted;
}

Status QtPrinter::setFontSize(int points) {
  if (points <= 0) {
    return Error{EINVAL, "The font size must be positive, not " + std::to_string(points) + "."};
  }
  m_fontSize = points;
  return {};
}

Status QtPrinter::printLine(const std::string& line) {
  // A line holding line breaks prints as that many lines.
  QString text = QString::fromStdString(line);
  text.remove(u'\r');
  for (const QString& part : text.split(u'\n')) m_lines.append(expandTabs(part));
  return {};
}

bool QtPrinter::printsToPdf() const {
  return m_printer->outputFormat() == QPrinter::PdfFormat;
}

std::string QtPrinter::pdfPath() const {
  if (!printsToPdf()) return {};
  return textToFileName(m_printer->outputFileName());
}

Status QtPrinter::endDocument() {
  // The document ends here whether or not it reaches the printer.
  const QStringList lines = std::exchange(m_lines, {});
  if (printsToPdf() && m_printer->outputFileName().isEmpty()) {
    return Error{ENODEV, "No printer is installed and no PDF file was chosen to print into."};
  }

  QPainter painter;
  if (!painter.begin(m_printer.get())) {
    return Error{EIO, "Cannot start printing on " + describe(*m_printer) + "."};
  }
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(m_fontSize);
  painter.setFont(font);

  const QRectF area = m_printer->pageLayout().paintRectPixels(m_printer->resolution());
  const qreal width = area.width();
  const qreal pageHeight = area.height();
  const qreal lineSpacing = QFontMetricsF(font, m_printer.get()).lineSpacing();

  QTextOption option;
  // Long lines wrap at a blank where there is one, else anywhere (paths).
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

  qreal y = 0;
  for (const QString& text : lines) {
    QTextLayout layout(text, font, m_printer.get());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
      row.setLineWidth(width);
      row.setPosition(QPointF(0, 0));
    }
    layout.endLayout();

    if (layout.lineCount() == 0) {
      y += lineSpacing;
      continue;
    }
    for (int i = 0; i < layout.lineCount(); ++i) {
      QTextLine row = layout.lineAt(i);
      const qreal height = std::max(row.height(), lineSpacing);
      if (y > 0 && y + height > pageHeight) {
        if (!m_printer->newPage()) {
          painter.end();
          return Error{EIO, "Cannot start a new page on " + describe(*m_printer) + "."};
        }
        y = 0;
      }
      row.draw(&painter, QPointF(0, y));
      y += height;
    }
  }

  if (!painter.end() || m_printer->printerState() == QPrinter::Error) {
    return Error{EIO, "Printing on " + describe(*m_printer) + " failed."};
  }
  return {};
}

}  // namespace brindle::platform::qt
