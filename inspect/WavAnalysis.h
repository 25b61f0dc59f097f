// The technical data of a WAV file from fixed fields of its RIFF header:
// channels, bits per sample and sample rate, and from them the bit rate and
// the playing time.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace brindle::inspect {

/// The header bytes the analysis reads (offsets 0 to 35).
inline constexpr std::size_t kWavHeaderSize = 36;

struct WavInfo {
  bool riff = false;
  std::int32_t channels = 0;
  std::int32_t bits = 0;
  /// Hz; 0 when the file is not RIFF or its bit rate would be 0.
  std::int32_t frequency = 0;
  /// Bits per second; 0 likewise.
  std::int32_t bitrate = 0;
  std::int32_t seconds = 0;
};

/// Reads "RIFF" at 0, the channels (16-bit little-endian, signed) at 22, the
/// whole 32-bit little-endian sample rate at 24 and the bits per sample at
/// 34; bytes missing from a short header count as zeros. Bit rate =
/// frequency × channels × bits; seconds = (length × 8 − 8000) ÷ bit rate,
/// rounded half to even.
WavInfo ReadWAVHeader(std::span<const std::uint8_t> header, std::int64_t fileLength);

/// `text`, a number in base `from` (2..36), written in base `to` (1..36);
/// "Error" for an empty text, a base out of range or a digit that does not
/// belong to base `from`.
std::string ConvertBase(const std::string& text, std::int16_t from, std::int16_t to);

}  // namespace brindle::inspect
