// File names as the system's bytes and as the toolkit's text: the one place
// that converts between the two, for the windows and the Qt platform alike. A name need not be
// UTF-8; such bytes show as U+FFFD, and a text still equal to the display of the name it was shown
// for gives back that name's own bytes, so no name is written back altered.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace brindle::platform {

/// The name's bytes decoded for display; bytes that are not UTF-8 show as
/// U+FFFD.
QString fileNameToText(std::string_view name);

/// The display text of a name as UTF-8, for texts shown through the
/// platform (messages, prompts, the tag editor's title field).
std::string fileNameToUtf8(std::string_view name);

/// The bytes of the name a typed text stands for.
std::string textToFileName(const QString& text);

/// The bytes of the name a text shown for `shownName` stands for:
/// `shownName` itself while the text still equals its display, else the
/// text's bytes.
std::string textToFileName(const QString& text, const std::string& shownName);

}  // namespace brindle::platform
