#include "inspect/Readout.h"

namespace brindle::inspect {

namespace {

const char* trueFalse(bool value) {
  return value ? "True" : "False";
}

bool endsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

/// " (v1.1, track N)" when the version 1 tag holds a track number.
std::string v1TrackText(const ID3& c) {
  if (!c.TAGv1Exists || c.TAGv1Track == 0) return {};
  return " (v1.1, track " + std::to_string(c.TAGv1Track) + ")";
}

}  // namespace

std::vector<std::string> mp3Readout(const ID3& c) {
  return {
      "Size: " + c.Mp3FileSize + "   (" + std::to_string(c.Mp3FileSizeInBytes) + " B)",
      "Length: " + c.Mp3FileLenght + "   (" + c.Mp3FileLenghtInSeconds + " sec)",
      c.Mp3MPEG + " " + c.Mp3Layer,
      c.Mp3Bitrate + " kbps",
      c.Mp3Frequency + " " + c.Mp3Channels,
      "CRCs: " + c.Mp3CRC,
      "Copyright: " + c.Mp3Copyright,
      "Original: " + c.Mp3Original,
      "Emphasis: " + c.Mp3Emphasis,
      std::string("ID3 Tag v1: ") + trueFalse(c.TAGv1Exists) + v1TrackText(c),
      std::string("ID3 Tag v2: ") + trueFalse(c.TAGv2Exists),
  };
}

std::vector<std::string> wavReadout(const ID3& c) {
  return {
      "Size: " + c.WAVFileSize + "   (" + std::to_string(c.WAVFileSizeInBytes) + " B)",
      "Lenght: " + c.WAVLenght + "   (" + std::to_string(c.WAVLenghtInSeconds) + " sec)",
      "Bitrate: " + std::to_string(c.WAVBitrate),
      "Bits: " + std::to_string(c.WAVBits),
      "Channels: " + std::to_string(c.WAVChannels),
      "Frequency: " + std::to_string(c.WAVFrequency),
  };
}

ReadoutKind readoutKindFor(const std::string& name) {
  if (endsWith(name, ".mp3") || endsWith(name, ".MP3")) return ReadoutKind::Mp3;
  if (endsWith(name, ".wav") || endsWith(name, ".WAV")) return ReadoutKind::Wav;
  return ReadoutKind::None;
}

}  // namespace brindle::inspect
