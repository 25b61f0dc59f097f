// Gives the items of a menu bar or menu, and of every menu under it, access
// keys (ui/core/Mnemonics.h) once the menus are built.
#pragma once

class QWidget;

namespace brindle::ui {

/// `menus` is a QMenuBar or a QMenu; other widgets are left alone.
void addMnemonics(QWidget& menus);

}  // namespace brindle::ui
