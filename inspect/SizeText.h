// The two ways the component writes lengths for people: a file size in B, kB
// or MB, and a playing time as minutes and seconds.
#pragma once

#include <cstdint>
#include <string>

namespace brindle::inspect {

/// Below 1000: "n B"; below 1,000,000: n / 1024 in "kB"; else n / 1024 / 1024
/// in "MB". Cut (not rounded) to two decimals, without trailing zeros, with
/// `decimalSeparator`: 1500 gives "1.46 kB", 1,048,576 gives "1 MB".
std::string sizeText(std::int64_t bytes, char decimalSeparator = '.');

/// "m:ss": 245 gives "4:05", 59 gives "0:59".
std::string minutesAndSeconds(std::int64_t seconds);

/// The decimal separator of the user's locale (LC_NUMERIC).
char localeDecimalSeparator();

}  // namespace brindle::inspect
