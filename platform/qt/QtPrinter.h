// Printing lines of text through the toolkit's printer support, or into a
// PDF file when the system has no printer or a file is configured.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "platform/Printer.h"

class QPrinter;

namespace brindle::platform::qt {

/// The environment variable naming a PDF file that every printed document is
/// written to instead of a printer (useful without a printer, and in tests).
inline constexpr const char* kPrintToPdfVariable = "BRINDLE_PRINT_TO_PDF";

/// Collects the lines of a document and paints them onto pages when the
/// document ends: one line of text per line, wrapped when wider than the
/// page, with a new page whenever the current one is full.
///
/// Output goes to a PDF file when one is configured (constructor argument,
/// else the BRINDLE_PRINT_TO_PDF variable), or when the system knows no
/// printer; in the latter case the print dialog asks for the file name.
class QtPrinter : public Printer {
 public:
  /// @param parent   window the print dialog is modal to; may be null.
  /// @param pdfPath  when not empty, documents are written to this PDF file
  ///                 (system bytes) and no printer is used; when empty, the
  ///                 BRINDLE_PRINT_TO_PDF variable is consulted.
  explicit QtPrinter(QWidget* parent = nullptr, std::string pdfPath = {});
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  /// Makes later print dialogs modal to `parent` (null: to the application).
  void setParent(QWidget* parent) { m_parent = parent; }

  /// Shows the print dialog; true when the user accepted it. With a
  /// configured PDF file there is nothing to choose and no dialog appears.
  bool choosePrinter() override;
  /// Font size in points of the following documents; must be positive.
  Status setFontSize(int points) override;
  Status printLine(const std::string& line) override;
  /// Paints the collected lines and sends the pages; fails when the printer
  /// or the PDF file cannot be opened, or no output was chosen at all.
  Status endDocument() override;

  /// True when documents go to a PDF file rather than a printer.
  bool printsToPdf() const;
  /// The PDF file documents are written to (empty when printing on paper or
  /// when the file is still to be chosen in the print dialog).
  std::string pdfPath() const;

 private:
  QPointer<QWidget> m_parent;
  std::unique_ptr<QPrinter> m_printer;
  bool m_pdfConfigured = false;
  int m_fontSize = 10;
  QStringList m_lines;
};

}  // namespace brindle::platform::qt
