#include "inspect/MpegAnalysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace brindle::inspect {

namespace {

// Bit rates in kbit/s by index 1..14 (0 is free format, 15 reserved).
constexpr std::array<int, 15> kVersion1Layer1 = {0,   32,  64,  96,  128, 160, 192, 224,
                                                 256, 288, 320, 352, 384, 416, 448};
constexpr std::array<int, 15> kVersion1Layer2 = {0,   32,  48,  56,  64,  80,  96, 112,
                                                 128, 160, 192, 224, 256, 320, 384};
constexpr std::array<int, 15> kVersion1Layer3 = {0,   32,  40,  48,  56,  64,  80, 96,
                                                 112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 15> kVersion2Layer1 = {0,   32,  48,  56,  64,  80,  96, 112,
                                                 128, 144, 160, 176, 192, 224, 256};
constexpr std::array<int, 15> kVersion2Layers2And3 = {0,  8,  16, 24,  32,  40,  48, 56,
                                                      64, 80, 96, 112, 128, 144, 160};

int bitrateFor(MpegVersion version, int layer, int index) {
  if (version == MpegVersion::V1) {
    if (layer == 1) return kVersion1Layer1[static_cast<std::size_t>(index)];
    if (layer == 2) return kVersion1Layer2[static_cast<std::size_t>(index)];
    return kVersion1Layer3[static_cast<std::size_t>(index)];
  }
  if (layer == 1) return kVersion2Layer1[static_cast<std::size_t>(index)];
  return kVersion2Layers2And3[static_cast<std::size_t>(index)];
}

int sampleRateFor(MpegVersion version, int index) {
  static constexpr int kVersion1[] = {44100, 48000, 32000};
  const int rate = kVersion1[index];
  if (version == MpegVersion::V1) return rate;
  if (version == MpegVersion::V2) return rate / 2;
  return rate / 4;
}

std::uint32_t bigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return (static_cast<std::uint32_t>(bytes[at]) << 24) |
         (static_cast<std::uint32_t>(bytes[at + 1]) << 16) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 8) | bytes[at + 3];
}

bool textAt(std::span<const std::uint8_t> bytes, std::size_t at, const char* text) {
  const std::size_t length = std::strlen(text);
  return at + length <= bytes.size() && std::memcmp(bytes.data() + at, text, length) == 0;
}

/// Offset of a "Xing"/"Info" header from the frame's start: after the
/// header and the side information, whose size depends on version and mode.
std::size_t xingOffset(const FrameHeader& header) {
  const bool mono = header.channelMode == 3;
  if (header.version == MpegVersion::V1) return mono ? 21 : 36;
  return mono ? 13 : 21;
}

/// A LAME tag right after the "Xing"/"Info" fields: a version string of at
/// least "LAME3.90", then the revision 0 extension holding delay and padding
/// (12 bits each) 21 bytes after the string's start.
void readLameTag(std::span<const std::uint8_t> frame, std::size_t at, VbrHeader& vbr) {
  if (at + 24 > frame.size()) return;
  if (!textAt(frame, at, "LAME") && !textAt(frame, at, "L3.99")) return;
  if (textAt(frame, at, "LAME")) {
    // Versions before 3.90 wrote the string without the extension.
    const std::size_t major = at + 4;
    if (frame[major] < '3' || frame[major] > '9') return;
    if (frame[major] == '3' && frame[major + 1] == '.') {
      int minor = 0;
      for (std::size_t i = major + 2; i < major + 5 && frame[i] >= '0' && frame[i] <= '9'; ++i) {
        minor = minor * 10 + (frame[i] - '0');
      }
      if (minor < 90) return;
    }
  }
  if ((frame[at + 9] >> 4) != 0) return;
  vbr.lameTag = true;
  vbr.encoderDelay = (frame[at + 21] << 4) | (frame[at + 22] >> 4);
  vbr.encoderPadding = ((frame[at + 22] & 0x0F) << 8) | frame[at + 23];
}

std::optional<VbrHeader> parseXing(std::span<const std::uint8_t> frame, std::size_t at) {
  if (at + 8 > frame.size()) return std::nullopt;
  VbrHeader vbr;
  if (textAt(frame, at, "Xing")) {
    vbr.kind = VbrHeader::Kind::Xing;
  } else if (textAt(frame, at, "Info")) {
    vbr.kind = VbrHeader::Kind::Info;
  } else {
    return std::nullopt;
  }
  const std::uint32_t flags = bigEndian32(frame, at + 4);
  std::size_t field = at + 8;
  auto take = [&](std::uint32_t flag, std::size_t width, std::uint32_t* into) {
    if ((flags & flag) == 0) return true;
    if (field + width > frame.size()) return false;
    if (into) *into = bigEndian32(frame, field);
    field += width;
    return true;
  };
  if (!take(0x1, 4, &vbr.frames) || !take(0x2, 4, &vbr.bytes) || !take(0x4, 100, nullptr) ||
      !take(0x8, 4, nullptr)) {
    return std::nullopt;
  }
  readLameTag(frame, field, vbr);
  return vbr;
}

std::optional<VbrHeader> parseVbri(std::span<const std::uint8_t> frame) {
  constexpr std::size_t kAt = 4 + 32;
  if (kAt + 18 > frame.size() || !textAt(frame, kAt, "VBRI")) return std::nullopt;
  // Version 1 is the only one there is.
  if (frame[kAt + 4] != 0 || frame[kAt + 5] != 1) return std::nullopt;
  VbrHeader vbr;
  vbr.kind = VbrHeader::Kind::Vbri;
  vbr.bytes = bigEndian32(frame, kAt + 10);
  vbr.frames = bigEndian32(frame, kAt + 14);
  return vbr;
}

bool sameStream(const FrameHeader& a, const FrameHeader& b) {
  return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

const char* yesNo(bool yes) {
  return yes ? "Yes" : "No";
}

}  // namespace

int FrameHeader::samplesPerFrame() const {
  if (layer == 1) return 384;
  if (layer == 3 && version != MpegVersion::V1) return 576;
  return 1152;
}

int FrameHeader::frameLength() const {
  const int slotBytes = layer == 1 ? 4 : 1;
  const int slots = samplesPerFrame() / 8 * bitrateKbps * 1000 / sampleRate / slotBytes;
  return (slots + (padding ? 1 : 0)) * slotBytes;
}

std::optional<FrameHeader> parseFrameHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return std::nullopt;
  const int versionBits = (bytes[1] >> 3) & 0x03;
  const int layerBits = (bytes[1] >> 1) & 0x03;
  const int bitrateIndex = bytes[2] >> 4;
  const int rateIndex = (bytes[2] >> 2) & 0x03;
  if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
      rateIndex == 3) {
    return std::nullopt;
  }
  FrameHeader header;
  header.version = versionBits == 3   ? MpegVersion::V1
                   : versionBits == 2 ? MpegVersion::V2
                                      : MpegVersion::V25;
  header.layer = 4 - layerBits;
  header.crcProtected = (bytes[1] & 0x01) == 0;
  header.bitrateKbps = bitrateFor(header.version, header.layer, bitrateIndex);
  header.sampleRate = sampleRateFor(header.version, rateIndex);
  header.padding = (bytes[2] & 0x02) != 0;
  header.channelMode = bytes[3] >> 6;
  header.copyright = (bytes[3] & 0x08) != 0;
  header.original = (bytes[3] & 0x04) != 0;
  header.emphasis = bytes[3] & 0x03;
  return header;
}

std::optional<VbrHeader> parseVbrHeader(std::span<const std::uint8_t> frame,
                                        const FrameHeader& header) {
  if (header.layer != 3) return std::nullopt;
  const std::size_t at = xingOffset(header);
  if (auto xing = parseXing(frame, at)) return xing;
  // With a CRC the side information starts two bytes later.
  if (header.crcProtected) {
    if (auto xing = parseXing(frame, at + 2)) return xing;
  }
  return parseVbri(frame);
}

FrameSearch findFirstFrame(std::span<const std::uint8_t> window, std::uint64_t audioLength) {
  const bool wholeAudio = window.size() >= audioLength;
  const std::size_t end = std::min<std::size_t>(window.size(), kMpegSearchLength);
  for (std::size_t position = 0; position < end; ++position) {
    if (window[position] != 0xFF) continue;
    if (position + 4 > window.size()) break;
    const auto header = parseFrameHeader(window.subspan(position));
    if (!header) continue;
    const std::size_t next = position + static_cast<std::size_t>(header->frameLength());
    if (next == audioLength) return {FrameSearch::Outcome::Found, position};
    if (next + 4 <= window.size()) {
      const auto following = parseFrameHeader(window.subspan(next));
      if (following && sameStream(*header, *following)) {
        return {FrameSearch::Outcome::Found, position};
      }
      continue;
    }
    if (!wholeAudio) return {FrameSearch::Outcome::NeedMoreBytes, position};
  }
  // The window ended inside the search range while the audio goes on.
  if (end < kMpegSearchLength && !wholeAudio) return {FrameSearch::Outcome::NeedMoreBytes, end};
  return {FrameSearch::Outcome::NotFound, 0};
}

bool holdsFirstFrame(std::span<const std::uint8_t> bytes, std::uint64_t audioLength) {
  // A VBR header with a LAME tag ends 192 bytes after the frame's start.
  constexpr std::size_t kVbrHeaderEnd = 192;
  const FrameSearch search = findFirstFrame(bytes, audioLength);
  switch (search.outcome) {
    case FrameSearch::Outcome::Found:
      return search.position + kVbrHeaderEnd <= bytes.size() || bytes.size() >= audioLength;
    case FrameSearch::Outcome::NotFound:
      return true;
    case FrameSearch::Outcome::NeedMoreBytes:
      return false;
  }
  return false;
}

Mp3Info ReadMPEG(std::span<const std::uint8_t> window, const AudioExtent& audio) {
  Mp3Info info;
  info.FileSize = std::to_string(audio.fileLength);
  const std::uint64_t audioLength = audio.end > audio.start ? audio.end - audio.start : 0;
  if (window.size() > audioLength) window = window.first(static_cast<std::size_t>(audioLength));
  const FrameSearch search = findFirstFrame(window, audioLength);
  if (search.outcome != FrameSearch::Outcome::Found) return info;
  const std::span<const std::uint8_t> frame = window.subspan(search.position);
  const FrameHeader header = *parseFrameHeader(frame);

  static const char* const kVersions[] = {"MPEG 1.0", "MPEG 2.0", "MPEG 2.5"};
  info.MPEG = kVersions[static_cast<int>(header.version)];
  info.Layer = "layer " + std::to_string(header.layer);
  info.CRC = yesNo(header.crcProtected);
  info.Frequency = std::to_string(header.sampleRate) + " Hz";
  info.Copyright = yesNo(header.copyright);
  info.Original = yesNo(header.original);
  static const char* const kEmphasis[] = {"None", "50/15 microseconds", "unvalid", "CITT j. 17"};
  info.Emphasis = kEmphasis[header.emphasis];
  static const char* const kChannels[] = {"Stereo", "Joint Stereo", "2 Channel", "Mono"};
  info.Channels = kChannels[header.channelMode];

  info.audioBytes = static_cast<std::int64_t>(audioLength - search.position);
  const std::int64_t samplesPerFrame = header.samplesPerFrame();
  const std::int64_t rate = header.sampleRate;
  const std::int64_t kbps = header.bitrateKbps;
  std::int64_t averageKbps = kbps;

  const std::optional<VbrHeader> vbr = parseVbrHeader(frame, header);
  if (vbr && vbr->frames > 0) {
    info.vbr = vbr->kind != VbrHeader::Kind::Info;
    info.frames = vbr->frames;
    if (vbr->lameTag) {
      info.encoderDelay = vbr->encoderDelay;
      info.encoderPadding = vbr->encoderPadding;
    }
    const std::int64_t counted = info.frames * samplesPerFrame;
    const std::int64_t samples =
        std::max<std::int64_t>(0, counted - info.encoderDelay - info.encoderPadding);
    info.lengthInMilliseconds = samples * 1000 / rate;
    // The bit rate is over the frames counted: a "Xing"/"Info" count leaves
    // out the frame that holds it, whose bytes the byte count includes.
    std::int64_t bytes = vbr->bytes > 0 ? vbr->bytes : info.audioBytes;
    if (vbr->kind != VbrHeader::Kind::Vbri) {
      bytes = std::max<std::int64_t>(0, bytes - header.frameLength());
    }
    if (info.vbr) averageKbps = (bytes * 8 * rate + counted * 500) / (counted * 1000);
  } else {
    // Split so that no size a file system allows overflows.
    info.lengthInMilliseconds = info.audioBytes / kbps * 8 + info.audioBytes % kbps * 8 / kbps;
    // Frames of a constant bit rate hold bit rate × samples ÷ rate bytes on
    // average, padding included.
    const long double averageFrame =
        static_cast<long double>(kbps) * 1000 * samplesPerFrame / (8.0L * rate);
    info.frames = static_cast<std::int64_t>(
        std::min<long double>(std::nearbyint(info.audioBytes / averageFrame), 1e18L));
  }
  info.LengthInSeconds = std::to_string(info.lengthInMilliseconds / 1000);
  info.Bitrate = info.vbr ? "VBR " + std::to_string(averageKbps) : std::to_string(kbps);
  return info;
}

}  // namespace brindle::inspect
