// Typed numbers: the 16-bit counts of the character edits and the start
// number of the numbered rename.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "rename/core/NumberEntry.h"

namespace brindle::rename {
namespace {

struct EntryRow {
  const char* typed;
  std::optional<std::int16_t> value;
};

TEST(NumberEntry, ReadsAsANumericText) {
  // clang-format off
  const EntryRow rows[] = {
      {"3", 3}, {" 3 ", 3}, {"\t7\t", 7}, {"+4", 4}, {"-2", -2}, {"2.5", 2}, {"3.5", 4},
      {"-2.5", -2}, {"0.5", 0}, {"1.5", 2}, {".5", 0}, {"1e1", 10}, {"32767", 32767},
      {"-32768", -32768}, {"32767.4", 32767}, {"32767.5", std::nullopt}, {"32768", std::nullopt},
      {"-32769", std::nullopt}, {"", std::nullopt}, {"   ", std::nullopt}, {"abc", std::nullopt},
      {"3abc", std::nullopt}, {"1 2", std::nullopt}, {"-", std::nullopt}, {".", std::nullopt},
      {"1e", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  // clang-format on
  for (const EntryRow& row : rows) {
    SCOPED_TRACE(std::string("typed \"") + row.typed + "\"");
    EXPECT_EQ(parseNumberEntry(row.typed), row.value);
  }
}

TEST(NumberEntry, UnusableEntryKeepsTheCurrentValue) {
  EXPECT_EQ(enteredOr("", 2), 2);
  EXPECT_EQ(enteredOr("x", -5), -5);
  EXPECT_EQ(enteredOr("40000", 7), 7);
  EXPECT_EQ(enteredOr("4", 7), 4);
}

struct LeadingRow {
  const char* text;
  std::int64_t value;
};

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  // clang-format off
  const LeadingRow rows[] = {
      {"01", 1},    {"001", 1},       {"9", 9},         {"abc", 0}, {"", 0},
      {"-3", -3},   {"2.5x", 2},      {"  12abc", 12},  {"1.5", 2}, {"-0.4", 0},
      {"-0.6", -1}, {"99999", 99999}, {"32768", 32768}, {"+7", 7},  {"x12", 0},
  };
  // clang-format on
  for (const LeadingRow& row : rows) {
    SCOPED_TRACE(std::string("text \"") + row.text + "\"");
    EXPECT_EQ(leadingNumber(row.text), row.value);
  }
  EXPECT_EQ(leadingNumber("1e400"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(leadingNumber("-99999999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

}  // namespace
}  // namespace brindle::rename
