// Escape closes an information window, as it closes a dialog.
#pragma once

class QWidget;

namespace brindle::infowindows {

/// Closes `window` when Escape is pressed anywhere in it.
void closeOnEscape(QWidget& window);

}  // namespace brindle::infowindows
