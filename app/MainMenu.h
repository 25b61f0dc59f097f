// The main window's menus as data: every item's command, caption and help
// topic in menu order, so the window, its tests and the help file agree on
// one table.
#pragma once

#include <optional>
#include <span>

namespace brindle::app {

/// The main window's commands: one per menu item, plus the "Save Edited"
/// button. Each is spelt as its item's object name, so wiring a command the
/// window does not have fails to compile.
enum class MenuCommand {
  printer1,
  fileappend,
  addto,
  notepad,
  /// The item "delete"; `delete` itself is a keyword.
  delete_,
  mnump3,
  exit,
  selectall,
  refreshfiles,
  editfile,
  deletefile,
  renameextension,
  renameallfiles,
  renamesingle,
  removechars,
  converup,
  convertlow,
  titlecase,
  RemoveLeftMost,
  RemoveRightMost,
  mmost,
  mnueditmp3tags,
  help1,
  about,
  mnudisclaimer,
  /// "Undo <command>" of the "Edit" menu: undoes the newest batch.
  mnuundo,
  /// "History..." of the "Edit" menu: the window of recorded batches.
  mnuhistory,
  /// The "Save Edited" button beside the name box.
  Command1,
};

/// The object name of the command's menu item or button ("delete" for
/// MenuCommand::delete_), which tests and the help find it by.
const char* objectNameOf(MenuCommand command);

struct MenuItemSpec {
  /// Which menu holds the item: the name of a top-level menu, or "print" for
  /// the Print submenu.
  const char* menu;
  /// The item's command; none for a separator.
  std::optional<MenuCommand> command;
  const char* caption;
  int topic;
  /// The item's key, as QKeySequence reads it ("F2", "Ctrl+A"); none when
  /// null.
  const char* shortcut = nullptr;

  bool isSeparator() const { return !command.has_value(); }
};

struct MenuSpec {
  const char* name;
  const char* caption;
  int topic;
};

/// The menu bar's menus, left to right ("sensitivehelp" is a bare item).
std::span<const MenuSpec> mainMenus();
/// Every item, in order within its menu.
std::span<const MenuItemSpec> mainMenuItems();

}  // namespace brindle::app
