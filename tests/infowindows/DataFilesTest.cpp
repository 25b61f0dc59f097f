// Checks of the text files supplied beside the program: the help file's
// topics and encoding, and the encoding of the licence agreement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataDir = BRINDLE_SOURCE_DIR "/data/";

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Byte offsets of line ends that are not a CR LF pair, and of lone CRs.
std::vector<std::size_t> badLineEnds(const std::string& bytes) {
  std::vector<std::size_t> bad;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) bad.push_back(i);
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) bad.push_back(i);
  }
  return bad;
}

// Offsets of bytes that are neither CR, LF nor a printable Latin-1 character
// (0x20 to 0x7E and 0xA0 to 0xFF).
std::vector<std::size_t> nonPrintable(const std::string& bytes) {
  std::vector<std::size_t> bad;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const bool printable = (byte >= 0x20 && byte <= 0x7E) || byte >= 0xA0;
    if (!printable && byte != '\r' && byte != '\n') bad.push_back(i);
  }
  return bad;
}

// Lines without their CR LF ends; the file must end with CR LF.
std::vector<std::string> lines(const std::string& bytes) {
  std::vector<std::string> result;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    result.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return result;
}

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// The topic number of an opening line "HID:<n>" (compared in upper case, as
// the help routine does), or -1 for any other line.
int openedTopic(const std::string& line) {
  const std::string key = upper(line);
  if (key.rfind("HID:", 0) != 0 || key.size() == 4) return -1;
  const std::string digits = key.substr(4);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return -1;
  }
  return std::stoi(digits);
}

bool closesTopic(const std::string& line) {
  return upper(line) == "HIDOVER:";
}

struct Topic {
  int openings = 0;
  std::vector<std::string> text;
  bool closed = false;
};

TEST(HelpFileTest, UsesCrLfLineEndsAndPrintableLatin1Only) {
  const std::string bytes = readBytes(kDataDir + "Brindlehelp.txt");
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(badLineEnds(bytes), std::vector<std::size_t>{});
  EXPECT_EQ(nonPrintable(bytes), std::vector<std::size_t>{});
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST(HelpFileTest, EveryTopicFrom1To83IsOpenedOnceClosedAndNotEmpty) {
  const std::vector<std::string> all = lines(readBytes(kDataDir + "Brindlehelp.txt"));
  ASSERT_FALSE(all.empty());
  // The file starts with a comment outside any topic.
  EXPECT_EQ(openedTopic(all.front()), -1);

  std::map<int, Topic> topics;
  int current = -1;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string& line = all[i];
    const int opened = openedTopic(line);
    if (opened >= 0) {
      EXPECT_EQ(current, -1) << "line " << i + 1 << " opens topic " << opened << " inside topic "
                             << current;
      current = opened;
      ++topics[opened].openings;
    } else if (closesTopic(line)) {
      EXPECT_NE(current, -1) << "line " << i + 1 << " closes no topic";
      if (current != -1) topics[current].closed = true;
      current = -1;
    } else if (current != -1) {
      topics[current].text.push_back(line);
      // A marker with a blank before or after it would not be recognised.
      const std::size_t first = line.find_first_not_of(" \t");
      const std::size_t last = line.find_last_not_of(" \t");
      const std::string trimmed =
          first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
      EXPECT_FALSE(openedTopic(trimmed) >= 0 || closesTopic(trimmed))
          << "line " << i + 1 << ": " << line;
    }
  }
  EXPECT_EQ(current, -1) << "the last topic is not closed";

  for (int n = 1; n <= 83; ++n) {
    SCOPED_TRACE("topic " + std::to_string(n));
    ASSERT_EQ(topics.count(n), 1u);
    const Topic& topic = topics[n];
    EXPECT_EQ(topic.openings, 1);
    EXPECT_TRUE(topic.closed);
    EXPECT_GE(topic.text.size(), 1u);
    EXPECT_LE(topic.text.size(), 6u);
    const bool hasWords = std::any_of(topic.text.begin(), topic.text.end(), [](const auto& line) {
      return std::any_of(line.begin(), line.end(), [](unsigned char c) { return std::isalpha(c); });
    });
    EXPECT_TRUE(hasWords);
  }
  EXPECT_EQ(topics.size(), 83u) << "topics outside 1 to 83";
}

TEST(HelpFileTest, TopicsFitAMessageBoxLine) {
  for (const std::string& line : lines(readBytes(kDataDir + "Brindlehelp.txt"))) {
    EXPECT_LE(line.size(), 80u) << line;
  }
}

TEST(LicenseAgreementTest, IsEightBitTextWithCrLfLines) {
  const std::string bytes = readBytes(kDataDir + "User License Agreement.txt");
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(badLineEnds(bytes), std::vector<std::size_t>{});
  EXPECT_EQ(nonPrintable(bytes), std::vector<std::size_t>{});
  EXPECT_NE(bytes.find("MIT"), std::string::npos);
  EXPECT_NE(bytes.find("Copyright (c) 2026 The Brindle developers"), std::string::npos);
  EXPECT_NE(bytes.find("backup"), std::string::npos);
}

}  // namespace
