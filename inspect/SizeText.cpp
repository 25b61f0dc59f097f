#include "inspect/SizeText.h"

#include <clocale>
#include <cmath>

namespace brindle::inspect {

namespace {

/// Hundredths of `value`, cut, written without trailing zeros.
std::string twoDecimals(double value, char separator) {
  const auto hundredths = static_cast<std::int64_t>(std::floor(value * 100.0));
  std::string text = std::to_string(hundredths / 100);
  const std::int64_t fraction = hundredths % 100;
  if (fraction != 0) {
    text += separator;
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

}  // namespace

std::string sizeText(std::int64_t bytes, char decimalSeparator) {
  if (bytes < 1000) return std::to_string(bytes) + " B";
  if (bytes < 1000000) return twoDecimals(bytes / 1024.0, decimalSeparator) + " kB";
  return twoDecimals(bytes / 1024.0 / 1024.0, decimalSeparator) + " MB";
}

std::string minutesAndSeconds(std::int64_t seconds) {
  // A negative time (a WAV file shorter than its header says) keeps its sign
  // in front instead of inside the seconds.
  if (seconds < 0) {
    std::string text(1, '-');
    text += minutesAndSeconds(-seconds);
    return text;
  }
  const std::int64_t minutes = seconds / 60;
  const std::int64_t rest = seconds % 60;
  return std::to_string(minutes) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

char localeDecimalSeparator() {
  const std::lconv* conventions = std::localeconv();
  if (!conventions || !conventions->decimal_point || !*conventions->decimal_point) return '.';
  return *conventions->decimal_point;
}

}  // namespace brindle::inspect
