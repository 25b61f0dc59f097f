// The printer: documents printed into PDF files, whose text is read back with pdftotext.
#include "platform/qt/QtPrinter.h"

#include <gtest/gtest.h>

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

// Line breaks start lines, tabs stop every 8 columns, a word wider than the page wraps, and
// the font size decides how many lines fit on a page.
TEST_F(QtPrinterTest, LinesLandOnPagesInOrder) {
  const std::string word(120, 'w'), artist = "Artist: a b; rm -rf x $(y)";
  std::vector<std::string> rows;
  for (int i = 1; i <= 40; ++i) rows.push_back("Row " + std::to_string(i));
  const std::tuple<int, std::vector<std::string>, std::vector<std::string>, bool> cases[] = {
      {10,
       {artist, "Grüße aus Köln", "", "upper\r\nlower", "Name:\tValue\tMore"},
       {artist, "Grüße aus Köln", "upper\n", "lower", "Name:   Value   More\n"},
       false},
      {20, {"start " + word + " end"}, {"start", "wwwwwwwwww", "end"}, false},
      {8, rows, rows, false},
      {36, rows, rows, true}};
  for (const auto& [fontSize, lines, shownInOrder, severalPages] : cases) {
    SCOPED_TRACE(fontSize);
    QtPrinter printer(nullptr, folder / (std::to_string(fontSize) + ".pdf"));
    ASSERT_TRUE(printer.setFontSize(fontSize).ok());
    const std::string text = print(printer, lines);
    std::size_t at = 0;
    for (const std::string& shown : shownInOrder) {
      at = text.find(shown, at);
      ASSERT_NE(at, std::string::npos) << shown << " missing or out of order in\n" << text;
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f') > 1, severalPages);
    EXPECT_EQ(text.find(word), std::string::npos);
  }
}

TEST_F(QtPrinterTest, ConfiguredChosenAndFailingOutputs) {
  {
    test::ScopedEnvironment variable(kPrintToPdfVariable, folder / "from environment.pdf");
    QtPrinter printer;
    EXPECT_EQ(printer.pdfPath(), folder / "from environment.pdf");
    test::OnNextModal unexpected([](QWidget* widget) { widget->close(); });
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
  // Without a printer the print dialog asks for the PDF file: until then, nowhere to print.
  QtPrinter printer;
  EXPECT_TRUE(printer.printsToPdf() && printer.pdfPath().empty());
  ASSERT_TRUE(printer.printLine("nowhere").ok());
  EXPECT_EQ(printer.endDocument().error().code, ENODEV);
  auto cancel = test::onNext<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(printer.choosePrinter());
  EXPECT_TRUE(cancel.ran());
}

}  // namespace
}  // namespace brindle::platform::qt
