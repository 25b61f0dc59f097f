// The printer: documents printed into PDF files, whose text is read back with pdftotext.
#include "platform/qt/QtPrinter.h"

#include <gtest/gtest.h>

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

class QtPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  }
  /// Prints `lines` as one document; returns the PDF's text as laid out ('\f' ends a page).
  std::string print(QtPrinter& printer, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) EXPECT_TRUE(printer.printLine(line).ok());
    Status ended = printer.endDocument();
    EXPECT_TRUE(ended.ok()) << (ended.ok() ? "" : ended.error().message);
    QProcess process;
    process.start("pdftotext", {"-enc", "UTF-8", "-layout", printer.pdfPath().c_str(), "-"});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0);
    return process.readAllStandardOutput().toStdString();
  }

  testsupport::TempDir folder;
  // Neither the user's variable nor a stale one may redirect the output.
  test::ScopedEnvironment noPdfVariable{kPrintToPdfVariable, std::nullopt};
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
       {"Artist: a b; rm -rf x $(y)", "Grüße aus Köln", "", "upper\r\nlower", "Name:\tValue\tMore"},
       {"Artist: a b; rm -rf x $(y)", "Grüße aus Köln", "upper\n", "lower",
        "Name:   Value   More\n"},
       1,
       1},  // line breaks start lines, tabs stop every 8 columns
      {12, numbered, numbered, 2, 99},
      {8, rows, rows, 1, 1},  // the font size decides how many lines fit on a page
      {36, rows, rows, 3, 99},
      {20, {"start " + word + " end"}, {"start", "wwwwwwwwww", "end"}, 1, 1}};  // wrapped
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(row);
    QtPrinter printer(nullptr, folder / (std::to_string(row) + ".pdf"));
    ASSERT_TRUE(printer.setFontSize(c.fontSize).ok());
    const std::string text = print(printer, c.lines);
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

TEST_F(QtPrinterTest, ConfiguredChosenAndFailingOutputs) {
  {
    test::ScopedEnvironment variable(kPrintToPdfVariable, folder / "from environment.pdf");
    QtPrinter printer;
    EXPECT_EQ(printer.pdfPath(), folder / "from environment.pdf");
    test::OnNextModal unexpected([](QWidget* widget) { widget->close(); }, 200);
    EXPECT_TRUE(printer.choosePrinter() && !unexpected.ran())
        << "a configured file needs no choice";
    EXPECT_EQ(printer.setFontSize(0).error().code, EINVAL);  // must be positive
    print(printer, {"first document"});
    EXPECT_EQ(print(printer, {"second"}).find("first"), std::string::npos) << "only its own lines";
  }
  QtPrinter unwritable(nullptr, folder / "no such folder/out.pdf");
  ASSERT_TRUE(unwritable.printLine("lost").ok());
  EXPECT_NE(unwritable.endDocument().error().message.find("no such folder/out.pdf"),
            std::string::npos);
  if (!QPrinterInfo::availablePrinters().isEmpty()) return;
  // Without a printer the print dialog asks for the PDF file; nothing chosen, nowhere to print.
  QtPrinter printer;
  EXPECT_TRUE(printer.printsToPdf() && printer.pdfPath().empty());
  ASSERT_TRUE(printer.printLine("nowhere").ok());
  EXPECT_EQ(printer.endDocument().error().code, ENODEV);
  auto cancel = test::onNext<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(printer.choosePrinter());
  auto accept = test::onNext<QPrintDialog>([&](QPrintDialog* dialog) {
    if (auto* field = dialog->findChild<QLineEdit*>("filename"))
      field->setText(QString::fromStdString(folder / "c.pdf"));
    dialog->accept();
  });
  EXPECT_TRUE(printer.choosePrinter() && cancel.ran() && accept.ran());
  EXPECT_NE(print(printer, {"into the chosen file"}).find("chosen file"), std::string::npos);
}

}  // namespace
}  // namespace brindle::platform::qt
