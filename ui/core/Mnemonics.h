// Access keys for the captions of one menu: Alt and the underlined letter
// opens a menu or chooses an item without the mouse.
#pragma once

#include <QString>
#include <QStringList>

namespace brindle::ui {

/// The captions with an access key each, marked by "&" before its letter:
/// the first letter of a word not yet taken in the menu, else any letter not
/// taken. A caption without a free letter (or an empty one, a separator)
/// stays as it is; a caption that already has a "&" keeps its own. The
/// shown text never changes otherwise.
QStringList withMnemonics(const QStringList& captions);

/// The caption as shown, without its access key mark.
QString withoutMnemonic(QString caption);

}  // namespace brindle::ui
