#include "inspect/WavAnalysis.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace brindle::inspect {

namespace {

constexpr std::uint16_t kPcm = 0x0001;
constexpr std::uint16_t kIeeeFloat = 0x0003;
constexpr std::uint16_t kExtensible = 0xFFFE;
/// Chunks walked at most: a file of many tiny chunks cannot keep the walk
/// busy for long.
constexpr int kMaxChunks = 4096;

std::uint32_t little32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint16_t little16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint64_t little64(const std::uint8_t* bytes) {
  return static_cast<std::uint64_t>(little32(bytes)) |
         (static_cast<std::uint64_t>(little32(bytes + 4)) << 32);
}

std::int32_t clampToInt32(std::uint64_t value) {
  return static_cast<std::int32_t>(std::min<std::uint64_t>(value, INT32_MAX));
}

std::string formatName(std::uint16_t tag, std::uint16_t subFormat) {
  if (tag == kPcm) return "PCM";
  if (tag == kIeeeFloat) return "IEEE float";
  if (tag == kExtensible) {
    if (subFormat == kPcm) return "extensible PCM";
    if (subFormat == kIeeeFloat) return "extensible IEEE float";
    return "extensible " + formatName(subFormat, 0);
  }
  char text[16];
  std::snprintf(text, sizeof text, "format 0x%04X", tag);
  return text;
}

/// Reads the "fmt " chunk's fields (at least the 16 bytes of PCM).
void readFormat(std::span<const std::uint8_t> chunk, WavInfo& info) {
  if (chunk.size() < 16) return;
  info.hasFormat = true;
  info.formatTag = little16(chunk.data());
  info.channels = little16(chunk.data() + 2);
  const std::uint32_t rate = little32(chunk.data() + 4);
  info.blockAlign = little16(chunk.data() + 12);
  info.bits = little16(chunk.data() + 14);
  std::uint16_t subFormat = 0;
  // The extension: its size, valid bits, channel mask, then the sub-format
  // GUID whose first two bytes are the format tag.
  if (info.formatTag == kExtensible && chunk.size() >= 26) subFormat = little16(chunk.data() + 24);
  info.format = formatName(info.formatTag, subFormat);
  info.sampleRate = rate;
  info.frequency = clampToInt32(rate);
  info.bitrate =
      clampToInt32(static_cast<std::uint64_t>(rate) * static_cast<std::uint64_t>(info.channels) *
                   static_cast<std::uint64_t>(info.bits));
}

}  // namespace

WavInfo ReadWAVHeader(const ReadBytesAt& read, std::uint64_t fileLength) {
  WavInfo info;
  std::array<std::uint8_t, 12> riff{};
  if (read(0, riff) != riff.size()) return info;
  const bool isRiff = std::memcmp(riff.data(), "RIFF", 4) == 0;
  info.rf64 = std::memcmp(riff.data(), "RF64", 4) == 0;
  if ((!isRiff && !info.rf64) || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
    info.rf64 = false;
    return info;
  }
  info.riff = true;

  std::uint64_t rf64DataSize = 0;
  bool haveData = false;
  std::uint64_t offset = riff.size();
  for (int chunks = 0; chunks < kMaxChunks && offset + 8 <= fileLength; ++chunks) {
    std::array<std::uint8_t, 8> header{};
    if (read(offset, header) != header.size()) break;
    const std::uint64_t body = offset + 8;
    // A size past the end of the file is clamped to the file.
    std::uint64_t size = std::min<std::uint64_t>(little32(header.data() + 4), fileLength - body);
    if (std::memcmp(header.data(), "ds64", 4) == 0 && info.rf64) {
      std::array<std::uint8_t, 24> sizes{};
      if (size >= sizes.size() && read(body, sizes) == sizes.size()) {
        rf64DataSize = little64(sizes.data() + 8);
      }
    } else if (std::memcmp(header.data(), "fmt ", 4) == 0 && !info.hasFormat) {
      std::array<std::uint8_t, 40> format{};
      const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, 40));
      const std::size_t got = read(body, std::span<std::uint8_t>(format).first(wanted));
      readFormat(std::span<const std::uint8_t>(format).first(got), info);
    } else if (std::memcmp(header.data(), "data", 4) == 0 && !haveData) {
      // In RF64 files the 32-bit size is 0xFFFFFFFF and "ds64" holds the
      // real one.
      if (info.rf64 && little32(header.data() + 4) == 0xFFFFFFFF) {
        size = std::min(rf64DataSize, fileLength - body);
      }
      info.dataBytes = size;
      haveData = true;
    }
    if (info.hasFormat && haveData) break;
    offset = body + size + (size & 1);
  }

  if (info.blockAlign == 0 && info.channels > 0 && info.bits > 0) {
    info.blockAlign = static_cast<std::uint32_t>(info.channels) *
                      ((static_cast<std::uint32_t>(info.bits) + 7) / 8);
  }
  const std::uint64_t bytesPerSecond =
      static_cast<std::uint64_t>(info.sampleRate) * info.blockAlign;
  if (bytesPerSecond > 0) {
    // Integers all the way: data bytes are below 2^64 / 1000 in any file
    // a disk holds, checked all the same.
    const std::uint64_t seconds = (info.dataBytes + bytesPerSecond / 2) / bytesPerSecond;
    info.seconds = clampToInt32(seconds);
    const std::uint64_t whole = info.dataBytes / bytesPerSecond;
    const std::uint64_t rest = info.dataBytes % bytesPerSecond;
    info.milliseconds = static_cast<std::int64_t>(
        std::min<std::uint64_t>(whole, INT64_MAX / 1000 - 1) * 1000 + rest * 1000 / bytesPerSecond);
  }
  return info;
}

WavInfo ReadWAVHeader(std::span<const std::uint8_t> file) {
  return ReadWAVHeader(
      [file](std::uint64_t offset, std::span<std::uint8_t> buffer) -> std::size_t {
        if (offset >= file.size()) return 0;
        const std::size_t count =
            std::min<std::size_t>(buffer.size(), file.size() - static_cast<std::size_t>(offset));
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
        return count;
      },
      file.size());
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
