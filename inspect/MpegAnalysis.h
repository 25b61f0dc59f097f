// The technical data of an MP3 file from its MPEG audio frames: the first
// frame header that a second one confirms gives version, layer, bit rate,
// sampling frequency, channel mode and flags; a "Xing", "Info" or "VBRI"
// header in that frame gives the frame count, and the playing time follows
// from it or from the audio bytes and the bit rate.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brindle::inspect {

/// How far after the start of the audio a first frame is looked for.
inline constexpr std::size_t kMpegSearchLength = 64 * 1024;
/// The bytes a search reads: the search length, the longest frame (MPEG 2.5
/// layer II at 160 kbit/s and 8 kHz: 2881 bytes) and the next header.
inline constexpr std::size_t kMpegWindow = kMpegSearchLength + 4096;

enum class MpegVersion { V1, V2, V25 };

/// One MPEG audio frame header (ISO/IEC 11172-3, 13818-3 and the 2.5
/// extension), decoded.
struct FrameHeader {
  MpegVersion version = MpegVersion::V1;
  int layer = 3;
  bool crcProtected = false;
  int bitrateKbps = 0;
  int sampleRate = 0;
  bool padding = false;
  /// 0 stereo, 1 joint stereo, 2 dual channel, 3 mono.
  int channelMode = 0;
  bool copyright = false;
  bool original = false;
  int emphasis = 0;

  /// 384 for layer I, 1152 for layer II and MPEG 1 layer III, 576 for layer
  /// III of MPEG 2 and 2.5.
  int samplesPerFrame() const;
  /// The frame's length in bytes, header included: slots of 4 bytes in layer
  /// I, of 1 byte in layers II and III, plus one slot of padding.
  int frameLength() const;
};

/// The header in the first four bytes, or nothing when they hold no sync, a
/// reserved version, layer, bit-rate or sampling-frequency index, or the
/// free-format bit rate (whose frames have no length to follow).
std::optional<FrameHeader> parseFrameHeader(std::span<const std::uint8_t> bytes);

/// What a "Xing"/"Info" or "VBRI" header in the first frame says.
struct VbrHeader {
  enum class Kind { Xing, Info, Vbri };
  Kind kind = Kind::Xing;
  /// Frames that follow the header's frame ("Xing"/"Info") or in the file
  /// ("VBRI"); 0 when not given.
  std::uint32_t frames = 0;
  /// Bytes of the audio, the header's frame included; 0 when not given.
  std::uint32_t bytes = 0;
  /// From a LAME tag after a "Xing"/"Info" header: samples the encoder added
  /// at the start and at the end.
  bool lameTag = false;
  int encoderDelay = 0;
  int encoderPadding = 0;
};

/// The VBR header of the frame that starts `frame` (header bytes first), at
/// its offset for the version and channel mode ("Xing"/"Info") or 32 bytes
/// after the header ("VBRI").
std::optional<VbrHeader> parseVbrHeader(std::span<const std::uint8_t> frame,
                                        const FrameHeader& header);

/// Where the first frame is in the bytes from the start of the audio.
struct FrameSearch {
  enum class Outcome { Found, NotFound, NeedMoreBytes };
  Outcome outcome = Outcome::NotFound;
  std::size_t position = 0;
};

/// Looks for the first valid frame header whose next frame header follows
/// where its length says (or whose frame ends the audio, `audioLength` bytes
/// from the start of `window`); a candidate that fails is passed and the
/// search goes on, up to kMpegSearchLength. NeedMoreBytes when `window` ends
/// before the answer is known and the audio goes on.
FrameSearch findFirstFrame(std::span<const std::uint8_t> window, std::uint64_t audioLength);

/// Texts and numbers of the analysis; the texts stay empty when no frame was
/// found.
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

  /// Variable bit rate: a "Xing" or "VBRI" header ("Info" is written for a
  /// constant bit rate).
  bool vbr = false;
  /// Frames of audio: the VBR header's count, else audio bytes over the
  /// average frame length.
  std::int64_t frames = 0;
  /// Samples of encoder delay and padding from a LAME tag; 0 without one.
  std::int32_t encoderDelay = 0;
  std::int32_t encoderPadding = 0;
  /// Bytes from the first frame to the end of the audio (tags excluded).
  std::int64_t audioBytes = 0;
  /// The playing time in whole milliseconds.
  std::int64_t lengthInMilliseconds = 0;
};

/// Where the audio of a file is: after a tag at the start, before the tags
/// at the end.
struct AudioExtent {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
  std::uint64_t fileLength = 0;
};

/// Analyses `window`, the bytes of the file from `audio.start` (up to
/// kMpegWindow of them). The length is frames × samples per frame ÷ sampling
/// frequency (less a LAME tag's delay and padding) when a VBR header counts
/// the frames, else audio bytes × 8 ÷ bit rate.
Mp3Info ReadMPEG(std::span<const std::uint8_t> window, const AudioExtent& audio);

/// True when `bytes`, the start of a search window, hold everything the
/// analysis reads: ReadMPEG on them gives the same as on a longer window.
bool holdsFirstFrame(std::span<const std::uint8_t> bytes, std::uint64_t audioLength);

}  // namespace brindle::inspect
