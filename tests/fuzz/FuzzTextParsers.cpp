// libFuzzer target for the text files the program parses: the help file
// (topic lookup by marker lines) and the system's table of mounted drives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/posix/PosixFileSystem.h"
#include "ui/core/HelpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The first byte picks a topic number so that every topic gets looked up.
  const long topic = size > 0 ? data[0] % 100 : 0;
  const std::string found = brindle::ui::findHelpTopic(text, brindle::ui::helpTopicKey(topic));
  // A topic is made of the file's own lines: never longer than the file plus
  // one CR per line.
  if (found.size() > 2 * size + 2) __builtin_trap();
  (void)brindle::ui::latin1ToUtf8(found);
  (void)brindle::platform::posix::parseMountTable(std::string(text));
  return 0;
}
