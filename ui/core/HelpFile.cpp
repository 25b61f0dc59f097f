#include "ui/core/HelpFile.h"

#include <algorithm>

#include "platform/Utf8.h"

namespace brindle::ui {

namespace {

// Markers are plain ASCII; only a-z change, so 8-bit text stays as it is.
std::string asciiUpper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
  return upper;
}

/// Splits off the next line; removes its CR LF or LF ending.
std::string_view nextLine(std::string_view& rest) {
  std::size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

std::string helpTopicKey(long topic) {
  std::string key = "HID:" + std::to_string(topic);
  key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
  return asciiUpper(key);
}

std::string findHelpTopic(std::string_view helpFile, std::string_view key) {
  std::string_view rest = helpFile;
  while (!rest.empty()) {
    if (asciiUpper(nextLine(rest)) != key) continue;
    std::string topic;
    while (!rest.empty()) {
      std::string_view line = nextLine(rest);
      if (asciiUpper(line) == "HIDOVER:") break;
      topic.append(line);
      topic.append("\r\n");
    }
    return topic;
  }
  return {};
}

std::string latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) platform::utf8::append(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace brindle::ui
