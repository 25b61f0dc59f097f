// Helpers shared by the information windows: their read-only text boxes (the
// windows keep their texts with CR LF line ends, while the toolkit's text
// documents use a single line break) and their centred button rows.
#pragma once

#include <QString>

class QHBoxLayout;
class QPushButton;
class QTextEdit;

namespace brindle::infowindows {

/// The text with every CR LF pair (and any lone CR) turned into one line feed,
/// as a text box shows it.
QString displayText(const QString& text);

/// Puts `text` into the read-only box and centres every line of it.
void setCentredText(QTextEdit& box, const QString& text);

/// A row that holds `button` in its middle.
QHBoxLayout* centredButtonRow(QPushButton* button);

}  // namespace brindle::infowindows
