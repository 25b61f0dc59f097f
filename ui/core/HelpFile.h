// Reading topics out of the help file: "HID:<n>" opens a topic, "HIDOVER:"
// closes it, markers are compared whole after upper-casing.
#pragma once

#include <string>
#include <string_view>

namespace brindle::ui {

/// The marker line that opens `topic`: "HID:" and the number, upper case.
std::string helpTopicKey(long topic);

/// The text of the first topic whose opening line equals `key` (after
/// upper-casing the line), every line followed by CR LF; empty when no line
/// matches. A topic without its closing line runs to the end of the file.
/// Lines may end with CR LF or LF alone.
std::string findHelpTopic(std::string_view helpFile, std::string_view key);

/// Decodes 8-bit ISO-8859-1 text into UTF-8.
std::string latin1ToUtf8(std::string_view text);

}  // namespace brindle::ui
