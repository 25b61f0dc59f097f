#include "app/MainMenu.h"

#include <array>

namespace brindle::app {

namespace {

constexpr std::array kMenus{
    MenuSpec{"Options", "Options", 1},
    MenuSpec{"print", "Print", 2},
    MenuSpec{"filewindow", "Window", 11},
    MenuSpec{"help", "Help", 22},
};

constexpr std::array kItems{
    MenuItemSpec{"print", "printer1", "Files List To Printer", 5},
    MenuItemSpec{"print", "-", "", kNoTopic},
    MenuItemSpec{"print", "fileappend", "Append Files List To File", 6},
    MenuItemSpec{"print", "-", "", kNoTopic},
    MenuItemSpec{"print", "addto", "Add Files List To Files", 7},
    MenuItemSpec{"Options", "-", "", kNoTopic},
    MenuItemSpec{"Options", "notepad", "Edit", 8},
    MenuItemSpec{"Options", "-", "", kNoTopic},
    MenuItemSpec{"Options", "delete", "Delete", 9},
    MenuItemSpec{"Options", "-", "", kNoTopic},
    MenuItemSpec{"Options", "mnump3", "MP3 Tags", 41},
    MenuItemSpec{"Options", "-", "", kNoTopic},
    MenuItemSpec{"Options", "exit", "Exit", 10},
    MenuItemSpec{"filewindow", "selectall", "Select All Files", 12},
    MenuItemSpec{"filewindow", "refreshfiles", "Refresh Files", 40},
    MenuItemSpec{"filewindow", "-", "", kNoTopic},
    MenuItemSpec{"filewindow", "editfile", "Edit File", 13},
    MenuItemSpec{"filewindow", "deletefile", "Delete File", 14},
    MenuItemSpec{"filewindow", "-", "", kNoTopic},
    MenuItemSpec{"filewindow", "renameextension", "Rename All Extension(s)", 15},
    MenuItemSpec{"filewindow", "renameallfiles", "Rename All Files", 16},
    MenuItemSpec{"filewindow", "renamesingle", "Rename Single File", 17},
    MenuItemSpec{"filewindow", "-", "", kNoTopic},
    MenuItemSpec{"filewindow", "removechars", "Remove Characters From Filenames", 18},
    MenuItemSpec{"filewindow", "-", "", kNoTopic},
    MenuItemSpec{"filewindow", "converup", "Convert All to Uppercase", 19},
    MenuItemSpec{"filewindow", "convertlow", "Convert All to Lowercase", 20},
    MenuItemSpec{"filewindow", "titlecase", "Convert to Title Case ", 21},
    MenuItemSpec{"filewindow", "-", "", kNoTopic},
    MenuItemSpec{"filewindow", "RemoveLeftMost", "Remove Left Most", 42},
    MenuItemSpec{"filewindow", "RemoveRightMost", "Remove Right Most", 43},
    MenuItemSpec{"filewindow", "mmost", "Remove Middle Most", 44},
    MenuItemSpec{"filewindow", "-", "", kNoTopic},
    MenuItemSpec{"filewindow", "mnueditmp3tags", "Edit MP3 Tags", 41},
    MenuItemSpec{"help", "help1", "Help", 23},
    MenuItemSpec{"help", "about", "About", 24},
    MenuItemSpec{"help", "-", "", kNoTopic},
    MenuItemSpec{"help", "mnudisclaimer", "Disclaimer", kNoTopic},
};

}  // namespace

std::span<const MenuSpec> mainMenus() {
  return kMenus;
}
std::span<const MenuItemSpec> mainMenuItems() {
  return kItems;
}

}  // namespace brindle::app
