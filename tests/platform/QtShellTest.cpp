// Starting other programs: the choice of the editor command, a real start of a stand-in
// editor, and the trash.
#include "platform/qt/QtShell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>

#include "QtTestSupport.h"
#include "tests/support/TempDir.h"

namespace brindle::platform::qt {
namespace {

using test::ScopedEnvironment;

// The editor variable wins (one program, never a command line); empty counts as unset. Then
// the desktop's default editor through gio and gtk-launch, then xdg-open.
TEST(EditorCommands, TheVariableThenTheDesktopDefaultThenXdgOpen) {
  const std::string gio = "/usr/bin/gio", gtk = "/usr/bin/gtk-launch", xdg = "/usr/bin/xdg-open";
  const std::string file = "/usr/share/applications/e.desktop";
  struct Case {
    std::optional<std::string> variable;
    bool tools;
    std::string defaultId, entry;
    std::vector<EditorCommand> expected;
  } const cases[] = {
      {"my editor --flag", true, "e.desktop", file, {{"my editor --flag", {"/x"}}}},
      {"", true, "", "", {{xdg, {"/x"}}}},
      {{}, true, "e", file, {{gio, {"launch", file, "/x"}}, {gtk, {"e", "/x"}}, {xdg, {"/x"}}}},
      {{}, true, "gone.desktop", "", {{gtk, {"gone.desktop", "/x"}}, {xdg, {"/x"}}}},
      {{}, false, "e.desktop", file, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variable.value_or("(unset)") + " " + c.defaultId);
    EditorLookup lookup;
    lookup.environment = [&](const std::string& name) {
      return name == kEditorVariable ? c.variable : std::nullopt;
    };
    lookup.findProgram = [&](const std::string& name) {
      return c.tools ? "/usr/bin/" + name : std::string();
    };
    lookup.defaultTextEditorId = [&] { return c.defaultId; };
    lookup.desktopEntryPath = [&](const std::string& id) {
      return id == c.defaultId ? c.entry : std::string();
    };
    EXPECT_EQ(editorCommands("/x", lookup), c.expected);
  }
  EXPECT_TRUE(editorCommands("/x", EditorLookup{}).empty());
  EditorLookup variable;
  variable.environment = [](const std::string&) { return std::optional<std::string>("ed"); };
  EXPECT_EQ(editorCommands("-rf.txt", variable),
            (std::vector<EditorCommand>{{"ed", {"./-rf.txt"}}}))
      << "not taken for an option";
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
    for (int i = 0; i < 500 && !QFile::exists(QString::fromStdString(report)); ++i) {
      QThread::msleep(10);
    }
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

}  // namespace
}  // namespace brindle::platform::qt
