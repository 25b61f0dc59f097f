// Window sizes and positions kept between runs, under each window's object
// name.
#pragma once

#include "platform/Settings.h"

class QWidget;

namespace brindle::ui {

/// Gives `window` the size and position remembered for it; nothing when none
/// is (the window keeps its own). A place off every screen is moved onto one.
void restorePlace(QWidget& window, platform::Settings& settings);
/// Remembers the size and position of `window`.
void rememberPlace(const QWidget& window, platform::Settings& settings);

}  // namespace brindle::ui
