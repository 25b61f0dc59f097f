// The technical data of a WAV file from its RIFF chunks: the "fmt " chunk
// (PCM, IEEE float or WAVE_FORMAT_EXTENSIBLE) and the size of the "data"
// chunk, wherever they are, also in RF64 files whose sizes are in "ds64".
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace brindle::inspect {

/// Reads up to `buffer.size()` bytes at `offset` and returns how many it
/// read (fewer at the end of the file, 0 on a failure).
using ReadBytesAt =
    std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> buffer)>;

struct WavInfo {
  /// The file starts with "RIFF" or "RF64" and has form type "WAVE".
  bool riff = false;
  bool rf64 = false;
  /// A "fmt " chunk was found.
  bool hasFormat = false;
  std::int32_t channels = 0;
  std::int32_t bits = 0;
  /// Hz; clamped to the 32-bit range.
  std::int32_t frequency = 0;
  /// Frequency × channels × bits, bits per second; clamped likewise.
  std::int32_t bitrate = 0;
  /// Data bytes ÷ (frequency × block align), rounded to the nearest second.
  std::int32_t seconds = 0;
  std::int64_t milliseconds = 0;
  /// The sample rate as the file says it, unclamped.
  std::uint32_t sampleRate = 0;
  std::uint16_t formatTag = 0;
  std::uint32_t blockAlign = 0;
  /// The "data" chunk's size, clamped to the bytes the file holds after its
  /// header.
  std::uint64_t dataBytes = 0;
  /// "PCM", "IEEE float", "extensible PCM", "extensible IEEE float", or the
  /// format tag in hexadecimal ("format 0x0055"); empty without "fmt ".
  std::string format;
};

/// Walks the chunks of a file of `fileLength` bytes through `read`. A chunk
/// size that runs past the file is clamped to the file; the walk is bounded
/// by the file's length and a number of chunks.
WavInfo ReadWAVHeader(const ReadBytesAt& read, std::uint64_t fileLength);

/// The same over the bytes of a whole file.
WavInfo ReadWAVHeader(std::span<const std::uint8_t> file);

/// `text`, a number in base `from` (2..36), written in base `to` (1..36);
/// "Error" for an empty text, a base out of range or a digit that does not
/// belong to base `from`.
std::string ConvertBase(const std::string& text, std::int16_t from, std::int16_t to);

}  // namespace brindle::inspect
