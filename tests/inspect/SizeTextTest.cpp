// Size texts and minutes-and-seconds texts.
#include "inspect/SizeText.h"

#include <gtest/gtest.h>

namespace brindle::inspect {
namespace {

TEST(SizeText, ThresholdsAreDecimalDivisorIsBinary) {
  EXPECT_EQ(sizeText(0), "0 B");
  EXPECT_EQ(sizeText(999), "999 B");
  EXPECT_EQ(sizeText(1000), "0.97 kB");
  EXPECT_EQ(sizeText(1500), "1.46 kB");
  EXPECT_EQ(sizeText(1024), "1 kB");
  EXPECT_EQ(sizeText(1126), "1.09 kB");
  EXPECT_EQ(sizeText(1331), "1.29 kB");  // cut, not rounded (1.2998)
  EXPECT_EQ(sizeText(999999), "976.56 kB");
  EXPECT_EQ(sizeText(1048576), "1 MB");
  EXPECT_EQ(sizeText(5000000), "4.76 MB");
  EXPECT_EQ(sizeText(3000000), "2.86 MB");
}

TEST(SizeText, LocaleSeparator) {
  EXPECT_EQ(sizeText(1500, ','), "1,46 kB");
}

TEST(MinutesAndSeconds, LeadingZeroForSeconds) {
  EXPECT_EQ(minutesAndSeconds(245), "4:05");
  EXPECT_EQ(minutesAndSeconds(750), "12:30");
  EXPECT_EQ(minutesAndSeconds(59), "0:59");
  EXPECT_EQ(minutesAndSeconds(0), "0:00");
  EXPECT_EQ(minutesAndSeconds(-61), "-1:01");
}

}  // namespace
}  // namespace brindle::inspect
