#include "app/MainMenu.h"

#include <array>
#include <utility>

#include "ui/core/HelpTopics.h"

namespace brindle::app {

namespace {

/// Each command's object name, in the order of the enumeration.
constexpr std::array<std::pair<MenuCommand, const char*>, 28> kObjectNames{{
    {MenuCommand::printer1, "printer1"},
    {MenuCommand::fileappend, "fileappend"},
    {MenuCommand::addto, "addto"},
    {MenuCommand::notepad, "notepad"},
    {MenuCommand::delete_, "delete"},
    {MenuCommand::mnump3, "mnump3"},
    {MenuCommand::exit, "exit"},
    {MenuCommand::selectall, "selectall"},
    {MenuCommand::refreshfiles, "refreshfiles"},
    {MenuCommand::editfile, "editfile"},
    {MenuCommand::deletefile, "deletefile"},
    {MenuCommand::renameextension, "renameextension"},
    {MenuCommand::renameallfiles, "renameallfiles"},
    {MenuCommand::renamesingle, "renamesingle"},
    {MenuCommand::removechars, "removechars"},
    {MenuCommand::converup, "converup"},
    {MenuCommand::convertlow, "convertlow"},
    {MenuCommand::titlecase, "titlecase"},
    {MenuCommand::RemoveLeftMost, "RemoveLeftMost"},
    {MenuCommand::RemoveRightMost, "RemoveRightMost"},
    {MenuCommand::mmost, "mmost"},
    {MenuCommand::mnueditmp3tags, "mnueditmp3tags"},
    {MenuCommand::help1, "help1"},
    {MenuCommand::about, "about"},
    {MenuCommand::mnudisclaimer, "mnudisclaimer"},
    {MenuCommand::mnuundo, "mnuundo"},
    {MenuCommand::mnuhistory, "mnuhistory"},
    {MenuCommand::Command1, "Command1"},
}};

constexpr bool namesFollowTheEnumeration() {
  for (std::size_t i = 0; i < kObjectNames.size(); ++i) {
    if (static_cast<std::size_t>(kObjectNames[i].first) != i) return false;
  }
  return static_cast<std::size_t>(MenuCommand::Command1) + 1 == kObjectNames.size();
}
static_assert(namesFollowTheEnumeration(), "one object name per command, in enumeration order");

constexpr std::array kMenus{
    MenuSpec{"Options", "Options", topics::kOptionsMenu},
    MenuSpec{"edit", "&Edit", topics::kNoTopic},
    MenuSpec{"print", "Print", topics::kPrintMenu},
    MenuSpec{"filewindow", "Window", topics::kWindowMenu},
    MenuSpec{"help", "Help", topics::kHelpMenu},
};

constexpr MenuItemSpec item(const char* menu, MenuCommand command, const char* caption, int topic,
                            const char* shortcut = nullptr) {
  return {menu, command, caption, topic, shortcut};
}

constexpr MenuItemSpec separator(const char* menu) {
  return {menu, std::nullopt, "", topics::kNoTopic, nullptr};
}

constexpr std::array kItems{
    item("print", MenuCommand::printer1, "Files List To Printer", topics::kPrintFileList),
    separator("print"),
    item("print", MenuCommand::fileappend, "Append Files List To File",
         topics::kAppendFileListToFile),
    separator("print"),
    item("print", MenuCommand::addto, "Add Files List To Files", topics::kWriteFileListToFile),
    separator("Options"),
    item("Options", MenuCommand::notepad, "Edit", topics::kEditCurrentFile),
    separator("Options"),
    item("Options", MenuCommand::delete_, "Delete", topics::kDeleteCurrentFile),
    separator("Options"),
    item("Options", MenuCommand::mnump3, "MP3 Tags", topics::kOpenTagEditor),
    separator("Options"),
    item("Options", MenuCommand::exit, "Exit", topics::kExit),
    item("filewindow", MenuCommand::selectall, "Select All Files", topics::kSelectAllFiles,
         "Ctrl+A"),
    item("filewindow", MenuCommand::refreshfiles, "Refresh Files", topics::kRefreshFiles, "F5"),
    separator("filewindow"),
    item("filewindow", MenuCommand::editfile, "Edit File", topics::kEditCurrentFileFromWindowMenu),
    item("filewindow", MenuCommand::deletefile, "Delete File", topics::kDeleteSelectedFiles),
    separator("filewindow"),
    item("filewindow", MenuCommand::renameextension, "Rename All Extension(s)",
         topics::kChangeExtensions),
    item("filewindow", MenuCommand::renameallfiles, "Rename All Files",
         topics::kOpenNumberedRename),
    item("filewindow", MenuCommand::renamesingle, "Rename Single File", topics::kRenameSingleFile,
         "F2"),
    separator("filewindow"),
    item("filewindow", MenuCommand::removechars, "Remove Characters From Filenames",
         topics::kRemoveCharacters),
    separator("filewindow"),
    item("filewindow", MenuCommand::converup, "Convert All to Uppercase",
         topics::kConvertToUppercase),
    item("filewindow", MenuCommand::convertlow, "Convert All to Lowercase",
         topics::kConvertToLowercase),
    item("filewindow", MenuCommand::titlecase, "Convert to Title Case ",
         topics::kConvertToTitleCase),
    separator("filewindow"),
    item("filewindow", MenuCommand::RemoveLeftMost, "Remove Left Most", topics::kRemoveLeftMost),
    item("filewindow", MenuCommand::RemoveRightMost, "Remove Right Most", topics::kRemoveRightMost),
    item("filewindow", MenuCommand::mmost, "Remove Middle Most", topics::kRemoveMiddleMost),
    separator("filewindow"),
    item("filewindow", MenuCommand::mnueditmp3tags, "Edit MP3 Tags", topics::kOpenTagEditor),
    item("help", MenuCommand::help1, "Help", topics::kOpenHelpWindow),
    item("help", MenuCommand::about, "About", topics::kOpenAboutWindow),
    separator("help"),
    item("help", MenuCommand::mnudisclaimer, "Disclaimer", topics::kNoTopic),
    // The Undo caption names the batch it would undo; the program sets it.
    item("edit", MenuCommand::mnuundo, "Undo", topics::kNoTopic),
    item("edit", MenuCommand::mnuhistory, "History...", topics::kNoTopic),
};

}  // namespace

const char* objectNameOf(MenuCommand command) {
  return kObjectNames[static_cast<std::size_t>(command)].second;
}

std::span<const MenuSpec> mainMenus() {
  return kMenus;
}
std::span<const MenuItemSpec> mainMenuItems() {
  return kItems;
}

}  // namespace brindle::app
