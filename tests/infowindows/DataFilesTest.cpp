// The text files beside the program: 8-bit text, CR LF lines, help topics 1 to 83.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace {

std::string readBytes(const std::string& name) {
  std::ifstream in(BRINDLE_SOURCE_DIR "/data/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DataFiles, AreLatin1TextWithCrLfLines) {
  for (const char* name : {"Brindlehelp.txt", "User License Agreement.txt"}) {
    SCOPED_TRACE(name);
    const std::string bytes = readBytes(name);
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      const bool lineEnd = byte == '\r' ? i + 1 < bytes.size() && bytes[i + 1] == '\n'
                                        : byte == '\n' && i > 0 && bytes[i - 1] == '\r';
      const bool printable = (byte >= 0x20 && byte <= 0x7E) || byte >= 0xA0;
      ASSERT_TRUE(printable || lineEnd) << "byte " << i;
    }
  }
}

// Markers are matched as the help routine does: upper case, the whole line.
TEST(DataFiles, HelpTopics1To83AreOpenedOnceClosedAndNotEmpty) {
  const std::string bytes = readBytes("Brindlehelp.txt");
  std::map<int, std::vector<std::string>> topics;
  int current = -1;
  for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
    end = std::min(bytes.find("\r\n", start), bytes.size());
    const std::string line = bytes.substr(start, end - start);
    std::string key;
    for (char c : line) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SCOPED_TRACE(line);
    EXPECT_LE(line.size(), 80u);
    if (key.starts_with("HID:") && key.size() > 4 &&
        key.find_first_not_of("0123456789", 4) == std::string::npos) {
      EXPECT_EQ(current, -1) << "opened inside a topic";
      current = std::stoi(key.substr(4));
      EXPECT_EQ(topics.count(current), 0u) << "opened twice";
      topics[current];
    } else if (key == "HIDOVER:") {
      EXPECT_NE(current, -1) << "closes no topic";
      current = -1;
    } else if (current != -1) {  // a marker with blanks around it would not be recognised
      const std::string trimmed = key.substr(std::min(key.find_first_not_of(" \t"), key.size()));
      EXPECT_FALSE(trimmed.starts_with("HID:") || trimmed.starts_with("HIDOVER:"));
      topics[current].push_back(line);
    }
  }
  EXPECT_EQ(current, -1) << "the last topic is not closed";
  ASSERT_EQ(topics.size(), 83u);
  EXPECT_EQ(topics.begin()->first, 1);
  EXPECT_EQ(topics.rbegin()->first, 83);
  for (const auto& [n, lines] : topics) EXPECT_TRUE(!lines.empty() && lines.size() <= 6) << n;
}

}  // namespace
