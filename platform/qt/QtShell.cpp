// Chooses and starts the text editor and the associated program. Programs
// are started directly with their arguments (never through a shell), so a
// file name with blanks or shell characters reaches them intact.
#include "platform/qt/QtShell.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/text/FileNameText.h"

namespace brindle::platform::qt {

namespace {

/// The bytes as the toolkit's text, or nothing when the text would stand for
/// other bytes: a name that is not valid UTF-8 cannot be handed on intact.
std::optional<QString> decodeExactly(const std::string& bytes) {
  QString text = fileNameToText(bytes);
  if (textToFileName(text) != bytes) return std::nullopt;
  return text;
}

Error undecodableName(const std::string& path) {
  return Error{EILSEQ, "The name \"" + path +
                           "\" is not valid UTF-8, so it cannot be handed to another program."};
}

/// The path, made absolute against the current folder when it is relative,
/// so that a started program (with its own working folder) finds the file.
std::string absolutePath(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::error_code error;
  std::filesystem::path current = std::filesystem::current_path(error);
  if (error) return path;
  std::string folder = current.native();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + path;
}

std::string findExecutable(const std::string& program) {
  if (program.find('/') != std::string::npos) {
    QFileInfo info(fileNameToText(program));
    return info.isFile() && info.isExecutable() ? program : std::string();
  }
  return textToFileName(QStandardPaths::findExecutable(fileNameToText(program)));
}

std::string queryDefaultTextEditor() {
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty()) return {};
  QProcess query;
  query.start(xdgMime,
              {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForFinished(3000)) {
    query.kill();
    query.waitForFinished(1000);
    return {};
  }
  if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
  const QList<QByteArray> lines = query.readAllStandardOutput().split('\n');
  return lines.isEmpty() ? std::string() : lines.first().trimmed().toStdString();
}

std::string locateDesktopEntry(const std::string& id) {
  if (id.empty() || id.find('/') != std::string::npos) return {};
  return textToFileName(
      QStandardPaths::locate(QStandardPaths::ApplicationsLocation, fileNameToText(id)));
}

}  // namespace

std::vector<EditorCommand> editorCommands(const std::string& path, const EditorLookup& lookup) {
  const std::string argument = !path.empty() && path.front() == '-' ? "./" + path : path;

  std::optional<std::string> chosen;
  if (lookup.environment) chosen = lookup.environment(kEditorVariable);
  if (chosen && !chosen->empty()) return {EditorCommand{*chosen, {argument}}};

  auto find = [&](const std::string& program) {
    return lookup.findProgram ? lookup.findProgram(program) : std::string();
  };
  std::vector<EditorCommand> commands;
  const std::string id = lookup.defaultTextEditorId ? lookup.defaultTextEditorId() : std::string();
  if (!id.empty()) {
    const std::string gio = find("gio");
    const std::string entry = lookup.desktopEntryPath ? lookup.desktopEntryPath(id) : std::string();
    if (!gio.empty() && !entry.empty()) {
      commands.push_back({gio, {"launch", entry, argument}});
    }
    const std::string gtkLaunch = find("gtk-launch");
    if (!gtkLaunch.empty()) commands.push_back({gtkLaunch, {id, argument}});
  }
  const std::string xdgOpen = find("xdg-open");
  if (!xdgOpen.empty()) commands.push_back({xdgOpen, {argument}});
  return commands;
}

EditorLookup systemEditorLookup() {
  EditorLookup lookup;
  lookup.environment = [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
  };
  lookup.findProgram = findExecutable;
  lookup.defaultTextEditorId = queryDefaultTextEditor;
  lookup.desktopEntryPath = locateDesktopEntry;
  return lookup;
}

QtShell::QtShell(EditorLookup lookup) : m_lookup(std::move(lookup)) {}

Status QtShell::openWithAssociatedProgram(const std::string& path) {
  if (path.empty()) return Error{EINVAL, "No file was given to open."};
  const std::optional<QString> name = decodeExactly(absolutePath(path));
  if (!name) return undecodableName(path);
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(*name))) {
    return Error{ENOENT, "No program could be started to open \"" + path + "\"."};
  }
  return {};
}

Status QtShell::openInTextEditor(const std::string& path) {
  if (path.empty()) return Error{EINVAL, "No file was given to edit."};
  const std::string absolute = absolutePath(path);
  if (!decodeExactly(absolute)) return undecodableName(path);
  const std::vector<EditorCommand> commands = editorCommands(absolute, m_lookup);
  if (commands.empty()) {
    return Error{ENOENT, "No text editor was found to open \"" + path + "\". Set " +
                             std::string(kEditorVariable) + " to the editor program."};
  }
  std::string tried;
  for (const EditorCommand& command : commands) {
    std::optional<QString> program = decodeExactly(command.program);
    QStringList arguments;
    bool intact = program.has_value();
    for (const std::string& argument : command.arguments) {
      std::optional<QString> text = decodeExactly(argument);
      intact = intact && text.has_value();
      if (text) arguments.append(*text);
    }
    if (intact && QProcess::startDetached(*program, arguments)) return {};
    if (!tried.empty()) tried += ", ";
    tried += command.program;
  }
  return Error{ENOENT, "The text editor could not be started to open \"" + path + "\" (tried " +
                           tried + ")."};
}

Status QtShell::moveToTrash(const std::string& path) {
  if (path.empty()) return Error{EINVAL, "No file was given to move to the trash."};
  const std::optional<QString> name = decodeExactly(absolutePath(path));
  if (!name) return undecodableName(path);
  // The toolkit needs the user's data folder to find the trash in it;
  // without it, it may put the file into a "files" folder of the working
  // directory instead.
  QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
  QFile file(*name);
  if (!file.moveToTrash()) {
    return Error{ENOTSUP, "\"" + path + "\" could not be moved to the trash."};
  }
  // Anywhere but a trash folder the user would never find it: put it back.
  const QString trashed = file.fileName();
  if (!trashed.contains(QStringLiteral("/Trash/files/")) &&
      !trashed.contains(QStringLiteral("/.Trash"))) {
    (void)QFile::rename(trashed, *name);
    return Error{ENOTSUP, "\"" + path + "\" could not be moved to the trash."};
  }
  return {};
}

}  // namespace brindle::platform::qt
