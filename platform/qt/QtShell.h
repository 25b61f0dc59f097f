// Starting other programs on the user's files: the program associated with
// a file's type, and the plain text editor.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace brindle::platform::qt {

/// The environment variable naming the text editor. Its value is one program
/// (a name looked up on PATH, or a path), never a command line: it is not
/// split at blanks and no shell sees it, so it cannot carry arguments.
inline constexpr const char* kEditorVariable = "BRINDLE_EDITOR";

/// One way to start the editor: a program and its arguments, each passed to
/// the program as it is, without a shell.
struct EditorCommand {
  std::string program;
  std::vector<std::string> arguments;

  bool operator==(const EditorCommand&) const = default;
};

/// What the editor choice needs to know about the system; every member may
/// be left empty, which counts as "nothing there".
struct EditorLookup {
  /// The value of an environment variable, or nothing when it is not set.
  std::function<std::optional<std::string>(const std::string& name)> environment;
  /// The full path of an executable program found on PATH, or empty.
  std::function<std::string(const std::string& program)> findProgram;
  /// The desktop entry id of the default application for text/plain (such
  /// as "org.example.Editor.desktop"), or empty.
  std::function<std::string()> defaultTextEditorId;
  /// The full path of the desktop entry file with that id, or empty.
  std::function<std::string(const std::string& id)> desktopEntryPath;
};

/// The commands that may open `path` in the text editor, best first:
///  1. the program in BRINDLE_EDITOR, when set (then nothing else: a chosen
///     editor that fails to start is an error, not a reason to use another);
///  2. the desktop's default application for text/plain, started with
///     `gio launch <desktop file> <path>`, or else `gtk-launch <id> <path>`;
///  3. `xdg-open <path>`.
/// The path is always one argument of its own. A path beginning with '-' is
/// given as "./-..." so that no program takes it for an option.
std::vector<EditorCommand> editorCommands(const std::string& path, const EditorLookup& lookup);

/// The lookup of the running system: the process environment, PATH,
/// `xdg-mime query default text/plain` and the XDG application folders.
EditorLookup systemEditorLookup();

/// Starts programs as detached processes, without a shell.
class QtShell : public Shell {
 public:
  /// @param lookup  how the text editor is found: the running system by
  ///                default; tests pass their own.
  explicit QtShell(EditorLookup lookup = systemEditorLookup());

  /// Asks the desktop to open the file (QDesktopServices); fails when it
  /// reports that nothing could open it. Like openInTextEditor(), fails with
  /// EILSEQ for a name that is not valid UTF-8, which the toolkit cannot
  /// pass on unchanged.
  Status openWithAssociatedProgram(const std::string& path) override;
  /// Starts the first of editorCommands() that can be started; a relative
  /// path is made absolute first. Fails when none could be started.
  Status openInTextEditor(const std::string& path) override;
  /// The toolkit's move to the freedesktop.org trash of the user (or of the
  /// file's own file system). Fails with EILSEQ for a name that is not valid
  /// UTF-8 and with ENOTSUP when no trash could take the file.
  Status moveToTrash(const std::string& path) override;

 private:
  EditorLookup m_lookup;
};

}  // namespace brindle::platform::qt
