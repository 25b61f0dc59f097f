// The text of one topic of a help file, with its line breaks turned into
// blanks so that a phrase may run over two lines: for tests that check what
// the topics say.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "ui/core/HelpFile.h"

namespace brindle::testsupport {

inline std::string helpTopicText(const std::string& helpFile, int number) {
  std::ifstream in(helpFile, std::ios::binary);
  const std::string file{std::istreambuf_iterator<char>(in), {}};
  std::string text = ui::findHelpTopic(file, ui::helpTopicKey(number));
  // Each CR LF becomes one blank: the CR goes, the LF is overwritten.
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at, 1);
    text[at] = ' ';
  }
  return text;
}

}  // namespace brindle::testsupport
