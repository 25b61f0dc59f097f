#include "inspect/WavAnalysis.h"

#include <algorithm>
#include <cctype>
#include <cfenv>
#include <cmath>
#include <limits>

namespace brindle::inspect {

WavInfo ReadWAVHeader(std::span<const std::uint8_t> header, std::int64_t fileLength) {
  auto at = [&](std::size_t index) -> std::uint8_t {
    return index < header.size() ? header[index] : 0;
  };
  WavInfo info;
  info.channels = static_cast<std::int16_t>(at(22) | (at(23) << 8));
  info.bits = static_cast<std::int16_t>(at(34) | (at(35) << 8));
  info.riff = at(0) == 'R' && at(1) == 'I' && at(2) == 'F' && at(3) == 'F';
  if (!info.riff) return info;

  const std::uint32_t rate =
      static_cast<std::uint32_t>(at(24)) | (static_cast<std::uint32_t>(at(25)) << 8) |
      (static_cast<std::uint32_t>(at(26)) << 16) | (static_cast<std::uint32_t>(at(27)) << 24);
  const std::int64_t bitrate = static_cast<std::int64_t>(rate) * info.channels * info.bits;
  // A header that gives no bit rate (or a nonsensical one) has no length.
  if (bitrate <= 0 || bitrate > INT32_MAX) return info;
  info.frequency = static_cast<std::int32_t>(rate);
  info.bitrate = static_cast<std::int32_t>(bitrate);
  const double seconds =
      (static_cast<double>(fileLength) * 8.0 - 8000.0) / static_cast<double>(bitrate);
  // nearbyint rounds in the current mode, which is to nearest, halves to even.
  // A long file with a tiny bit rate gives more seconds than the field holds;
  // such a double has no int value (the cast would be undefined), so it is
  // clamped to the field's range.
  constexpr double kMostSeconds = std::numeric_limits<std::int32_t>::max();
  constexpr double kFewestSeconds = std::numeric_limits<std::int32_t>::min();
  info.seconds =
      static_cast<std::int32_t>(std::clamp(std::nearbyint(seconds), kFewestSeconds, kMostSeconds));
  return info;
}

std::string ConvertBase(const std::string& text, std::int16_t from, std::int16_t to) {
  if (text.empty() || from < 2 || from > 36 || to < 1 || to > 36) return "Error";
  double value = 0;
  for (char raw : text) {
    const int c = std::toupper(static_cast<unsigned char>(raw));
    int digit = 0;
    if (c >= 'A' && c <= 'Z') {
      digit = c - 55;
    } else if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else {
      return "Error";
    }
    if (digit > from - 1) return "Error";
    value = value * from + digit;
  }
  std::string out;
  do {
    const double remainder = value - std::floor(value / to) * to;
    const int r = static_cast<int>(remainder);
    out.insert(out.begin(), static_cast<char>(r < 10 ? '0' + r : r + 55));
    value = (value - remainder) / to;
  } while (value > 0 && to > 1);
  return out;
}

}  // namespace brindle::inspect
