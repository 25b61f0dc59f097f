#include "inspect/MpegAnalysis.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace brindle::inspect {

namespace {

bool isSecondSyncByte(std::uint8_t b) {
  return (b >= 0xF2 && b <= 0xF7) || b >= 0xFA;
}

const char* yesNo(bool yes) {
  return yes ? "Yes" : "No";
}

/// A frequency in Hz as a single-precision number is written: whole values
/// without a fraction.
std::string frequencyText(float hertz) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", static_cast<double>(hertz));
  return std::string(text) + " Hz";
}

}  // namespace

int bitrateFor(bool version1, int index) {
  if (version1) {
    if (index <= 5) return (index + 3) * 8;
    if (index <= 9) return (index - 5) * 16 + 64;
    if (index <= 13) return (index - 9) * 32 + 128;
    return 320;
  }
  if (index <= 7) return index * 8;
  return (index - 8) * 16 + 64;
}

std::int64_t xingSeconds(std::int64_t frames) {
  std::int64_t x = frames - 57;
  std::int64_t seconds = 0;
  while (x > 0) {
    ++seconds;
    x -= 38;
    if (seconds % 3 == 0) --x;
  }
  return seconds;
}

bool holdsFirstFrame(std::span<const std::uint8_t> bytes) {
  // The analysis reads up to 48 bytes from the frame's start ("Xing" count).
  constexpr std::size_t kBytesRead = 48;
  for (std::size_t position = 0; position + 1 < bytes.size() && position <= kMpegWindow - 5;
       ++position) {
    if (bytes[position] == 0xFF && isSecondSyncByte(bytes[position + 1])) {
      return position + kBytesRead <= bytes.size();
    }
  }
  return false;
}

Mp3Info ReadMPEG(std::span<const std::uint8_t> window, std::int64_t fileLength) {
  Mp3Info info;
  auto at = [&](std::size_t index) -> std::uint8_t {
    return index < window.size() ? window[index] : 0;
  };
  const std::size_t searchEnd = std::min(window.size(), kMpegWindow);
  std::size_t position = 0;
  bool found = false;
  for (; position + 1 < searchEnd && position <= kMpegWindow - 5; ++position) {
    if (at(position) == 0xFF && isSecondSyncByte(at(position + 1))) {
      found = true;
      break;
    }
  }
  if (!found) {
    info.FileSize = std::to_string(fileLength);
    return info;
  }
  const std::uint8_t b1 = at(position + 1);
  const std::uint8_t b2 = at(position + 2);
  const std::uint8_t b3 = at(position + 3);

  info.CRC = yesNo((b1 & 0x01) == 0);
  const bool version2 = b1 >= 0xF2 && b1 <= 0xF7;
  info.MPEG = version2 ? "MPEG 2.0" : "MPEG 1.0";
  const int factor = version2 ? 1 : 2;
  if ((b1 >= 0xFA && b1 <= 0xFB) || (b1 >= 0xF2 && b1 <= 0xF3)) {
    info.Layer = "layer 3";
  } else if ((b1 >= 0xFC && b1 <= 0xFD) || (b1 >= 0xF4 && b1 <= 0xF5)) {
    info.Layer = "layer 2";
  } else {
    info.Layer = "layer 1";
  }
  const int frequencyIndex = b2 & 0x0F;
  const double base = frequencyIndex <= 3 ? 22.05 : frequencyIndex <= 7 ? 24.0 : 16.0;
  info.Frequency = frequencyText(static_cast<float>(factor * base * 1000.0));

  const int bitrate = bitrateFor(!version2, b2 >> 4);
  info.Bitrate = std::to_string(bitrate);

  // A bit rate of 0 leaves no length to compute: the analysis ends here.
  const auto bytesPerMillisecond = static_cast<std::int64_t>(std::nearbyint(bitrate / 8.0));
  if (bytesPerMillisecond == 0) return info;
  const std::int64_t cbrSeconds = (fileLength / bytesPerMillisecond) / 1000;

  if (at(position + 36) == 'X' && at(position + 37) == 'i' && at(position + 38) == 'n' &&
      at(position + 39) == 'g') {
    const std::int64_t frames =
        at(position + 45) * 65536 + at(position + 46) * 256 + at(position + 47);
    const std::int64_t seconds = xingSeconds(frames);
    info.LengthInSeconds = std::to_string(seconds);
    // No length, or a length too large to compute: the analysis ends here.
    if (seconds == 0 || fileLength * 8 > std::numeric_limits<std::int32_t>::max()) return info;
    info.Bitrate = std::to_string((fileLength * 8) / (seconds * 1000));
  } else {
    info.LengthInSeconds = std::to_string(cbrSeconds);
  }

  info.Copyright = yesNo((b3 & 0x08) != 0);
  info.Original = yesNo((b3 & 0x04) != 0);
  static const char* const kEmphasis[] = {"None", "50/15 microseconds", "unvalid", "CITT j. 17"};
  info.Emphasis = kEmphasis[b3 & 0x03];
  static const char* const kChannels[] = {"Stereo", "Joint Stereo", "2 Channel", "Mono"};
  info.Channels = kChannels[b3 >> 6];
  info.FileSize = std::to_string(fileLength);
  return info;
}

}  // namespace brindle::inspect
