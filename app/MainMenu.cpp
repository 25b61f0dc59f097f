#include "app/MainMenu.h"

#include <array>
#include <utility>

#include "ui/core/HelpTopics.h"

namespace brindle::app {

namespace {

using Command = MenuCommand;

/// Each command's object name, in the order of the enumeration.
constexpr std::array<std::pair<MenuCommand, const char*>, 26> kObjectNames{{
    {Command::printer1, "printer1"},
    {Command::fileappend, "fileappend"},
    {Command::addto, "addto"},
    {Command::notepad, "notepad"},
    {Command::delete_, "delete"},
    {Command::mnump3, "mnump3"},
    {Command::exit, "exit"},
    {Command::selectall, "selectall"},
    {Command::refreshfiles, "refreshfiles"},
    {Command::editfile, "editfile"},
    {Command::deletefile, "deletefile"},
    {Command::renameextension, "renameextension"},
    {Command::renameallfiles, "renameallfiles"},
    {Command::renamesingle, "renamesingle"},
    {Command::removechars, "removechars"},
    {Command::converup, "converup"},
    {Command::convertlow, "convertlow"},
    {Command::titlecase, "titlecase"},
    {Command::RemoveLeftMost, "RemoveLeftMost"},
    {Command::RemoveRightMost, "RemoveRightMost"},
    {Command::mmost, "mmost"},
    {Command::mnueditmp3tags, "mnueditmp3tags"},
    {Command::help1, "help1"},
    {Command::about, "about"},
    {Command::mnudisclaimer, "mnudisclaimer"},
    {Command::Command1, "Command1"},
}};

constexpr bool namesFollowTheEnumeration() {
  for (std::size_t i = 0; i < kObjectNames.size(); ++i) {
    if (static_cast<std::size_t>(kObjectNames[i].first) != i) return false;
  }
  return static_cast<std::size_t>(Command::Command1) + 1 == kObjectNames.size();
}
static_assert(namesFollowTheEnumeration(), "one object name per command, in enumeration order");

constexpr std::array kMenus{
    MenuSpec{"Options", "Options", topics::kOptionsMenu},
    MenuSpec{"print", "Print", topics::kPrintMenu},
    MenuSpec{"filewindow", "Window", topics::kWindowMenu},
    MenuSpec{"help", "Help", topics::kHelpMenu},
};

constexpr MenuItemSpec item(const char* menu, MenuCommand command, const char* caption, int topic) {
  return {menu, command, caption, topic};
}

constexpr MenuItemSpec separator(const char* menu) {
  return {menu, std::nullopt, "", topics::kNoTopic};
}

constexpr std::array kItems{
    item("print", Command::printer1, "Files List To Printer", topics::kPrintFileList),
    separator("print"),
    item("print", Command::fileappend, "Append Files List To File", topics::kAppendFileListToFile),
    separator("print"),
    item("print", Command::addto, "Add Files List To Files", topics::kWriteFileListToFile),
    separator("Options"),
    item("Options", Command::notepad, "Edit", topics::kEditCurrentFile),
    separator("Options"),
    item("Options", Command::delete_, "Delete", topics::kDeleteCurrentFile),
    separator("Options"),
    item("Options", Command::mnump3, "MP3 Tags", topics::kOpenTagEditor),
    separator("Options"),
    item("Options", Command::exit, "Exit", topics::kExit),
    item("filewindow", Command::selectall, "Select All Files", topics::kSelectAllFiles),
    item("filewindow", Command::refreshfiles, "Refresh Files", topics::kRefreshFiles),
    separator("filewindow"),
    item("filewindow", Command::editfile, "Edit File", topics::kEditCurrentFileFromWindowMenu),
    item("filewindow", Command::deletefile, "Delete File", topics::kDeleteSelectedFiles),
    separator("filewindow"),
    item("filewindow", Command::renameextension, "Rename All Extension(s)",
         topics::kChangeExtensions),
    item("filewindow", Command::renameallfiles, "Rename All Files", topics::kOpenNumberedRename),
    item("filewindow", Command::renamesingle, "Rename Single File", topics::kRenameSingleFile),
    separator("filewindow"),
    item("filewindow", Command::removechars, "Remove Characters From Filenames",
         topics::kRemoveCharacters),
    separator("filewindow"),
    item("filewindow", Command::converup, "Convert All to Uppercase", topics::kConvertToUppercase),
    item("filewindow", Command::convertlow, "Convert All to Lowercase",
         topics::kConvertToLowercase),
    item("filewindow", Command::titlecase, "Convert to Title Case ", topics::kConvertToTitleCase),
    separator("filewindow"),
    item("filewindow", Command::RemoveLeftMost, "Remove Left Most", topics::kRemoveLeftMost),
    item("filewindow", Command::RemoveRightMost, "Remove Right Most", topics::kRemoveRightMost),
    item("filewindow", Command::mmost, "Remove Middle Most", topics::kRemoveMiddleMost),
    separator("filewindow"),
    item("filewindow", Command::mnueditmp3tags, "Edit MP3 Tags", topics::kOpenTagEditor),
    item("help", Command::help1, "Help", topics::kOpenHelpWindow),
    item("help", Command::about, "About", topics::kOpenAboutWindow),
    separator("help"),
    item("help", Command::mnudisclaimer, "Disclaimer", topics::kNoTopic),
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
