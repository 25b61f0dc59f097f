// File commands and list output, the main window's wiring and help mode, the Edit menu, history.
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include <brindle/Version.h>
#include <filesystem>

#include "app/MainMenu.h"
#include "app/commands/FileCommands.h"
#include "app/commands/FileListOutput.h"
#include "app/program/HistoryAtStart.h"
#include "app/program/InstallEditCommands.h"
#include "app/program/InstallRenameCommands.h"
#include "app/program/InstallTagEditorCommands.h"
#include "app/testing/FakeFileList.h"
#include "infowindows/Aboutform.h"
#include "infowindows/HelpForm.h"
#include "infowindows/frmDisclaimer.h"
#include "infowindows/frmWarning.h"
#include "platform/qt/QtPrinter.h"
#include "platform/text/FileNameText.h"
#include "tests/app/MainWindowFixture.h"
#include "ui/core/HelpTopics.h"
#include "ui/core/Mnemonics.h"
#include "ui/history/ObservedHistory.h"

namespace brindle::app {
namespace {

using platform::Answer;
using platform::testing::DialogCall;
using platform::testing::FsOp;
using Step = platform::testing::RecordingPrinter::Step;
using Command = void (*)(platform::Platform&, ui::FileListHost&);
using Names = std::vector<std::string>;

const std::string kRule(59, '_');
const std::string kBanner = std::string(kProductName) + " V" + kVersionText;
const std::string kLatin1Name = "caf\xe9.txt";  // not UTF-8: the listing keeps these very bytes
const Answer yes = Answer::Yes, no = Answer::No;

/// Every dialog shown, "|" after each, with `folder` written as "@".
std::string dialogTrace(const platform::testing::ScriptedDialogs& dialogs,
                        const std::string& folder = "@") {
  std::string trace;
  for (const DialogCall& call : dialogs.calls()) {
    const bool saveAs = call.kind == DialogCall::Kind::SaveAs,
               input = call.kind == DialogCall::Kind::Input;
    std::string line = saveAs ? "saveas " + call.saveAs.initialDirectory +
                                    (call.saveAs.confirmOverwrite ? " confirm" : " append")
                       : input ? "input " + call.input.prompt
                               : call.message.text;
    if (const auto at = line.find(folder); at != std::string::npos)
      line.replace(at, folder.size(), "@");
    trace += line + "|";
    EXPECT_EQ(saveAs ? call.saveAs.title : kBanner, kBanner);
  }
  return trace;
}

// Edit and delete: questions, deletions, progress steps, the trash, the stop at each failure.
TEST(FileCommands, QuestionsDeletionsProgressAndFailures) {
  const Command cur = deleteCurrentEntry, sel = deleteSelection, edit = editCurrentEntry;
  const std::string ds = "Delete Selected Files?|";
  // clang-format off
  // command, current entry (-1: none), selection ('x': selected; its length is the list's), answer,
  // the name whose deletion fails (any: the editor fails), trash, and what is seen and done
  const std::tuple<Command, int, const char*, Answer, const char*, bool, std::string> cases[] = {
      {cur, 1, "----", no, "", false, "Delete: @/b|"},
      {cur, 2, "x-x-", yes, "", false, "Delete: @/c|gone c|reread|"},  // only the current
      {cur, -1, "----", yes, "", false, ""},
      {cur, 0, "----", yes, "a", false, "Delete: @/a|"},  // fails quietly
      {cur, 1, "----", yes, "", true, "Delete: @/b|gone b|reread|"},
      {sel, -1, "xxxx", no, "", false, ds},
      {sel, -1, "-x-x", yes, "", false, ds + "max 4|value 1|value 3|value 0|gone b d|reread|"},
      {sel, -1, "----", yes, "", false, ds + "max 4|value 0|reread|"},
      {sel, -1, "", yes, "", false, ds + "value 0|reread|"},  // empty: the maximum kept
      {sel, -1, "xxxx", yes, "b", false, ds + "Error deleting Files!|max 4|value 0|value 1|gone a|"},
      {sel, -1, "x-x-", yes, "", true, ds + "max 4|value 0|value 2|value 0|gone a c|reread|"},
      {edit, 2, "x-x-", yes, "", false, "edit @/c|"},
      {edit, 3, "----", yes, "d", false, "edit @/d|"},  // the editor fails unreported
      {edit, -1, "----", yes, "", false, ""},
  };
  // clang-format on
  for (const auto& [command, current, selected, answer, failing, trash, expected] : cases) {
    SCOPED_TRACE(expected);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir folder, bin;
    std::vector<std::string> names{"a", "b", "c", "d"};
    names.resize(std::strlen(selected));
    for (const std::string& name : names) folder.write(name, name);
    FakeFileList list(folder.path(), names);
    for (std::size_t i = 0; i < names.size(); ++i) list.selected[i] = selected[i] == 'x';
    list.current = current;
    if (trash) test.shell.setTrashFolder(bin.path());
    if (*failing) {
      test.fileSystem.fail(FsOp::Remove, platform::Error{EBUSY, "in use"}, folder.file(failing));
      test.shell.setFailure(platform::Error{ENOENT, "no editor"});
    }
    test.dialogs.answer(answer);
    command(services, list);
    std::string trace = dialogTrace(test.dialogs, folder.path()), gone;
    for (const std::string& step : list.progress) trace += step + "|";
    for (const std::string& name : names) {
      if (std::filesystem::exists(folder.file(name))) continue;
      gone += " " + name;
      EXPECT_EQ(trash ? testsupport::TempDir::read(bin.file(name)) : name, name);
    }
    if (!gone.empty()) trace += "gone" + gone + "|";
    for (int i = 0; i < list.rereads; ++i) trace += "reread|";
    for (const std::string& path : test.shell.edited())
      trace += "edit @" + path.substr(folder.path().size()) + "|";
    EXPECT_EQ(trace, expected);
    EXPECT_TRUE(!trash || test.fileSystem.callsOf(FsOp::Remove).empty());
    EXPECT_LE(list.selectionReads, 1);
  }
  EXPECT_EQ(platform::entryPath("/", "a b.txt"), "/a b.txt");
}

TEST(FileListOutput, NamesWithoutMp3RemoveOnlyTheExactLowerCaseEnding) {
  // clang-format off
  const std::pair<const char*, const char*> rows[] = {
      {"01 Intro.mp3", "01 Intro"}, {"Song.MP3", "Song.MP3"}, {"Song.Mp3", "Song.Mp3"}, {"x.mp3.mp3", "x"},
      {"a.mp3 live.mp3", "a live"}, {".mp3", ""}, {"mp3", "mp3"}, {"", ""},
      {".m.mp3p3", ".mp3"},  // one pass from the left: what the removal joins up stays
  };
  // clang-format on
  for (const auto& [name, expected] : rows) EXPECT_EQ(withoutMp3(name), expected) << name;
  EXPECT_EQ(listOutputTitle(), kBanner);
}

// Written, appended, printed byte for byte; dialogs in order; each failure; re-read when done.
TEST(FileListOutput, WritingAppendingAndPrintingTheList) {
  const Command write = writeFileListToFile, append = appendFileListToFile, print = printFileList;
  // clang-format off
  const std::string head = kBanner + " Files List\r\nPATH: /d\r\n \r\n";
  const std::string plain = head + "A.txt\r\nb.mp3\r\n" + kLatin1Name + "\r\n\r\n" + kRule + "\r\n";
  const Names three{"A.txt", "b.mp3", kLatin1Name}, mp3s{"01 Intro.mp3", "03 Loud.MP3", "x.mp3.mp3"};
  const std::string cover = " \r\n01 Intro\r\n03 Loud.MP3\r\nx\r\n\r\n", tcd = "input Title for CD|";
  const std::string w = "saveas /box confirm|Format for Cover?|", done = "Files Printed To:  @/list.txt|";
  const std::string a = "Files will be appennded to the end of the file!|saveas /box append|" + w.substr(20);
  const std::string p = "Continue Printing 3 Files?|", aborted = p + "Printing Aborted!!|";
  // command, names, answer (cover? print?), title typed, Save As or printer choice accepted, the
  // target's bytes before, the failing printer step (any: the write fails), dialogs, bytes after
  using Text = std::optional<std::string>;
  using Case = std::tuple<Command, Names, Answer, Text, bool, Text, std::optional<Step>, std::string, Text>;
  const Case cases[] = {
      {write, three, no, {}, true, "old content, longer than the new one", {}, w + done, plain},
      {append, three, no, {}, true, "kept\r\n", {}, a + done, "kept\r\n" + plain},
      {write, {}, no, {}, true, {}, {}, w + done, head + "\r\n" + kRule + "\r\n"},
      {write, mp3s, yes, "Mix \xc3\xa4", true, {}, {}, w + tcd + done, "Mix \xc3\xa4\r\n" + cover},
      {append, mp3s, yes, {}, true, "One\r\n", {}, a + tcd + done, "One\r\n\r\n" + cover},  // no title
      {write, three, no, {}, false, {}, {}, w, {}},
      {append, three, yes, "T", false, {}, {}, a + tcd, {}},
      {write, three, no, {}, true, {}, Step::PrintLine, w, {}},
      {print, three, no, {}, true, {}, {}, p, {}},
      {print, three, yes, {}, false, {}, {}, p + "Files Printed To Printer:|", {}},  // cancelled, printed
      {print, three, yes, {}, true, {}, Step::SetFontSize, aborted, {}},
      {print, three, yes, {}, true, {}, Step::PrintLine, aborted, {}},
      {print, three, yes, {}, true, {}, Step::EndDocument, aborted, {}},
  };
  // clang-format on
  for (const auto& [run, names, answer, typed, accepted, before, failing, dialogs, after] : cases) {
    SCOPED_TRACE(dialogs);
    platform::testing::TestPlatform test;
    platform::Platform services = test.platform();
    testsupport::TempDir output;
    const std::string target = output.file("list.txt");
    if (before) output.write("list.txt", *before);
    FakeFileList list("/d", names);
    list.pathBox = "/box";
    test.printer.setChoiceAccepted(accepted);
    if (failing && run == print) test.printer.failAt(*failing);
    if (failing && run != print) test.fileSystem.fail(FsOp::WriteFile, {ENOSPC, "full"});
    if (run != print) test.dialogs.choose(accepted ? target : "");
    test.dialogs.answer(answer);
    if (typed) test.dialogs.type(*typed);
    run(services, list);
    const std::string trace = dialogTrace(test.dialogs, output.path());
    EXPECT_EQ(trace, dialogs);
    EXPECT_EQ(std::filesystem::exists(target) ? testsupport::TempDir::read(target) : "(none)",
              after.value_or(before.value_or("(none)")));
    EXPECT_EQ(list.rereads, trace.find("Files Printed To") != std::string::npos ? 1 : 0);
    const bool printed = run == print && list.rereads == 1;
    ASSERT_EQ(test.printer.documents().size(), printed ? 1u : 0u);
    EXPECT_EQ(printed ? textFileBytes(test.printer.documents()[0]) : plain, plain);
    EXPECT_EQ(printed ? test.printer.fontSize() : 11, 11);
  }
}

class MainWindowTest : public MainWindowFixture {
 protected:
  MainWindowTest() : store(std::move(history::openHistory(":memory:").value())), observed(*store) {}
  void TearDown() override { help.removeWindow(otherWindow), window.reset(); }
  /// Starts over b.mp3 (3000 bytes), A.txt (10), .hidden and the folder Music.
  void startBrowsing() {
    browsed.write("b.mp3", std::string(3000, 'b'));
    browsed.write("A.txt", std::string(10, 'a'));
    browsed.makeDirectory("Music");
    for (const char* name : {".hidden", "Music/song.mp3"}) browsed.write(name);
    start();
  }
  /// Starts over `names` with every command; `recording` false: no history.
  void startWith(std::initializer_list<const char*> names, bool recording = true) {
    for (const char* name : names) browsed.write(name, name);
    start();
    ui::ObservedHistory* h = recording ? &observed : nullptr;
    rename::installRenameCommands(*window, h);
    edits = &installEditCommands(*window, h, tageditor::installTagEditorCommands(*window, h));
  }
  Names listed() {
    Names names;
    for (int i = 0; i < window->fileList().listCount(); ++i)
      names.push_back(window->fileList().entryName(i));
    return names;
  }
  /// Folder shown | path box | count box, and " | save" while Save Edited is on.
  std::string state() {
    return window->currentDirectory() + " | " + window->pathBox().text().toStdString() + " | " +
           window->countBox().text().toStdString() +
           (window->saveEditedButton().isEnabled() ? " | save" : "");
  }
  template <class Window>
  static std::vector<Window*> shown() {
    std::vector<Window*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
        found.push_back(window);
    return found;
  }
  /// How many Help, About, Warning and Disclaimer windows are open.
  static std::string openCounts() {
    using namespace infowindows;
    return std::to_string(shown<HelpForm>().size()) + std::to_string(shown<Aboutform>().size()) +
           std::to_string(shown<frmWarning>().size()) +
           std::to_string(shown<frmDisclaimer>().size());
  }
  QAction& undoItem() { return *window->menuItem("mnuundo"); }
  /// Runs "Convert All to Lowercase" on every file, answering Yes.
  void lowerAll() {
    window->fileList().selectAllEntries();
    test.dialogs.answer(Answer::Yes);
    window->menuItem("convertlow")->trigger();
    test.dialogs.clear();
  }
  ui::HelpMode otherWindow;
  std::unique_ptr<history::History> store;
  ui::ObservedHistory observed;
  EditCommands* edits = nullptr;
};

// Each file command's item (and the Delete key) acts on the window's own list and progress bar.
TEST_F(MainWindowTest, RunOnTheWindowsList) {
  const std::string ask = "Format for Cover?|count 4 max 100";
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {"printer1", "Continue Printing 4 Files?|count 4 max 100"},
      {"addto", "saveas /box confirm|" + ask},
      {"fileappend", "Files will be appennded to the end of the file!|saveas /box append|" + ask},
      {"delete", "Delete: @/c.txt|count 3 max 100"},
      {"", "Delete: @/c.txt|count 3 max 100"},  // the Delete key
      {"deletefile", "Delete Selected Files?|count 2 max 4"},
      {"notepad", "edit @/c.txt|count 4 max 100"},
      {"editfile", "edit @/c.txt|count 4 max 100"},
  };
  // clang-format on
  for (const auto& [name, expected] : rows) {
    SCOPED_TRACE(name);
    test.dialogs.clear();
    for (const char* file : {"a.txt", "b.txt", "c.txt", "d.txt"}) browsed.write(file, file);
    start();
    window->pathBox().setText("/box");
    clickEntry(0);
    clickEntry(2, Qt::ControlModifier);  // two selected, c.txt current
    if (name.starts_with("delete") || name.empty()) test.dialogs.answer(Answer::Yes);
    if (name == "addto" || name == "fileappend") test.dialogs.choose("");
    const std::size_t edits = test.shell.edited().size();
    name.empty() ? QTest::keyClick(&window->fileList(), Qt::Key_Delete)
                 : window->menuItem(name)->trigger();
    std::string trace = dialogTrace(test.dialogs, browsed.path());
    if (test.shell.edited().size() > edits)
      trace += "edit @" + test.shell.edited().back().substr(browsed.path().size()) + "|";
    trace += "count " + window->countBox().text().toStdString() + " max " +
             std::to_string(window->progressBar().maximum());
    EXPECT_EQ(trace, expected);
    window.reset();
  }
}

// Through the window: a folder and names that are not UTF-8 keep their bytes.
TEST_F(MainWindowTest, ListingKeepsTheBytesOfFolderAndNames) {
  const std::string folder = browsed.makeDirectory("caf\xe9");
  browsed.write("caf\xe9/" + kLatin1Name);
  window = std::make_unique<frmmainbrindle>(services, help, folder);
  ASSERT_TRUE(window->startUp());
  test.dialogs.choose(browsed.file("list.txt")).answer(Answer::No);
  window->menuItem("addto")->trigger();
  EXPECT_EQ(testsupport::TempDir::read(browsed.file("list.txt")),
            kBanner + " Files List\r\nPATH: " + folder + "\r\n \r\n" + kLatin1Name + "\r\n\r\n" +
                kRule + "\r\n");
}

// The listing printed for real into a PDF file, read back by pdftotext.
TEST(FileListOutput, PrintsTheListingIntoAPdfFile) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  platform::testing::TestPlatform test;
  testsupport::TempDir output;
  const std::string pdf = output.file("list.pdf");
  platform::qt::QtPrinter printer(nullptr, pdf);
  platform::Platform printing{test.dialogs,       test.fileSystem, printer,     test.shell,
                              test.instanceGuard, test.clock,      test.folder, test.settings};
  FakeFileList list("/music", {"A.txt", "Grüße aus Köln.txt"});
  test.dialogs.answer(Answer::Yes);
  printFileList(printing, list);
  EXPECT_EQ(test.dialogs.messages().back().text, "Files Printed To Printer:");
  QProcess process;
  process.start("pdftotext", {"-enc", "UTF-8", platform::fileNameToText(pdf), "-"});
  ASSERT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0);
  const std::string text = process.readAllStandardOutput().toStdString();
  std::size_t at = 0;
  for (const std::string& line : {kBanner + " Files List", std::string("PATH: /music"),
                                  std::string("A.txt"), std::string("Grüße aus Köln.txt"), kRule})
    ASSERT_NE(at = text.find(line, at), std::string::npos)
        << line << " missing or out of order in " << text;
}

TEST_F(MainWindowTest, StartUpFillsTheListsAndASecondInstanceEnds) {
  startBrowsing();
  EXPECT_EQ(window->windowTitle().toStdString(),
            kProductName + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor));
  EXPECT_EQ(listed(), (Names{".hidden", "A.txt", "b.mp3"}));
  EXPECT_EQ(state() + " | " + window->driveList().currentText().toStdString(),
            browsed.path() + " | " + browsed.path() + " | 3 | " + browsed.path());
  test.instanceGuard.setAnotherRunning(true);
  EXPECT_FALSE(frmmainbrindle(services, help, browsed.path()).startUp());
  EXPECT_EQ(dialogTrace(test.dialogs), "Brindle Already Running?|");
  EXPECT_EQ(test.instanceGuard.calls(), 2);
}

// Name box, Save Edited, selection note and caret readout follow the clicks; header clicks sort.
TEST_F(MainWindowTest, NameBoxAndSortingFollowTheClicks) {
  startBrowsing();
  clickEntry(1);
  QLineEdit& nameBox = window->nameBox();
  EXPECT_EQ(nameBox.text().toStdString() + state(),
            "A.txt" + browsed.path() + " | " + browsed.path() + " | 3");
  nameBox.setFocus();
  QTest::keyClick(&nameBox, Qt::Key_Home);
  QTest::keyClick(&nameBox, Qt::Key_Backspace);  // changes nothing, still counts
  EXPECT_TRUE(window->saveEditedButton().isEnabled());
  clickEntry(2, Qt::ControlModifier);
  EXPECT_EQ(nameBox.text() + "|" + window->selectionNote().text(), "|2 of 3 files selected");
  nameBox.setText("abcdef");
  nameBox.setSelection(5, -4);  // marked backwards: the start is position 2
  EXPECT_EQ(window->caretReadout().text(), "2,4");
  EXPECT_EQ(window->fileList().model()->index(2, 1).data().toString(), "2.9 KB");
  QHeaderView* header = window->fileList().header();
  const QPoint sizeColumn(header->sectionViewportPosition(1) + 5, header->height() / 2);
  for (int click = 0; click < 2; ++click)
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeColumn);
  window->rereadFileList();
  EXPECT_EQ(listed(), (Names{"b.mp3", "A.txt", ".hidden"}));
}

// Folder list, drive list (not an unreadable one) and path bar (completion, Enter) show a folder.
TEST_F(MainWindowTest, FolderListsDrivesAndPathBarShowAFolder) {
  testsupport::TempDir other;
  other.write("x.txt");
  test.fileSystem.setDrives({"/", browsed.path(), other.path(), "/no-such-drive-here"});
  startBrowsing();
  const std::string music = browsed.file("Music"), inMusic = music + " | " + music + " | 1";
  browsed.write("new.txt");
  window->pathBox().setText("typed");
  window->saveEditedButton().setEnabled(true);
  emit window->directoryList().entryClicked();
  EXPECT_EQ(state(), browsed.path() + " | typed | 4");
  window->saveEditedButton().setEnabled(true);
  emit window->directoryList().itemActivated(
      window->directoryList().findItems("Music", Qt::MatchEndsWith).at(0));
  EXPECT_EQ(state(), inMusic);
  emit window->driveList().activated(window->driveList().findText("/no-such-drive-here"));
  EXPECT_EQ(state(), inMusic);
  emit window->driveList().activated(
      window->driveList().findText(QString::fromStdString(other.path())));
  EXPECT_EQ(state(), other.path() + " | " + other.path() + " | 1");
  QLineEdit& bar = window->pathBar();
  EXPECT_EQ(bar.text().toStdString(), other.path());
  bar.clear();
  QTest::keyClicks(&bar, QString::fromStdString(browsed.path() + "/Mu"));
  ASSERT_EQ(bar.completer()->model()->rowCount(), 1);
  EXPECT_EQ(bar.completer()->model()->index(0, 0).data().toString().toStdString(), music);
  bar.completer()->popup()->hide();
  for (const std::string& typed : {music, browsed.file("Music/song.mp3")}) {
    bar.setText(QString::fromStdString(typed));
    QTest::keyClick(&bar, Qt::Key_Return);
    EXPECT_EQ(state() + " | " + bar.text().toStdString(), inMusic + " | " + music);
  }
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// Select All, Refresh, F5, a double click, the context menu; Select All on an empty folder.
TEST_F(MainWindowTest, ListItemsAndKeys) {
  startBrowsing();
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->fileList().selectionFlags(), (std::vector<bool>{true, true, true}));
  browsed.write("c.txt");
  window->menuItem("refreshfiles")->trigger();
  browsed.write("late.txt");
  const QString afterRefresh = window->countBox().text();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(&window->fileList(), Qt::Key_F5);
  EXPECT_EQ(afterRefresh + window->countBox().text(), "45");
  clickEntry(1);
  ui::FileListBox& list = window->fileList();
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {},
                     list.visualRect(list.model()->index(1, 0)).center());
  EXPECT_EQ(test.shell.opened(), (Names{browsed.file("A.txt")}));
  emit list.customContextMenuRequested(QPoint(3, 3));
  EXPECT_TRUE(window->windowMenu().isVisible());
  window->windowMenu().close();
  ASSERT_TRUE(window->directoryList().setPath(browsed.makeDirectory("Empty")));
  window->menuItem("selectall")->trigger();
  EXPECT_EQ(window->countBox().text(), "0");
}

// Help and About open once; Disclaimer with warning, OK shows the main window; closing closes all.
TEST_F(MainWindowTest, InformationWindowsOpenAndClose) {
  programFolder.write("User License Agreement.txt", "Terms.\r\n");
  startBrowsing();
  for (const char* item : {"help1", "about", "about", "mnudisclaimer"})
    window->menuItem(item)->trigger();
  EXPECT_EQ(openCounts(), "1111");
  infowindows::frmDisclaimer* disclaimer = shown<infowindows::frmDisclaimer>().at(0);
  EXPECT_EQ(disclaimer->text1(), "Terms.\r\n");
  window->hide();
  QTest::mouseClick(disclaimer->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  EXPECT_EQ(openCounts() + (window->isVisible() ? " shown" : ""), "1110 shown");
  QWidget other;
  other.show();
  window->close();
  EXPECT_EQ(openCounts() + (other.isVisible() ? " other" : ""), "0000");
  EXPECT_TRUE(test.dialogs.calls().empty());
}

// The folder shown and the window's place at closing are where the next run starts.
TEST_F(MainWindowTest, TheNextRunStartsInTheLastFolderAndPlace) {
  startBrowsing();
  ASSERT_TRUE(window->directoryList().setPath(browsed.file("Music")));
  window->setGeometry(40, 50, 700, 500);
  QApplication::processEvents();
  window->browseSplitter().setSizes({200, 460});
  const QList<int> panes = window->browseSplitter().sizes();
  const QRect place = window->geometry();
  window->close();
  start();
  QApplication::processEvents();
  EXPECT_EQ(
      std::tuple(window->currentDirectory(), window->geometry(), window->browseSplitter().sizes()),
      std::tuple(browsed.file("Music"), place, panes));
}

struct Target {  // a menu item (with its command) or a control (pressed or focused), its topic
  std::string name;
  int topic;
  bool focus = false;
  std::optional<MenuCommand> command = {};
};

class HelpModeTarget : public MainWindowTest, public ::testing::WithParamInterface<Target> {};

// Outside help mode the item runs; in help mode it only shows its topic, and help mode ends.
TEST_P(HelpModeTarget, ShowsTopicInHelpModeAndRunsOtherwise) {
  const Target& target = GetParam();
  startBrowsing();
  help.addWindow(otherWindow);
  int runs = 0;
  if (target.command) window->setCommand(*target.command, [&] { ++runs; });
  QWidget* widget = target.name == "Dir1"      ? window->directoryList().viewport()
                    : target.name == "File1"   ? window->fileList().viewport()
                    : target.name == "PathBar" ? static_cast<QWidget*>(&window->pathBar())
                                               : window->findChild<QWidget*>(target.name.c_str());
  ASSERT_TRUE(target.command || widget);
  const auto hit = [&] {  // the item triggered, or the control clicked or focused
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    if (target.command) return window->menuItem(target.name)->trigger();
    target.focus ? void(QApplication::sendEvent(widget, &focus))
                 : QTest::mouseClick(widget, Qt::LeftButton, {}, {5, 5});
  };
  hit();
  EXPECT_EQ(runs + test.dialogs.calls().size(), target.command ? 1u : 0u);
  const std::string pathBefore = window->currentDirectory();
  window->fileList().clearSelection();
  window->helpMode().toggle();
  otherWindow.toggle();
  EXPECT_EQ(window->cursor().shape(), Qt::WhatsThisCursor);
  test.dialogs.clear();
  test.fileSystem.clearCalls();
  hit();
  ASSERT_EQ(test.dialogs.calls().size() + test.fileSystem.calls().size(), 2u);
  const auto box = test.dialogs.messages()[0];
  const auto& read = test.fileSystem.calls()[0];
  EXPECT_EQ(std::tuple(box.title, box.text, window->helpMode().isOn(), otherWindow.isOn(), read.op,
                       read.path, test.shell.opened().size(), window->cursor().shape(), runs,
                       window->fileList().selectedCount(), window->currentDirectory()),
            std::tuple("Help!", topicText(target.topic), false, false, FsOp::ReadFile,
                       programFolder.file("Brindlehelp.txt"), 0u, Qt::ArrowCursor,
                       target.command ? 1 : 0, 0, pathBefore));
}

std::vector<Target> targets() {
  using namespace topics;
  // clang-format off
  std::vector<Target> all{{"Dir1", kDirectoryList}, {"File1", kFileList}, {"Text1", kFileCountBox},
      {"Text1", kFileCountBox, true}, {"Text2", kPathBox}, {"Text2", kPathBox, true}, {"PathBar", kPathBox},
      {"Text3", kNameBox}, {"Picture1", kMainWindowPicture}};
  // clang-format on
  for (const auto& item : mainMenuItems()) {
    if (item.isSeparator() || item.topic == kNoTopic) continue;
    if (*item.command == MenuCommand::exit || *item.command == MenuCommand::about) continue;
    all.push_back({objectNameOf(*item.command), item.topic, false, item.command});
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(EveryItemAndControl, HelpModeTarget, ::testing::ValuesIn(targets()),
                         [](const auto& p) {
                           return p.param.name + (p.param.focus ? "Focus" : "");
                         });

// (?) toggles help mode; Exit (No keeps, Yes closes all), About, Disclaimer, Save Edited still run.
TEST_F(MainWindowTest, ItemsWithoutTopicRunInHelpModeAndExitAsks) {
  startBrowsing();
  window->menuItem("sensitivehelp")->trigger();
  const bool on = window->helpMode().isOn();
  window->menuItem("sensitivehelp")->trigger();
  EXPECT_TRUE(on && !window->helpMode().isOn());
  int runs = 0;
  for (MenuCommand command :
       {MenuCommand::about, MenuCommand::mnudisclaimer, MenuCommand::Command1})
    window->setCommand(command, [&] { ++runs; });
  window->helpMode().toggle();
  for (const char* item : {"about", "mnudisclaimer"}) window->menuItem(item)->trigger();
  window->saveEditedButton().setEnabled(true);
  QTest::mouseClick(&window->saveEditedButton(), Qt::LeftButton);
  EXPECT_EQ(runs, 3);
  QWidget other;
  other.show();
  window->menuItem("exit")->trigger();  // answered No
  EXPECT_TRUE(window->helpMode().isOn() && window->isVisible() && other.isVisible());
  test.dialogs.answer(Answer::Yes);
  window->menuItem("exit")->trigger();
  EXPECT_EQ(dialogTrace(test.dialogs), "Exit, Are You Sure?|Exit, Are You Sure?|");
  EXPECT_FALSE(window->isVisible() || other.isVisible());
}

// Edit follows Options; Undo (Ctrl+Z) undoes the newest batch, re-reads; its caption follows.
TEST_F(MainWindowTest, UndoItemUndoesTheNewestBatchAndRereadsTheList) {
  startWith({"A.MP3", "B.Txt", "c.txt"});
  EXPECT_EQ(window->menuBar()->actions()[1]->menu(), window->menu("edit"));
  EXPECT_EQ(undoItem().shortcut(), QKeySequence(QKeySequence::Undo));
  EXPECT_FALSE(undoItem().isEnabled());
  lowerAll();
  ASSERT_EQ(listed(), (Names{"a.mp3", "b.txt", "c.txt"}));
  EXPECT_EQ(undoItem().text() + (undoItem().isEnabled() ? " (on)" : ""),
            "Undo Convert All to Lowercase (on)");
  undoItem().trigger();
  EXPECT_EQ(listed(), (Names{"A.MP3", "B.Txt", "c.txt"}));
  EXPECT_NE(test.dialogs.messages().at(0).text.find("2 file(s) restored"), std::string::npos);
  EXPECT_EQ(undoItem().text(), "Undo Undo Convert All to Lowercase");
  ASSERT_TRUE(store->beginBatch("brindle-cli write", {}, {}).ok() &&
              store->closeBatch(3, history::BatchState::Done).ok());
  emit window->menu("edit")->aboutToShow();
  EXPECT_EQ(undoItem().text(), "Undo brindle-cli write");
}

// The History item lists the batches, follows new ones, and undoes the chosen one.
TEST_F(MainWindowTest, HistoryWindowUndoesTheChosenBatch) {
  startWith({"One.txt", "two.TXT"});
  window->menuItem("mnuhistory")->trigger();
  ui::HistoryWindow* history = edits->historyWindow();
  ASSERT_TRUE(history && history->isVisible());
  lowerAll();
  ASSERT_EQ(history->batchList().topLevelItemCount(), 1);
  EXPECT_FALSE(history->undoButton().isEnabled());
  history->chooseRow(0);
  QTest::mouseClick(&history->undoButton(), Qt::LeftButton);
  EXPECT_EQ(listed(), (Names{"One.txt", "two.TXT"}));
  ASSERT_EQ(history->batchList().topLevelItemCount(), 2);
  EXPECT_EQ(history->batchList().topLevelItem(1)->text(3), "undone");
  history->chooseRow(1);
  EXPECT_FALSE(history->undoButton().isEnabled());
}

TEST_F(MainWindowTest, WithTheHistoryOffBothItemsSaySo) {
  startWith({"Keep.TXT"}, false);
  window->menuItem("mnuhistory")->trigger();
  EXPECT_EQ(edits->historyWindow(), nullptr);
  edits->undoNewest();
  EXPECT_EQ(dialogTrace(test.dialogs),
            "The history is off: changes are not recorded.|Nothing to undo|");
}

// An open batch is recovered and said, then nothing; off: no history; unopenable: said, none.
TEST(HistoryAtStart, RecoversOpenBatchesAndSaysWhatItDid) {
  testsupport::TempDir folder;
  folder.write("not-a-folder");
  const std::string location = folder / "history.sqlite", moved = folder / ".brindle-12345678";
  folder.write(".brindle-12345678", "song");  // where the interrupted batch had put Song.mp3
  const history::RenameChange step{folder.path(), "Song.mp3", ".brindle-12345678", "song.mp3"};
  ASSERT_TRUE(history::openHistory(location)
                  .value()
                  ->beginBatch("Convert All to Lowercase", {}, {step})
                  .ok());
  platform::posix::PosixFileSystem fileSystem;
  std::string said;
  const auto start = [&](const std::string& at) {
    platform::testing::ScriptedDialogs dialogs;
    const auto environment = [&](const std::string& name) {
      return name == "BRINDLE_HISTORY" ? std::optional(at) : std::nullopt;
    };
    const bool opened = openHistoryAtStart(environment, fileSystem, dialogs) != nullptr;
    for (const auto& box : dialogs.messages()) said += box.text + "|";
    return opened;
  };
  EXPECT_TRUE(start(location));
  for (const std::string& piece : {std::string("Convert All to Lowercase"), folder / "song.mp3"})
    EXPECT_NE(said.find(piece), std::string::npos) << said;
  EXPECT_EQ(testsupport::TempDir::read(folder / "song.mp3"), "song");
  EXPECT_FALSE(std::filesystem::exists(moved));
  said.clear();
  EXPECT_TRUE(start(location) && !start("off") && said.empty()) << said;
  EXPECT_FALSE(start(folder / "not-a-folder/history.sqlite"));
  EXPECT_TRUE(said.find("not recorded") != std::string::npos && said.find('|') == said.size() - 1)
      << said;
}

}  // namespace
}  // namespace brindle::app
