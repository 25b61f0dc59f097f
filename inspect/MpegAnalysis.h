// The technical data of an MP3 file from the first MPEG audio frame header
// in a window of its bytes: version, layer, bit rate, sampling frequency,
// channel mode, flags and a playing time (from the "Xing" frame count when
// the frame carries one).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace brindle::inspect {

/// The bytes searched for a frame header.
inline constexpr std::size_t kMpegWindow = 4096;

/// Texts of the analysis; each stays empty when the analysis stopped before
/// reaching it.
struct Mp3Info {
  std::string Bitrate;
  std::string Channels;
  std::string Copyright;
  std::string CRC;
  std::string Emphasis;
  std::string Frequency;
  std::string Layer;
  std::string LengthInSeconds;
  std::string MPEG;
  std::string Original;
  std::string FileSize;
};

/// Analyses the first frame header in `window` (up to kMpegWindow bytes of
/// the file, from where the audio starts). `fileLength` is the whole file's
/// length, tags included, used for the length and the average bit rate.
Mp3Info ReadMPEG(std::span<const std::uint8_t> window, std::int64_t fileLength);

/// True when `bytes`, the start of a search window, hold the first frame
/// header and every byte the analysis reads after it: ReadMPEG on them gives
/// the same as on the whole window.
bool holdsFirstFrame(std::span<const std::uint8_t> bytes);

/// Kbit/s for bit-rate index `index` (0..15) of version 1 or 2.
int bitrateFor(bool version1, int index);

/// Whole seconds from a "Xing" frame count (0 when the count is 57 or less).
std::int64_t xingSeconds(std::int64_t frames);

}  // namespace brindle::inspect
