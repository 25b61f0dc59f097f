// The main window's menus as data: every item's name, caption and help topic
// in menu order, so the window, its tests and the help file agree on one
// table.
#pragma once

#include <span>

namespace brindle::app {

/// Help topic of an item that has none.
inline constexpr int kNoTopic = -1;

struct MenuItemSpec {
  /// Which menu holds the item: the name of a top-level menu, or "print" for
  /// the Print submenu. An item named "-" is a separator.
  const char* menu;
  const char* name;
  const char* caption;
  int topic;
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
