// Window sizes and positions, and the places of the lines between a
// window's panes, kept between runs under the objects' names.
#pragma once

#include "platform/Settings.h"

class QSplitter;
class QWidget;

namespace brindle::ui {

/// Gives `window` the size and position remembered for it; nothing when none
/// is (the window keeps its own). A place off every screen is moved onto one.
void restorePlace(QWidget& window, platform::Settings& settings);
/// Remembers the size and position of `window`.
void rememberPlace(const QWidget& window, platform::Settings& settings);

/// Moves the lines between the panes of `splitter` where they were last.
void restorePanes(QSplitter& splitter, platform::Settings& settings);
void rememberPanes(const QSplitter& splitter, platform::Settings& settings);

}  // namespace brindle::ui
