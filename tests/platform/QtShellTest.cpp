// Tests of starting other programs: the choice of the editor command, a real
// start of a stand-in editor script, and the associated-program request.
#include "platform/qt/QtShell.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <map>

#include "QtTestSupport.h"
#include "TemporaryFolder.h"

namespace brindle::platform::qt {
namespace {

using test::ScopedEnvironment;
using ::testing::ElementsAre;

const std::string kTrickyPath = "/home/u/a b; rm -rf x $(y).txt";

/// A lookup answering from fixed tables.
EditorLookup fakeLookup(std::map<std::string, std::string> environment,
                        std::map<std::string, std::string> programs, std::string defaultId = {},
                        std::map<std::string, std::string> desktopEntries = {}) {
  EditorLookup lookup;
  lookup.environment = [environment](const std::string& name) -> std::optional<std::string> {
    auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
  };
  lookup.findProgram = [programs](const std::string& name) {
    auto found = programs.find(name);
    return found == programs.end() ? std::string() : found->second;
  };
  lookup.defaultTextEditorId = [defaultId] { return defaultId; };
  lookup.desktopEntryPath = [desktopEntries](const std::string& id) {
    auto found = desktopEntries.find(id);
    return found == desktopEntries.end() ? std::string() : found->second;
  };
  return lookup;
}

const std::map<std::string, std::string> kAllTools = {{"gio", "/usr/bin/gio"},
                                                      {"gtk-launch", "/usr/bin/gtk-launch"},
                                                      {"xdg-open", "/usr/bin/xdg-open"}};

TEST(EditorCommands, TheEditorVariableWinsAndKeepsThePathWhole) {
  auto commands = editorCommands(
      kTrickyPath, fakeLookup({{"BRINDLE_EDITOR", "/opt/editor"}}, kAllTools, "ed.desktop",
                              {{"ed.desktop", "/usr/share/applications/ed.desktop"}}));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].program, "/opt/editor");
  EXPECT_THAT(commands[0].arguments, ElementsAre(kTrickyPath));
}

TEST(EditorCommands, TheEditorVariableIsOneProgramNotACommandLine) {
  auto commands =
      editorCommands("/x.txt", fakeLookup({{"BRINDLE_EDITOR", "my editor --flag"}}, {}));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].program, "my editor --flag");
  EXPECT_THAT(commands[0].arguments, ElementsAre("/x.txt"));
}

TEST(EditorCommands, AnEmptyEditorVariableCountsAsUnset) {
  auto commands = editorCommands("/x.txt", fakeLookup({{"BRINDLE_EDITOR", ""}}, kAllTools));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].program, "/usr/bin/xdg-open");
}

TEST(EditorCommands, TheDesktopDefaultComesBeforeXdgOpen) {
  auto commands = editorCommands(
      kTrickyPath, fakeLookup({}, kAllTools, "org.example.Edit.desktop",
                              {{"org.example.Edit.desktop", "/usr/share/applications/e.desktop"}}));
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0],
            (EditorCommand{"/usr/bin/gio",
                           {"launch", "/usr/share/applications/e.desktop", kTrickyPath}}));
  EXPECT_EQ(commands[1],
            (EditorCommand{"/usr/bin/gtk-launch", {"org.example.Edit.desktop", kTrickyPath}}));
  EXPECT_EQ(commands[2], (EditorCommand{"/usr/bin/xdg-open", {kTrickyPath}}));
}

TEST(EditorCommands, WithoutTheDesktopEntryFileGioIsSkipped) {
  auto commands = editorCommands("/x.txt", fakeLookup({}, kAllTools, "gone.desktop"));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].program, "/usr/bin/gtk-launch");
  EXPECT_EQ(commands[1].program, "/usr/bin/xdg-open");
}

TEST(EditorCommands, WithoutADefaultOnlyXdgOpenRemains) {
  auto commands = editorCommands("/x.txt", fakeLookup({}, kAllTools));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], (EditorCommand{"/usr/bin/xdg-open", {"/x.txt"}}));
}

TEST(EditorCommands, NothingAvailableGivesNoCommand) {
  EXPECT_TRUE(editorCommands("/x.txt", fakeLookup({}, {}, "ed.desktop")).empty());
  EXPECT_TRUE(editorCommands("/x.txt", EditorLookup{}).empty());
}

TEST(EditorCommands, APathLikeAnOptionIsMadeHarmless) {
  auto commands = editorCommands("-rf.txt", fakeLookup({{"BRINDLE_EDITOR", "ed"}}, {}));
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_THAT(commands[0].arguments, ElementsAre("./-rf.txt"));
}

class EditorStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.valid());
    // The stand-in editor writes its argument count and first argument.
    const std::string script = "#!/bin/sh\nprintf '%s\\n%s' \"$#\" \"$1\" > '" + report +
                               ".part' && mv '" + report + ".part' '" + report + "'\n";
    QFile file(QString::fromStdString(editor));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(script.c_str());
    file.close();
    ASSERT_EQ(::chmod(editor.c_str(), 0755), 0);
  }

  /// The report of the stand-in editor, waiting up to five seconds for it.
  std::optional<std::string> waitForReport() {
    QFile file(QString::fromStdString(report));
    for (int i = 0; i < 500 && !file.exists(); ++i) QThread::msleep(10);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll().toStdString();
  }

  test::TemporaryFolder folder;
  const std::string editor = folder / "editor.sh";
  const std::string report = folder / "report.txt";
};

TEST_F(EditorStartTest, TheEditorGetsThePathAsOneIntactArgument) {
  ScopedEnvironment variable(kEditorVariable, editor);
  QtShell shell;
  const std::string path = folder / "a b; rm -rf x $(y).txt";
  Status status = shell.openInTextEditor(path);
  ASSERT_TRUE(status.ok()) << status.error().message;
  std::optional<std::string> seen = waitForReport();
  ASSERT_TRUE(seen.has_value()) << "the editor did not start within five seconds";
  EXPECT_EQ(*seen, "1\n" + path);
}

TEST_F(EditorStartTest, ARelativePathReachesTheEditorAbsolute) {
  ScopedEnvironment variable(kEditorVariable, editor);
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(folder.path())));
  QtShell shell;
  Status status = shell.openInTextEditor("notes 1.txt");
  QDir::setCurrent(previous);
  ASSERT_TRUE(status.ok());
  std::optional<std::string> seen = waitForReport();
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(*seen, "1\n" + (folder / "notes 1.txt"));
}

TEST_F(EditorStartTest, AnEditorThatCannotStartIsAnError) {
  ScopedEnvironment variable(kEditorVariable, folder / "no such editor");
  QtShell shell;
  Status status = shell.openInTextEditor(folder / "x.txt");
  ASSERT_FALSE(status.ok());
  EXPECT_THAT(status.error().message, ::testing::HasSubstr("no such editor"));
}

TEST_F(EditorStartTest, ANameThatIsNotUtf8IsRefusedRatherThanChanged) {
  ScopedEnvironment variable(kEditorVariable, editor);
  QtShell shell;
  Status status = shell.openInTextEditor(folder / "\xff\xfe.txt");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, EILSEQ);
  QThread::msleep(200);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(report))) << "the editor must not start";
  EXPECT_EQ(shell.openWithAssociatedProgram(folder / "\xff\xfe.txt").error().code, EILSEQ);
}

TEST(QtShell, NoEditorAnywhereIsAnError) {
  QtShell shell(EditorLookup{});
  Status status = shell.openInTextEditor("/tmp/x.txt");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ENOENT);
  EXPECT_THAT(status.error().message, ::testing::HasSubstr("BRINDLE_EDITOR"));
  EXPECT_FALSE(shell.openInTextEditor("").ok());
}

/// Receives the URLs the desktop is asked to open.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.append(url); }
};

TEST(QtShell, TheAssociatedProgramGetsTheFileAsItsUrl) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
  QtShell shell(EditorLookup{});
  const std::string path = "/tmp/music/a b #1 ?x%20.mp3";
  Status status = shell.openWithAssociatedProgram(path);
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  ASSERT_TRUE(status.ok());
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_TRUE(catcher.urls[0].isLocalFile());
  EXPECT_EQ(catcher.urls[0].toLocalFile(), QString::fromStdString(path));
  EXPECT_FALSE(shell.openWithAssociatedProgram("").ok());
}

// The file lands in the user's trash with its bytes and an info record, so
// the desktop can restore it, also when the user's data folder does not exist
// yet. Home and data folder point into the test's folder, so the real trash
// is never touched.
TEST(QtShell, MoveToTrashKeepsTheFileInTheUsersTrash) {
  test::TemporaryFolder folder;
  folder.write("song 1.mp3", "audio bytes");
  ScopedEnvironment home("HOME", folder.path());
  ScopedEnvironment data("XDG_DATA_HOME", folder / "data");
  QtShell shell(EditorLookup{});
  Status status = shell.moveToTrash(folder / "song 1.mp3");
  ASSERT_TRUE(status.ok()) << status.error().message;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(folder / "song 1.mp3")));
  EXPECT_EQ(test::TemporaryFolder::read(folder / "data/Trash/files/song 1.mp3"), "audio bytes");
  EXPECT_TRUE(
      QFile::exists(QString::fromStdString(folder / "data/Trash/info/song 1.mp3.trashinfo")));

  EXPECT_FALSE(shell.moveToTrash(folder / "gone.mp3").ok());
  EXPECT_EQ(shell.moveToTrash(folder / "\xff.mp3").error().code, EILSEQ);
}

}  // namespace
}  // namespace brindle::platform::qt

#include "QtShellTest.moc"
