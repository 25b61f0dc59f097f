// The printer: documents printed into PDF files, whose text is read back with pdftotext.
#include "platform/qt/QtPrinter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>

#include "QtTestSupport.h"
#include "tests/support/TempDir.h"

namespace brindle::platform::qt {
namespace {

using test::ScopedEnvironment;

class QtPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
  }
  /// Ends the document and returns the PDF's text as laid out on the pages ('\f' ends a page).
  std::string endAndRead(QtPrinter& printer, const std::string& pdf) {
    Status ended = printer.endDocument();
    EXPECT_TRUE(ended.ok()) << (ended.ok() ? "" : ended.error().message);
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {"-enc", "UTF-8", "-layout", QString::fromStdString(pdf), "-"});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0) << pdf;
    return process.readAllStandardOutput().toStdString();
  }

  testsupport::TempDir folder;
  // Neither the user's variable nor a stale one may redirect the output.
  ScopedEnvironment noPdfVariable{kPrintToPdfVariable, std::nullopt};
};

TEST_F(QtPrinterTest, LinesLandOnPagesInOrder) {
  std::vector<std::string> numbered, rows;
  for (int i = 1; i <= 150; ++i) numbered.push_back("Line number " + std::to_string(1000 + i));
  for (int i = 1; i <= 40; ++i) rows.push_back("Row " + std::to_string(i));
  const std::string word(120, 'w');
  struct Case {
    int fontSize;
    std::vector<std::string> lines, shownInOrder;
    int minPages, maxPages;
  };
  const Case cases[] = {
      {10,
       {"Title: First Song", "Artist: a b; rm -rf x $(y)", "Grüße aus Köln", "", "last"},
       {"Title: First Song", "Artist: a b; rm -rf x $(y)", "Grüße aus Köln", "last"},
       1,
       1},
      {12, numbered, numbered, 2, 99},
      {8, rows, rows, 1, 1},  // the font size decides how many lines fit
      {36, rows, rows, 3, 99},
      {20, {"start " + word + " end"}, {"start", "wwwwwwwwww", "end"}, 1, 1},  // wrapped
      {10, {"upper\r\nlower"}, {"upper\n", "lower"}, 1, 1},
      {10, {"Name:\tValue\tMore", "next"}, {"Name:   Value   More\n", "next"}, 1, 1},  // 8 columns
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(row);
    const std::string pdf = folder / (std::to_string(row) + ".pdf");
    QtPrinter printer(nullptr, pdf);
    ASSERT_TRUE(printer.setFontSize(c.fontSize).ok());
    for (const std::string& line : c.lines) EXPECT_TRUE(printer.printLine(line).ok());
    const std::string text = endAndRead(printer, pdf);
    std::size_t at = 0;
    for (const std::string& shown : c.shownInOrder) {
      at = text.find(shown, at);
      ASSERT_NE(at, std::string::npos) << shown << " missing or out of order in\n" << text;
    }
    const int pages = static_cast<int>(std::count(text.begin(), text.end(), '\f'));
    EXPECT_TRUE(pages >= c.minPages && pages <= c.maxPages) << pages << " pages";
    EXPECT_EQ(text.find(word), std::string::npos) << "a word wider than the page is wrapped";
  }
}

TEST_F(QtPrinterTest, ConfiguredEnvironmentChosenAndFailingOutputs) {
  const std::string pdf = folder / "from environment.pdf";
  {
    ScopedEnvironment variable(kPrintToPdfVariable, pdf);
    QtPrinter printer;
    EXPECT_TRUE(printer.printsToPdf());
    EXPECT_EQ(printer.pdfPath(), pdf);
    test::OnNextModal unexpected([](QWidget* widget) { widget->close(); }, 200);
    EXPECT_TRUE(printer.choosePrinter()) << "a configured file needs no choice";
    EXPECT_FALSE(unexpected.ran());
    EXPECT_EQ(printer.setFontSize(0).error().code, EINVAL);
    EXPECT_FALSE(printer.setFontSize(-3).ok());
    printer.printLine("first document");
    endAndRead(printer, pdf);
    printer.printLine("second document");
    const std::string text = endAndRead(printer, pdf);
    EXPECT_NE(text.find("second document"), std::string::npos);
    EXPECT_EQ(text.find("first document"), std::string::npos) << "each document its own lines";
  }
  QtPrinter unwritable(nullptr, folder / "no such folder/out.pdf");
  ASSERT_TRUE(unwritable.printLine("lost").ok());
  Status status = unwritable.endDocument();
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.error().message.find("no such folder/out.pdf"), std::string::npos);

  if (!QPrinterInfo::availablePrinters().isEmpty()) return;
  // Without a printer the print dialog asks for the PDF file; nothing chosen, nowhere to print.
  QtPrinter printer;
  EXPECT_TRUE(printer.printsToPdf());
  EXPECT_EQ(printer.pdfPath(), "");
  ASSERT_TRUE(printer.printLine("nowhere").ok());
  EXPECT_EQ(printer.endDocument().error().code, ENODEV);
  auto cancel = test::onNext<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(printer.choosePrinter());
  const std::string chosen = folder / "chosen.pdf";
  auto accept = test::onNext<QPrintDialog>([&](QPrintDialog* dialog) {
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    EXPECT_NE(field, nullptr) << "the print dialog has no file name field";
    if (field) field->setText(QString::fromStdString(chosen));
    dialog->accept();
  });
  EXPECT_TRUE(printer.choosePrinter());
  EXPECT_TRUE(cancel.ran() && accept.ran());
  EXPECT_EQ(printer.pdfPath(), chosen);
  printer.printLine("into the chosen file");
  EXPECT_NE(endAndRead(printer, chosen).find("into the chosen file"), std::string::npos);
}

}  // namespace
}  // namespace brindle::platform::qt
