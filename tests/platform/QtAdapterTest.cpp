// The toolkit adapters, run offscreen with the toolkit's own dialogs, and file names as text.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QtPrintSupport>
#include <QtWidgets>
#include <cerrno>

#include "QtTestSupport.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSettings.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/QtSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "platform/text/FileNameText.h"
#include "tests/support/TempDir.h"

// Requests name only the fields a case sets.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace brindle::platform::qt {
namespace {

// Buttons, icon and default map onto the box, the button pressed back; Escape means no.
TEST(QtDialogs, MessageBoxesMapButtonsIconsDefaultsAndAnswers) {
  // clang-format off
  using B = QMessageBox; using Bt = Buttons; using D = DefaultButton; using A = Answer; using I = Icon;
  const B::StandardButton esc = B::NoButton;
  const B::StandardButtons sdc = B::Save | B::Discard | B::Cancel, okc = B::Ok | B::Cancel;
  struct Case {
    Buttons buttons; Icon icon; DefaultButton defaultButton; B::StandardButton press; Answer answer;
    B::StandardButtons shown; B::Icon shownIcon; B::StandardButton shownDefault, shownEscape;
  } const cases[] = {
    {Bt::YesNo, I::Critical, D::Second, B::Yes, A::Yes, B::Yes | B::No, B::Critical, B::No, B::No},
    {Bt::OkCancel, I::None, D::First, esc, A::Cancel, okc, B::NoIcon, B::Ok, B::Cancel},
    {Bt::Ok, I::Information, D::Second, esc, A::Ok, B::Ok, B::Information, B::Ok, B::Ok},
    {Bt::SaveDiscardCancel, I::None, D::First, B::Discard, A::Discard, sdc, B::NoIcon, B::Save, B::Cancel},
    {Bt::SaveDiscardCancel, I::None, D::Second, esc, A::Cancel, sdc, B::NoIcon, B::Discard, B::Cancel}};
  // clang-format on
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(row);
    // File names are never read as markup; details are shown open from the start.
    const MessageRequest request{.text = "<b>Grüße.mp3</b>?",
                                 .buttons = c.buttons,
                                 .icon = c.icon,
                                 .title = row == 1 ? "Renaming" : "",
                                 .defaultButton = c.defaultButton,
                                 .details = row == 0 ? "a.mp3 -> A.MP3\n" : ""};
    OnNext<B> respond([&](B* box) {
      EXPECT_EQ(box->windowTitle(), row == 1 ? "Renaming" : "Brindle");
      EXPECT_EQ(box->text() + box->detailedText(),
                QString::fromStdString(request.text + request.details));
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      auto* details = box->findChild<QTextEdit*>();
      EXPECT_EQ(details && details->isVisible(), row == 0);
      EXPECT_EQ(
          std::tuple(box->icon(), box->standardButtons(), box->standardButton(box->defaultButton()),
                     box->standardButton(box->escapeButton())),
          std::tuple(c.shownIcon, c.shown, c.shownDefault, c.shownEscape));
      if (c.press != esc) return box->button(c.press)->click();
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(QtDialogs().message(request), c.answer);
    EXPECT_TRUE(respond.ran);
  }
}

TEST(QtDialogs, InputAndSaveAsGiveBackWhatWasChosen) {
  testsupport::TempDir folder;
  QtDialogs dialogs;
  OnNext<QInputDialog> typing([](QInputDialog* dialog) {
    EXPECT_EQ(dialog->labelText() + dialog->textValue(), QString::fromUtf8("New name:old ä"));
    dialog->setTextValue(QString::fromUtf8("Größe ♪ 2"));
    dialog->accept();
  });
  EXPECT_EQ(dialogs.input({.prompt = "New name:", .defaultText = "old ä"}), "Größe ♪ 2");
  const SaveAsRequest request{
      .initialDirectory = folder.path(), .filter = "*.txt", .defaultExtension = "txt"};
  OnNext<QFileDialog> saving([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Brindle");
    EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(folder.path()));
    EXPECT_EQ(dialog->nameFilters(), QStringList{saveAsNameFilter("*.txt")});
    EXPECT_TRUE(dialog->acceptMode() == QFileDialog::AcceptSave &&
                !dialog->testOption(QFileDialog::DontConfirmOverwrite));
    // Typed rather than selected: the file list fills in later and would undo a selection.
    if (auto* field = dialog->findChild<QLineEdit*>("fileNameEdit")) field->setText("report");
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(dialogs.saveAs(request), folder / "report.txt") << "with the default extension";
  OnNext<QFileDialog> cancelling([](QFileDialog* d) { static_cast<QDialog*>(d)->reject(); });
  EXPECT_EQ(dialogs.saveAs(request), "");
  EXPECT_TRUE(typing.ran && saving.ran && cancelling.ran);
  QString filters;
  for (auto pattern : {"*.txt", "*.csv", "", "*.*", "*.txt;*.log", "*.m?3"})
    filters += saveAsNameFilter(pattern) + "|";
  EXPECT_EQ(filters,
            "Text files (*.txt)|CSV files (*.csv)|All files (*)|All files (*)|"
            "Files (*.txt *.log)|Files (*.m?3)|");
}

class QtPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  }
  /// Prints `lines` as one document; returns the PDF's text as laid out ('\f' ends a page).
  std::string print(QtPrinter& printer, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) EXPECT_TRUE(printer.printLine(line).ok());
    EXPECT_TRUE(printer.endDocument().ok());
    QProcess process;
    process.start("pdftotext", {"-enc", "UTF-8", "-layout", printer.pdfPath().c_str(), "-"});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0);
    return process.readAllStandardOutput().toStdString();
  }
  testsupport::TempDir folder;
  ScopedEnvironment noPdfVariable{kPrintToPdfVariable, std::nullopt};  // no stray redirection
};

// Line breaks, tabs every 8 columns, wrapping a word wider than the page, lines per page by size.
TEST_F(QtPrinterTest, LinesLandOnPagesInOrder) {
  const std::string word(120, 'w'), artist = "Artist: a b; rm -rf x $(y)";
  std::vector<std::string> rows;
  for (int i = 1; i <= 40; ++i) rows.push_back("Row " + std::to_string(i));
  // clang-format off
  const std::tuple<int, std::vector<std::string>, std::vector<std::string>, bool> cases[] = {
      {10, {artist, "Grüße aus Köln", "", "upper\r\nlower", "Name:\tValue\tMore"},
           {artist, "Grüße aus Köln", "upper\n", "lower", "Name:   Value   More\n"}, false},
      {20, {"start " + word + " end"}, {"start", "wwwwwwwwww", "end"}, false},
      {8, rows, rows, false},
      {36, rows, rows, true}};
  // clang-format on
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
    ScopedEnvironment variable(kPrintToPdfVariable, folder / "from environment.pdf");
    QtPrinter printer;
    EXPECT_EQ(printer.pdfPath(), folder / "from environment.pdf");
    OnNext<QWidget> unexpected([](QWidget* widget) { widget->close(); });
    EXPECT_TRUE(printer.choosePrinter() && !unexpected.ran) << "a configured file needs no choice";
    EXPECT_EQ(printer.setFontSize(0).error().code, EINVAL);
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
  OnNext<QPrintDialog> cancel([](QPrintDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(printer.choosePrinter());
  EXPECT_TRUE(cancel.ran);
}

// The editor variable (one program; empty is unset) wins, then gio, gtk-launch, xdg-open.
TEST(EditorCommands, TheVariableThenTheDesktopDefaultThenXdgOpen) {
  const std::string gio = "/usr/bin/gio", gtk = "/usr/bin/gtk-launch", xdg = "/usr/bin/xdg-open";
  const std::string file = "/usr/share/applications/e.desktop";
  // clang-format off
  struct Case { std::optional<std::string> variable; bool tools; std::string defaultId, entry;
                std::vector<EditorCommand> expected; } const cases[] = {
      {"my editor --flag", true, "e.desktop", file, {{"my editor --flag", {"/x"}}}},
      {"", true, "", "", {{xdg, {"/x"}}}},
      {{}, true, "e", file, {{gio, {"launch", file, "/x"}}, {gtk, {"e", "/x"}}, {xdg, {"/x"}}}},
      {{}, true, "gone.desktop", "", {{gtk, {"gone.desktop", "/x"}}, {xdg, {"/x"}}}},
      {{}, false, "e.desktop", file, {}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variable.value_or("(unset)") + " " + c.defaultId);
    const EditorLookup lookup{
        .environment = [&](auto& n) { return n == kEditorVariable ? c.variable : std::nullopt; },
        .findProgram = [&](auto& name) { return c.tools ? "/usr/bin/" + name : std::string(); },
        .defaultTextEditorId = [&] { return c.defaultId; },
        .desktopEntryPath = [&](auto& id) { return id == c.defaultId ? c.entry : std::string(); }};
    EXPECT_EQ(editorCommands("/x", lookup), c.expected);
  }
  EXPECT_TRUE(editorCommands("/x", EditorLookup{}).empty());
  const EditorLookup ed{.environment = [](auto&) { return std::optional<std::string>("ed"); }};
  EXPECT_EQ(editorCommands("-rf.txt", ed), (std::vector<EditorCommand>{{"ed", {"./-rf.txt"}}}));
}

TEST(QtShell, StartsTheEditorAndTrashes) {
  testsupport::TempDir folder;
  // The stand-in editor writes its argument count and first argument.
  const std::string editor = folder / "editor.sh", report = folder / "report.txt";
  folder.write("editor.sh", "#!/bin/sh\nprintf '%s\\n%s' \"$#\" \"$1\" > '" + report +
                                ".part' && mv '" + report + ".part' '" + report + "'\n");
  ASSERT_EQ(::chmod(editor.c_str(), 0755), 0);
  {
    ScopedEnvironment variable(kEditorVariable, editor);
    EXPECT_EQ(QtShell().openInTextEditor(folder / "\xff.txt").error().code, EILSEQ);
    // A relative path with shell characters reaches the editor whole and absolute.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(folder.path())));
    Status status = QtShell().openInTextEditor("a b; rm -rf x $(y).txt");
    QDir::setCurrent(previous);
    ASSERT_TRUE(status.ok()) << status.error().message;
    for (int i = 0; i < 500 && !QFile::exists(report.c_str()); ++i) QThread::msleep(10);
    EXPECT_EQ(folder.read(report), "1\n" + (folder / "a b; rm -rf x $(y).txt"));
  }
  ScopedEnvironment variable(kEditorVariable, folder / "no such editor");
  EXPECT_NE(QtShell().openInTextEditor("x").error().message.find("no such"), std::string::npos);
  QtShell shell(EditorLookup{});
  EXPECT_NE(shell.openInTextEditor("/x").error().message.find("BRINDLE_EDITOR"), std::string::npos);
  EXPECT_EQ(shell.openWithAssociatedProgram(folder / "\xff.mp3").error().code, EILSEQ);
  // Home and data folder point into the test's folder, so the real trash is never touched.
  folder.write("song 1.mp3", "audio bytes");
  ScopedEnvironment home("HOME", folder.path()), data("XDG_DATA_HOME", folder / "data");
  ASSERT_TRUE(shell.moveToTrash(folder / "song 1.mp3").ok());
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"data", "editor.sh", "report.txt"}));
  EXPECT_EQ(folder.read(folder / "data/Trash/files/song 1.mp3"), "audio bytes");
  EXPECT_FALSE(folder.read(folder / "data/Trash/info/song 1.mp3.trashinfo").empty());
  EXPECT_FALSE(shell.moveToTrash(folder / "gone.mp3").ok());
  EXPECT_EQ(shell.moveToTrash(folder / "\xff.mp3").error().code, EILSEQ);
}

// The installed layout (bin beside share/brindle) is found without "..", else the binary's folder.
TEST(ProgramFolder, FoundBesideTheBinaryFolder) {
  testsupport::TempDir folder;
  for (auto made : {"usr/bin", "usr/share/brindle", "build/bin", "build/share", "f/share"})
    folder.makeDirectory(made);
  folder.write("f/share/brindle");  // a file, not a folder
  posix::PosixFileSystem real;
  testing::RecordingFileSystem fs(real);
  const auto at = [&](std::string p) { return p[0] == '@' ? folder.path() + p.substr(1) : p; };
  // clang-format off
  const char* cases[][3] = {  // the binary's folder, the folder looked for, the one found
      {"@/usr/bin", "@/usr/share/brindle", "@/usr/share/brindle"},
      {"@/usr/bin/", "@/usr/share/brindle", "@/usr/share/brindle"},
      {"@/build/bin", "@/build/share/brindle", "@/build/bin"},
      {"@/build/bin//", "@/build/share/brindle", "@/build/bin"},
      {"@/f/bin", "@/f/share/brindle", "@/f/bin"},
      {"/bin", "/share/brindle", "/bin"},
      {"bin", "share/brindle", "bin"},
      {"/opt/x/bin/.", "/opt/x/bin/./../share/brindle", "/opt/x/bin/."}};
  // clang-format on
  for (const auto& [binaryDir, lookedFor, found] : cases) {
    SCOPED_TRACE(binaryDir);
    fs.clearCalls();
    EXPECT_EQ(programFolderFor(at(binaryDir), fs), at(found));
    const auto looked = fs.callsOf(testing::FsOp::IsDirectory);
    EXPECT_EQ(looked.empty() ? "" : looked.front().path, at(lookedFor));
  }
  EXPECT_EQ(ExecutableProgramFolder(real, folder / "usr/bin").path(), folder / "usr/share/brindle");
}

TEST(QtSystem, OneInstanceAtATimeTheServicesAndSettings) {
  testsupport::TempDir folder;
  const std::string lock = folder / "brindle.lock";
  const auto lockExists = [&] { return QFile::exists(lock.c_str()); };
  auto first = std::make_unique<LockFileInstanceGuard>(lock);
  EXPECT_FALSE(first->holdsLock() || lockExists()) << "no lock before the question";
  EXPECT_FALSE(first->anotherInstanceRunning());
  EXPECT_TRUE(first->holdsLock() && lockExists());
  LockFileInstanceGuard second(lock);
  EXPECT_TRUE(second.anotherInstanceRunning() && !second.holdsLock());
  first.reset();
  EXPECT_FALSE(lockExists()) << "the lock ends with its guard";
  EXPECT_TRUE(second.anotherInstanceRunning()) << "the first answer is kept";
  // Another process holding the lock counts; once it is killed, its lock is taken over.
  QProcess holder;
  holder.start(QStringLiteral(BRINDLE_LOCK_HOLDER), {QString::fromStdString(lock)});
  for (int i = 0; i < 100 && !holder.canReadLine(); ++i) holder.waitForReadyRead(100);
  ASSERT_EQ(holder.readLine().trimmed(), "locked");
  EXPECT_TRUE(LockFileInstanceGuard(lock).anotherInstanceRunning());
  holder.kill();
  ASSERT_TRUE(holder.waitForFinished(10000) && lockExists());
  EXPECT_FALSE(LockFileInstanceGuard(lock).anotherInstanceRunning());
  LockFileInstanceGuard unusable(folder / "no such folder/brindle.lock");
  EXPECT_FALSE(unusable.anotherInstanceRunning() || unusable.holdsLock());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(defaultLockFilePath())).dir().exists());
  EXPECT_EQ(QString::fromStdString(executableFolder()), QCoreApplication::applicationDirPath());
  QtPlatform services;
  EXPECT_EQ(services.platform().programFolder.path(),
            programFolderFor(executableFolder(), services.fileSystem));
  // Remembered values of any bytes come back after the settings file is opened again.
  const std::pair<std::string, std::string> values[] = {
      {"mainWindow/lastFolder", "/music/\xE9t\xC3\xA9"},
      {"windows/frmmainbrindle/geometry", std::string("\x00\x01\xFF geometry \n=[]", 17)}};
  {
    QtSettings settings(folder / "brindle.conf");
    EXPECT_EQ(settings.value("mainWindow/lastFolder"), std::nullopt);
    for (const auto& [key, value] : values) settings.setValue(key, value + "old");
    for (const auto& [key, value] : values) settings.setValue(key, value);
  }
  QtSettings reopened(folder / "brindle.conf");
  for (const auto& [key, value] : values) EXPECT_EQ(reopened.value(key), value) << key;
}

// UTF-8 names decode, other bytes show as U+FFFD; an unchanged display gives back the name.
TEST(FileNameText, BytesToTextAndBack) {
  const std::string latin1 = "caf\xE9.mp3";
  EXPECT_EQ(fileNameToUtf8("café"), "café");
  EXPECT_EQ(fileNameToUtf8(latin1), "caf\xEF\xBF\xBD.mp3");
  EXPECT_EQ(fileNameToText(latin1), QStringLiteral("caf\uFFFD.mp3"));
  EXPECT_EQ(fileNameToText("\xF0\x9F\x8E\xB5"), QString::fromUtf8("\xF0\x9F\x8E\xB5"));
  EXPECT_EQ(textToFileName(QStringLiteral("caf\u00E9.mp3")), "caf\xC3\xA9.mp3");
  EXPECT_EQ(textToFileName(fileNameToText(latin1), latin1), latin1);
  EXPECT_EQ(textToFileName(QStringLiteral("cafe.mp3"), latin1), "cafe.mp3") << "changed text";
}

}  // namespace
}  // namespace brindle::platform::qt

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Offscreen even when listed at build time; the toolkit's own dialogs, so tests can answer them.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
