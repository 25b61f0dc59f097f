// Tests of the printer: documents printed into PDF files, whose text is read
// back with pdftotext.
#include "platform/qt/QtPrinter.h"

#include "platform/text/FileNameText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <cerrno>

#include "QtTestSupport.h"
#include "TemporaryFolder.h"

namespace brindle::platform::qt {
namespace {

using test::OnNextModal;
using test::ScopedEnvironment;
using ::testing::HasSubstr;

/// The text of a PDF file as pdftotext extracts it; pages end with '\f'.
/// With `layout`, blanks within a line are kept as they stand on the page.
std::optional<std::string> pdfText(const std::string& pdf, bool layout = false) {
  QStringList arguments = {QStringLiteral("-enc"), QStringLiteral("UTF-8")};
  if (layout) arguments.append(QStringLiteral("-layout"));
  arguments << fileNameToText(pdf) << QStringLiteral("-");
  std::optional<QByteArray> text = test::runTool(QStringLiteral("pdftotext"), arguments);
  if (!text) return std::nullopt;
  return text->toStdString();
}

int pageCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
}

class QtPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    ASSERT_TRUE(folder.valid());
  }

  /// Prints `lines` with `printer` and returns the PDF's text.
  std::string printAndRead(QtPrinter& printer, const std::vector<std::string>& lines,
                           const std::string& pdf) {
    for (const std::string& line : lines) EXPECT_TRUE(printer.printLine(line).ok());
    Status ended = printer.endDocument();
    EXPECT_TRUE(ended.ok()) << (ended.ok() ? "" : ended.error().message);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(pdf))) << pdf;
    std::optional<std::string> text = pdfText(pdf);
    EXPECT_TRUE(text.has_value()) << "pdftotext could not read " << pdf;
    return text.value_or("");
  }

  test::TemporaryFolder folder;
  // Neither the user's variable nor a stale one may redirect the output.
  ScopedEnvironment noPdfVariable{kPrintToPdfVariable, std::nullopt};
};

TEST_F(QtPrinterTest, PrintsLinesIntoTheConfiguredPdf) {
  const std::string pdf = folder / "out.pdf";
  QtPrinter printer(nullptr, pdf);
  EXPECT_TRUE(printer.printsToPdf());
  EXPECT_EQ(printer.pdfPath(), pdf);
  int dialogs = 0;
  OnNextModal unexpected(
      [&](QWidget* widget) {
        ++dialogs;
        widget->close();
      },
      200);
  EXPECT_TRUE(printer.choosePrinter()) << "a configured file needs no choice";
  EXPECT_EQ(dialogs, 0);

  std::string text = printAndRead(
      printer, {"Title: First Song", "Artist: a b; rm -rf x $(y)", "Grüße aus Köln", "", "last"},
      pdf);
  EXPECT_THAT(text, HasSubstr("Title: First Song"));
  EXPECT_THAT(text, HasSubstr("Artist: a b; rm -rf x $(y)"));
  EXPECT_THAT(text, HasSubstr("Grüße aus Köln"));
  EXPECT_THAT(text, HasSubstr("last"));
  EXPECT_LT(text.find("First Song"), text.find("last"));
  EXPECT_EQ(pageCount(text), 1);
}

TEST_F(QtPrinterTest, PrintsIntoThePdfNamedByTheEnvironment) {
  const std::string pdf = folder / "from environment.pdf";
  ScopedEnvironment variable(kPrintToPdfVariable, pdf);
  QtPrinter printer;
  EXPECT_TRUE(printer.printsToPdf());
  EXPECT_EQ(printer.pdfPath(), pdf);
  std::string text = printAndRead(printer, {"printed via the variable"}, pdf);
  EXPECT_THAT(text, HasSubstr("printed via the variable"));
}

TEST_F(QtPrinterTest, StartsNewPagesWhenAPageIsFull) {
  const std::string pdf = folder / "long.pdf";
  QtPrinter printer(nullptr, pdf);
  ASSERT_TRUE(printer.setFontSize(12).ok());
  std::vector<std::string> lines;
  for (int i = 1; i <= 150; ++i) lines.push_back("Line number " + std::to_string(1000 + i));
  std::string text = printAndRead(printer, lines, pdf);
  EXPECT_GT(pageCount(text), 1);
  std::size_t position = 0;
  for (const std::string& line : lines) {
    std::size_t found = text.find(line, position);
    ASSERT_NE(found, std::string::npos) << line << " is missing or out of order";
    position = found + line.size();
  }
}

TEST_F(QtPrinterTest, TheFontSizeDecidesHowManyLinesFitOnAPage) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 40; ++i) lines.push_back("Row " + std::to_string(i));

  QtPrinter small(nullptr, folder / "small.pdf");
  ASSERT_TRUE(small.setFontSize(8).ok());
  EXPECT_EQ(pageCount(printAndRead(small, lines, folder / "small.pdf")), 1);

  QtPrinter large(nullptr, folder / "large.pdf");
  ASSERT_TRUE(large.setFontSize(36).ok());
  EXPECT_GT(pageCount(printAndRead(large, lines, folder / "large.pdf")), 2);
}

TEST_F(QtPrinterTest, WrapsLinesWiderThanThePage) {
  const std::string pdf = folder / "wide.pdf";
  QtPrinter printer(nullptr, pdf);
  ASSERT_TRUE(printer.setFontSize(20).ok());
  std::string word(120, 'w');
  std::string text = printAndRead(printer, {"start " + word + " end"}, pdf);
  EXPECT_THAT(text, HasSubstr("start"));
  EXPECT_THAT(text, HasSubstr("end"));
  // Every character of the long word is on the page, spread over lines.
  EXPECT_EQ(std::count(text.begin(), text.end(), 'w'), 120);
  EXPECT_EQ(text.find(word), std::string::npos);
}

TEST_F(QtPrinterTest, EachDocumentHasOnlyItsOwnLines) {
  const std::string pdf = folder / "twice.pdf";
  QtPrinter printer(nullptr, pdf);
  printAndRead(printer, {"first document"}, pdf);
  std::string text = printAndRead(printer, {"second document", "with two lines"}, pdf);
  EXPECT_THAT(text, HasSubstr("second document"));
  EXPECT_THAT(text, HasSubstr("with two lines"));
  EXPECT_THAT(text, ::testing::Not(HasSubstr("first document")));
}

TEST_F(QtPrinterTest, LinesWithLineBreaksPrintAsSeveralLines) {
  const std::string pdf = folder / "breaks.pdf";
  QtPrinter printer(nullptr, pdf);
  std::string text = printAndRead(printer, {"upper\r\nlower"}, pdf);
  EXPECT_THAT(text, HasSubstr("upper\nlower"));
}

TEST_F(QtPrinterTest, TabsKeepTheTextOnItsLine) {
  const std::string pdf = folder / "tabs.pdf";
  QtPrinter printer(nullptr, pdf);
  printAndRead(printer, {"Name:\tValue\tMore", "next"}, pdf);
  const std::string text = pdfText(pdf, true).value_or("");
  const std::size_t name = text.find("Name:");
  const std::size_t more = text.find("More");
  ASSERT_NE(name, std::string::npos);
  ASSERT_NE(more, std::string::npos);
  EXPECT_EQ(text.substr(name, more - name).find('\n'), std::string::npos) << text;
  // Eight columns per tab: "Name:" and three blanks, "Value" and three.
  EXPECT_EQ(text.substr(name, more - name), "Name:   Value   ");
}

TEST_F(QtPrinterTest, RejectsAFontSizeThatIsNotPositive) {
  QtPrinter printer(nullptr, folder / "x.pdf");
  Status status = printer.setFontSize(0);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, EINVAL);
  EXPECT_FALSE(printer.setFontSize(-3).ok());
}

TEST_F(QtPrinterTest, FailsWhenThePdfCannotBeWritten) {
  QtPrinter printer(nullptr, folder / "no such folder/out.pdf");
  ASSERT_TRUE(printer.printLine("lost").ok());
  Status status = printer.endDocument();
  ASSERT_FALSE(status.ok());
  EXPECT_THAT(status.error().message, HasSubstr("no such folder/out.pdf"));
}

TEST_F(QtPrinterTest, WithoutPrinterThePrintDialogAsksForThePdf) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) {
    GTEST_SKIP() << "this system has a printer";
  }
  QtPrinter printer;
  EXPECT_TRUE(printer.printsToPdf());
  EXPECT_EQ(printer.pdfPath(), "");

  // Nothing chosen yet: there is nowhere to print to.
  ASSERT_TRUE(printer.printLine("nowhere").ok());
  Status unchosen = printer.endDocument();
  ASSERT_FALSE(unchosen.ok());
  EXPECT_EQ(unchosen.error().code, ENODEV);

  // Cancelling the dialog.
  OnNextModal cancel([](QWidget* widget) {
    if (auto* dialog = qobject_cast<QDialog*>(widget)) dialog->reject();
  });
  EXPECT_FALSE(printer.choosePrinter());
  EXPECT_TRUE(cancel.ran());

  // Accepting it with a file name typed into its print-to-file field.
  const std::string pdf = folder / "chosen.pdf";
  bool isPrintDialog = false, foundField = false;
  OnNextModal accept([&](QWidget* widget) {
    auto* dialog = qobject_cast<QPrintDialog*>(widget);
    isPrintDialog = dialog != nullptr;
    if (!dialog) {
      widget->close();
      return;
    }
    if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) {
      foundField = true;
      field->setText(QString::fromStdString(pdf));
    }
    dialog->accept();
  });
  EXPECT_TRUE(printer.choosePrinter());
  ASSERT_TRUE(isPrintDialog);
  ASSERT_TRUE(foundField) << "the print dialog has no file name field";
  EXPECT_EQ(printer.pdfPath(), pdf);
  std::string text = printAndRead(printer, {"into the chosen file"}, pdf);
  EXPECT_THAT(text, HasSubstr("into the chosen file"));
}

}  // namespace
}  // namespace brindle::platform::qt
