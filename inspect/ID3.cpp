#include "inspect/ID3.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "id3v2/Failure.h"
#include "id3v2/ID3v2FrameId.h"
#include "id3v2/TagFormat.h"
#include "id3v2/clsTv2.h"
#include "inspect/GenreList.h"
#include "inspect/Id3v1Tag.h"
#include "inspect/MpegAnalysis.h"
#include "inspect/Properties.h"
#include "inspect/SizeText.h"
#include "inspect/TrailingTags.h"
#include "inspect/WavAnalysis.h"

namespace brindle::inspect {

namespace {

/// The first bytes of a file kept in memory: reads inside them cost nothing,
/// so one opening and one read at the start serve the tag and the audio
/// analysis of most files.
class PrefixCachedFile : public platform::ReadableFile {
 public:
  /// The most that load() keeps; held in the object, so that reading a file
  /// allocates nothing for it.
  static constexpr std::size_t kCapacity = 4096;

  PrefixCachedFile(platform::ReadableFile& file, std::uint64_t size) : m_file(file), m_size(size) {}

  /// Reads the first `length` bytes (at most kCapacity) into memory.
  platform::Status load(std::size_t length) {
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(std::min(length, kCapacity), m_size));
    auto got = m_file.readAt(0, std::span<std::uint8_t>(m_prefix.data(), wanted));
    if (!got) return got.error();
    m_held = got.value();
    return {};
  }

  platform::Result<std::size_t> readAt(std::uint64_t offset,
                                       std::span<std::uint8_t> buffer) override {
    if (offset + buffer.size() <= m_held) {
      std::copy_n(m_prefix.begin() + static_cast<std::ptrdiff_t>(offset), buffer.size(),
                  buffer.begin());
      return buffer.size();
    }
    return m_file.readAt(offset, buffer);
  }
  platform::Result<std::uint64_t> size() override { return m_size; }
  std::span<const std::uint8_t> heldBytes(std::uint64_t offset, std::size_t length) const override {
    const std::span<const std::uint8_t> from = cached(offset);
    return from.size() >= length ? from.first(length) : std::span<const std::uint8_t>();
  }

  /// The bytes from `offset` to the end of what was read at the start.
  std::span<const std::uint8_t> cached(std::uint64_t offset) const {
    if (offset >= m_held) return {};
    return std::span<const std::uint8_t>(m_prefix.data(), m_held)
        .subspan(static_cast<std::size_t>(offset));
  }

 private:
  platform::ReadableFile& m_file;
  std::uint64_t m_size;
  std::array<std::uint8_t, kCapacity> m_prefix;
  std::size_t m_held = 0;
};

/// As much as one read of the start brings in most files: the tag's header,
/// a small tag and the first audio frame.
constexpr std::size_t kPrefixSize = PrefixCachedFile::kCapacity;

/// Reads `length` bytes at `offset`; bytes past the end stay zero.
std::vector<std::uint8_t> readZeroFilled(platform::ReadableFile& file, std::uint64_t offset,
                                         std::size_t length) {
  std::vector<std::uint8_t> bytes(length, 0);
  auto got = file.readAt(offset, bytes);
  if (!got) return std::vector<std::uint8_t>(length, 0);
  return bytes;
}

/// Bytes of the file from `offset`, `length` of them (zeros past the end),
/// from what was read at the start when it holds them.
std::vector<std::uint8_t> bytesAt(PrefixCachedFile& file, std::uint64_t offset,
                                  std::size_t length) {
  const std::span<const std::uint8_t> cached = file.cached(offset);
  if (cached.size() >= length)
    return {cached.begin(), cached.begin() + static_cast<std::ptrdiff_t>(length)};
  return readZeroFilled(file, offset, length);
}

/// The bytes one look at the end of the tags takes: a version 1 tag, or an
/// APEv2 footer or Lyrics3 end.
constexpr std::size_t kTagEndSize = kId3v1Size + kTrailingTagFooter;
/// The end of a file read at once: the version 1 tag and, before it, the
/// end of the tag that may come before.
constexpr std::size_t kTailSize = kId3v1Size + kTagEndSize;

/// Where the audio ends: before the ID3 version 1, APEv2 and Lyrics3 tags
/// at the end, in whatever order they were added. `tail` holds the last
/// bytes of the file.
std::uint64_t audioEnd(PrefixCachedFile& file, std::span<const std::uint8_t> tail,
                       std::uint64_t fileLength) {
  const std::uint64_t tailStart = fileLength - tail.size();
  std::uint64_t end = fileLength;
  // A few tags at most stand there; a loop of forged sizes ends with them.
  for (int tags = 0; tags < 4; ++tags) {
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(kTagEndSize, end));
    // The bytes before `end`: from the tail read already, else read now.
    std::array<std::uint8_t, kTagEndSize> read{};
    std::span<const std::uint8_t> bytes;
    if (end - length >= tailStart) {
      bytes = tail.subspan(static_cast<std::size_t>(end - length - tailStart), length);
    } else {
      // A failed read counts as zeros: no tag found there.
      if (!file.readAt(end - length, std::span<std::uint8_t>(read.data(), length))) read.fill(0);
      bytes = std::span<const std::uint8_t>(read.data(), length);
    }
    std::uint64_t size = 0;
    if (bytes.size() >= kId3v1Size &&
        isId3v1Marker(std::span<const std::uint8_t, 3>(bytes.last(kId3v1Size).data(), 3))) {
      size = kId3v1Size;
    } else {
      size = apeOrLyrics3v2Length(bytes.last(std::min(bytes.size(), kTrailingTagFooter)));
    }
    if (size == 0 && endsWithLyrics3v1(bytes)) {
      const std::size_t longest =
          static_cast<std::size_t>(std::min<std::uint64_t>(kLyrics3v1MaxLength, end));
      size = lyrics3v1Length(readZeroFilled(file, end - longest, longest));
    }
    if (size == 0 || size > end) break;
    end -= size;
  }
  return end;
}

/// Whether the property is a text of the tag `version`.
bool isTextOf(const Property& property, TagVersion version) {
  return property.tag && property.tag->version == version;
}

}  // namespace

ID3::ID3(platform::FileSystem& fileSystem, platform::Clock& clock, platform::Dialogs& dialogs)
    : m_fileSystem(fileSystem),
      m_clock(clock),
      m_dialogs(dialogs),
      m_decimalSeparator(localeDecimalSeparator()) {}

void ID3::raiseError(std::int16_t code, const platform::Error& reason) {
  if (m_error) m_error(code, reason);
}

void ID3::clearTagTexts() {
  // The members once, not the whole table on every read.
  static const std::vector<std::string ID3::*> texts = [] {
    std::vector<std::string ID3::*> members;
    for (const Property& property : kProperties) {
      if (property.writable()) members.push_back(property.text());
    }
    return members;
  }();
  for (std::string ID3::*text : texts) (this->*text).clear();
}

void ID3::clearMp3Properties() {
  Mp3FileSizeInBytes = 0;
  Mp3Vbr = false;
  Mp3Frames = Mp3AudioBytes = Mp3LengthInMilliseconds = 0;
  Mp3EncoderDelay = 0;
  for (std::string* text :
       {&Mp3FileSize, &Mp3FileLenghtInSeconds, &Mp3FileLenght, &Mp3Bitrate, &Mp3Frequency,
        &Mp3Channels, &Mp3Copyright, &Mp3CRC, &Mp3Emphasis, &Mp3Layer, &Mp3MPEG, &Mp3Original}) {
    text->clear();
  }
}

platform::Status ID3::ReadID3(const std::string& path) {
  FileName = path;
  CoverChange.reset();
  clearTagTexts();
  auto opened = m_fileSystem.openForReading(path);
  auto length = opened ? opened.value()->size() : platform::Result<std::uint64_t>(opened.error());
  if (!opened || !length) {
    // Nothing of an earlier file may remain beside this path.
    TAGv1Exists = false;
    TAGv2Exists = false;
    TAGv1GenreIndex = kNoGenre;
    TAGv1Track = 0;
    clearMp3Properties();
    return id3v2::causedBy(opened ? "cannot measure the file" : "cannot open the file",
                           length.error());
  }
  const std::uint64_t fileLength = length.value();
  PrefixCachedFile file(*opened.value(), fileLength);
  (void)file.load(kPrefixSize);

  Mp3FileSizeInBytes = static_cast<std::int64_t>(fileLength);
  Mp3FileSize = sizeText(static_cast<std::int64_t>(fileLength), m_decimalSeparator);

  // The last bytes hold the version 1 tag and the ends of the tags before it.
  const std::size_t tailLength =
      static_cast<std::size_t>(std::min<std::uint64_t>(kTailSize, fileLength));
  // Held on the stack: a listing reads many files.
  std::array<std::uint8_t, kTailSize> tailBytes{};
  const std::span<std::uint8_t> tail(tailBytes.data(), tailLength);
  if (const auto cached = file.cached(fileLength - tailLength); cached.size() >= tailLength) {
    std::copy_n(cached.begin(), tailLength, tail.begin());
  } else if (!file.readAt(fileLength - tailLength, tail)) {
    std::fill(tail.begin(), tail.end(), std::uint8_t{0});
  }
  AudioExtent audio;
  audio.fileLength = fileLength;
  audio.end = audioEnd(file, tail, fileLength);

  // The frame search starts after the version 2 tags at the start (some
  // programs write more than one), so a tag larger than the search window
  // (a cover picture) neither hides the audio nor is misread as audio.
  // The bytes at the start of the audio: a view of what the first read
  // brought when it holds them, else bytes read into `read`.
  std::span<const std::uint8_t> window;
  std::vector<std::uint8_t> read;
  for (int tags = 0; audio.start < audio.end; ++tags) {
    // What the first read brought is used as it is; the search below reads
    // more when it needs more.
    const std::span<const std::uint8_t> cached = file.cached(audio.start);
    const auto length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kPrefixSize, audio.end - audio.start));
    if (cached.size() >= std::min(length, id3v2::kHeaderSize)) {
      window = cached.first(std::min(cached.size(), length));
    } else {
      read = bytesAt(file, audio.start, length);
      window = read;
    }
    if (tags == 8 || window.size() < id3v2::kHeaderSize) break;
    const id3v2::TagHeader tag = id3v2::parseHeader(
        std::span<const std::uint8_t, id3v2::kHeaderSize>(window.data(), id3v2::kHeaderSize));
    if (!tag.present) break;
    audio.start += static_cast<std::uint64_t>(tag.length());
    window = {};
  }
  audio.start = std::min(audio.start, audio.end);
  // The first frame usually follows the tag closely: when the bytes read
  // hold it, no more are read; else a few more, and only then the whole
  // search window.
  for (const std::size_t length : {std::size_t{16384}, kMpegWindow}) {
    if (holdsFirstFrame(window, audio.end - audio.start)) break;
    read =
        bytesAt(file, audio.start,
                static_cast<std::size_t>(std::min<std::uint64_t>(length, audio.end - audio.start)));
    window = read;
  }
  const Mp3Info info = ReadMPEG(window, audio);
  Mp3FileLenghtInSeconds = info.LengthInSeconds;
  Mp3FileLenght = info.LengthInSeconds.empty()
                      ? std::string()
                      : minutesAndSeconds(std::stoll(info.LengthInSeconds));
  Mp3Bitrate = info.Bitrate;
  Mp3Frequency = info.Frequency;
  Mp3Channels = info.Channels;
  Mp3Copyright = info.Copyright;
  Mp3CRC = info.CRC;
  Mp3Emphasis = info.Emphasis;
  Mp3Layer = info.Layer;
  Mp3MPEG = info.MPEG;
  Mp3Original = info.Original;
  Mp3Vbr = info.vbr;
  Mp3Frames = info.frames;
  Mp3EncoderDelay = info.encoderDelay;
  Mp3AudioBytes = info.audioBytes;
  Mp3LengthInMilliseconds = info.lengthInMilliseconds;

  static const std::vector<const Property*> version2Texts = [] {
    std::vector<const Property*> texts;
    for (const Property& property : kProperties) {
      if (isTextOf(property, TagVersion::V2)) texts.push_back(&property);
    }
    return texts;
  }();
  static const std::vector<std::int32_t> version2Frames = [] {
    std::vector<std::int32_t> frames;
    for (const Property* property : version2Texts) frames.push_back(property->tag->frame);
    return frames;
  }();
  id3v2::clsTv2 tag(m_fileSystem, m_clock);
  std::array<std::string*, kProperties.size()> outputs{};
  for (std::size_t i = 0; i < version2Texts.size(); ++i) {
    outputs[i] = &(this->*version2Texts[i]->text());
  }
  const platform::Status tagRead = tag.readframevalues(
      file, version2Frames, std::span<std::string* const>(outputs.data(), version2Texts.size()));
  TAGv2Exists = tag.hastag();

  TAGv1Exists = false;
  // No version 1 tag means no genre: an earlier file's genre must not be
  // shown, and then saved, as this file's.
  TAGv1GenreIndex = kNoGenre;
  TAGv1Track = 0;
  if (tail.size() >= kId3v1Size) {
    if (parseId3v1Into(std::span<const std::uint8_t, kId3v1Size>(
                           tail.data() + tail.size() - kId3v1Size, kId3v1Size),
                       m_version1)) {
      static const std::vector<const Property*> version1Fields = [] {
        std::vector<const Property*> fields;
        for (const Property& property : kProperties) {
          if (isTextOf(property, TagVersion::V1) && property.tag->v1Field) {
            fields.push_back(&property);
          }
        }
        return fields;
      }();
      for (const Property* property : version1Fields) {
        // Swapped, not copied: the buffers go back and forth between the
        // fields and the scratch copy, which the next read overwrites.
        std::swap(this->*property->text(), m_version1.*property->tag->v1Field);
      }
      TAGv1GenreIndex = m_version1.genre;
      TAGv1Track = m_version1.track;
      TAGv1Exists = true;
    }
  }
  return tagRead;
}

platform::Status ID3::SaveID3() {
  if (FileName.empty()) {
    m_dialogs.message("Oops! Error");
    ID3SaveDone = 1;
    return id3v2::refusal("no file is loaded");
  }
  id3v2::clsTv2 tag(m_fileSystem, m_clock);
  tag.lasterror(0);
  tag.setBusyHandler(m_busy);
  // A save of this folder killed half way is finished first.
  tag.finishAbandonedSaves(FileName);
  if (platform::Status read = readForSave(tag); !read) {
    raiseError(kWriteFailed, read.error());
    ID3SaveDone = 1;
    return read;
  }
  // Both tags are written in one step, so that a refused or failed save
  // leaves the file as it was: never one tag without the other, never a
  // part of the version 1 tag.
  const platform::Status written = tag.writetag(
      FileName, true,
      [this](platform::ReadableFile& file, std::uint64_t size) { return id3v1Ending(file, size); });
  if (!written) raiseError(tag.lasterror(), written.error());
  ID3SaveDone = 1;
  return written;
}

platform::Status ID3::readForSave(id3v2::clsTv2& tag) const {
  // The tag is read first so that every frame the fields do not show (a
  // cover picture, lyrics, frames of other programs) is written back as it
  // was, and unchanged values keep their bytes. A tag that could not be read
  // would be written back without what was missed: the save stops.
  if (platform::Status read = tag.readtag(FileName); !read) return read;
  for (const Property* property : version2SaveOrder()) {
    tag.setframevalue(property->tag->frame, this->*property->text());
  }
  if (CoverChange) id3v2::applyCoverEdit(tag.frames(), *CoverChange);
  return {};
}

std::optional<id3v2::Picture> ID3::readFrontCover() const {
  if (FileName.empty()) return std::nullopt;
  id3v2::clsTv2 tag(m_fileSystem, m_clock);
  // A damaged tag still shows a cover read before the damage.
  (void)tag.readtag(FileName);
  return id3v2::frontCover(tag.frames());
}

platform::Result<id3v2::TagChange> ID3::planSave() const {
  if (FileName.empty()) return id3v2::refusal("no file is loaded");
  id3v2::clsTv2 tag(m_fileSystem, m_clock);
  if (platform::Status read = readForSave(tag); !read) return read.error();
  return tag.planwrite(FileName, true, [this](platform::ReadableFile& file, std::uint64_t size) {
    return id3v1Ending(file, size);
  });
}

platform::Result<std::optional<id3v2::TagChange>> ID3::planRemoval() const {
  if (FileName.empty()) return id3v2::refusal("no file is loaded");
  id3v2::clsTv2 tag(m_fileSystem, m_clock);
  return tag.planremoval(FileName, true);
}

platform::Result<id3v2::FileEnding> ID3::id3v1Ending(platform::ReadableFile& file,
                                                     std::uint64_t size) const {
  Id3v1Fields fields;
  for (const Property& property : kProperties) {
    if (isTextOf(property, TagVersion::V1) && property.tag->v1Field) {
      fields.*property.tag->v1Field = this->*property.text();
    }
  }
  fields.genre = genreByte(TAGv1Genre);
  id3v2::FileEnding ending;
  if (size < kId3v1Size) {
    const std::array<std::uint8_t, kId3v1Size> block = renderId3v1(fields);
    ending.bytes.assign(block.begin(), block.end());
    return ending;
  }
  std::array<std::uint8_t, kId3v1Size> oldBlock{};
  auto got = file.readAt(size - kId3v1Size, oldBlock);
  if (!got) return id3v2::causedBy("cannot read the end of the file", got.error());
  if (got.value() != oldBlock.size()) {
    return id3v2::refusal("the end of the file could not be read");
  }
  // An existing tag is replaced, its unchanged fields byte for byte;
  // otherwise the tag is added.
  const std::array<std::uint8_t, kId3v1Size> block = renderId3v1Over(oldBlock, fields);
  ending.bytes.assign(block.begin(), block.end());
  if (isId3v1Marker(std::span(oldBlock).first<3>())) ending.replaces = kId3v1Size;
  return ending;
}

platform::Status ID3::RemoveID3Tagv2() {
  if (FileName.empty()) {
    m_dialogs.message("Oops! Error");
    return id3v2::refusal("no file is loaded");
  }
  id3v2::clsTv2 tag(m_fileSystem, m_clock);
  tag.lasterror(0);
  const platform::Status removed = tag.removetag(FileName, true);
  if (!removed) raiseError(tag.lasterror(), removed.error());
  return removed;
}

platform::Status ID3::ReadWAV(const std::string& path) {
  WAVFrequency = WAVBitrate = WAVLenghtInSeconds = WAVChannels = WAVBits = 0;
  WAVFileSizeInBytes = 0;
  WAVFileSize.clear();
  WAVLenght.clear();
  WavFormat.clear();
  auto opened = m_fileSystem.openForReading(path);
  if (!opened) return id3v2::causedBy("cannot open the file", opened.error());
  auto length = opened.value()->size();
  if (!length) return id3v2::causedBy("cannot measure the file", length.error());
  // The chunks before "data" are usually in the first bytes: one read.
  PrefixCachedFile file(*opened.value(), length.value());
  (void)file.load(kPrefixSize);
  const WavInfo info = ReadWAVHeader(
      [&file](std::uint64_t offset, std::span<std::uint8_t> buffer) -> std::size_t {
        auto got = file.readAt(offset, buffer);
        return got ? got.value() : 0;
      },
      length.value());
  WAVChannels = info.channels;
  WAVBits = info.bits;
  WAVFrequency = info.frequency;
  WAVBitrate = info.bitrate;
  WAVLenghtInSeconds = info.seconds;
  WavFormat = info.format;
  WAVFileSizeInBytes = static_cast<std::int64_t>(length.value());
  WAVFileSize = sizeText(static_cast<std::int64_t>(length.value()), m_decimalSeparator);
  WAVLenght = minutesAndSeconds(info.seconds);
  return {};
}

}  // namespace brindle::inspect
