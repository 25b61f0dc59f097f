// The inspection on crafted and encoded files: lookups, tags, MPEG and WAV analyses, the component.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <sstream>

#include "inspect/GenreList.h"
#include "inspect/ID3.h"
#include "inspect/Id3v1Tag.h"
#include "inspect/MpegAnalysis.h"
#include "inspect/Properties.h"
#include "inspect/Readout.h"
#include "inspect/SizeText.h"
#include "inspect/TrailingTags.h"
#include "inspect/WavAnalysis.h"
#include "platform/testing/TestPlatform.h"
#include "tests/id3v2/TagBytes.h"
#include "tests/support/TempDir.h"

namespace brindle::inspect {
namespace {

using namespace id3v2::testbytes;
using platform::testing::FsOp;
using testsupport::TempDir;
using Block = std::array<std::uint8_t, kId3v1Size>;
using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(Lookups, SizeTextsGenresAndProperties) {
  const std::pair<std::int64_t, const char*> rows[] = {
      {0, "0 B"},        {999, "999 B"},      {1000, "0.97 kB"},     {1024, "1 kB"},
      {1126, "1.09 kB"}, {1331, "1.29 kB"},   {999999, "976.56 kB"}, {1000000, "0.95 MB"},
      {1048576, "1 MB"}, {3000000, "2.86 MB"}};
  for (const auto& [bytes, text] : rows) EXPECT_EQ(sizeText(bytes), text) << bytes;
  EXPECT_EQ(sizeText(1500, ','), "1,46 kB");
  const std::pair<std::int64_t, const char*> times[] = {
      {245, "4:05"}, {750, "12:30"}, {59, "0:59"}, {60, "1:00"}, {0, "0:00"}, {-61, "-1:01"}};
  for (const auto& [seconds, text] : times) EXPECT_EQ(minutesAndSeconds(seconds), text);
  const auto list = genreList();
  ASSERT_EQ(list.size(), 150u);
  EXPECT_STREQ(list[0].name, " ");
  std::set<int> numbers;
  for (std::size_t i = 1; i < list.size(); ++i) numbers.insert(list[i].number);
  EXPECT_EQ(numbers.size(), 149u);
  EXPECT_EQ(*numbers.rbegin(), 148);
  for (const auto& [number, name] : {std::pair{17, "Rock"}, {0, "Blues"}, {28, "Vocal"}}) {
    EXPECT_STREQ(list[static_cast<std::size_t>(genrePositionForNumber(number))].name, name);
    EXPECT_TRUE(isListedGenre(number));
  }
  std::vector<int> positions;
  for (int number : {123, 28, 149, 254, kNoGenre, -1})
    positions.push_back(genrePositionForNumber(number));
  for (const char* text : {" ", "Vocal", "rock", "Rock ", ""})
    positions.push_back(genrePositionForText(text));
  EXPECT_EQ(positions, (std::vector<int>{1, 149, 0, 0, 0, 0, 0, 149, -1, -1, -1}));
  for (int number : {149, 254, kNoGenre, -1}) EXPECT_FALSE(isListedGenre(number)) << number;
  EXPECT_EQ(genreNumberAt(genrePositionForText("Drum & Bass")), 127);
  const std::pair<int, int> numbersAt[] = {
      {0, kNoGenre}, {149, 28}, {150, kNoGenre}, {-1, kNoGenre}};
  for (const auto& [position, number] : numbersAt) EXPECT_EQ(genreNumberAt(position), number);
  ASSERT_NE(findProperty("TAGv2Title"), nullptr);
  EXPECT_EQ(findProperty("TAGv2Title")->text(), &ID3::TAGv2Title);
  EXPECT_TRUE(findProperty("tagv2title") == nullptr &&
              findProperty("TAGv1Genre")->tag->v1Field == nullptr);
  EXPECT_TRUE(isWavProperty(*findProperty("WAVFrequency")) &&
              isWavProperty(*findProperty("WavFormat")));
  EXPECT_FALSE(isWavProperty(*findProperty("Mp3Bitrate")));
  using namespace id3v2;
  std::vector<std::int32_t> frames;
  for (const Property* property : version2SaveOrder()) frames.push_back(property->tag->frame);
  EXPECT_EQ(frames, (std::vector<std::int32_t>{TIT2, TALB, TPE1, TCON, TYER, TENC, COMM, TRCK, TOPE,
                                               TCOM, WXXX, TCOP}));
}

/// An APEv2 footer counting `size` bytes, flagged as having a header when `withHeader`.
std::string apeFooter(std::uint32_t size, bool withHeader) {
  std::string footer = "APETAGEX";
  for (std::uint32_t value : {2000u, size, 1u, withHeader ? 0x80000000u : 0u}) {
    for (int i = 0; i < 4; ++i) footer += static_cast<char>(value >> (8 * i));
  }
  return footer + std::string(8, '\0');
}

TEST(TrailingTags, LengthsOfTheTagsThatEndHere) {
  // clang-format off
  const std::pair<std::string, std::uint64_t> rows[] = {
      {"audio" + apeFooter(100, false), 100}, {"audio" + apeFooter(100, true), 132},
      {"audio" + apeFooter(32, false), 32}, {"audio" + apeFooter(31, false), 0},
      {"audio000120LYRICS200", 135}, {"000000LYRICS200", 15}, {"00000LYRICS200", 0},
      {"audio0001x0LYRICS200", 0}, {"audio0001:0LYRICS200", 0}, {std::string(32, '\xAA'), 0},
      {"LYRICS200", 0}};
  // clang-format on
  for (const auto& [before, length] : rows)
    EXPECT_EQ(apeOrLyrics3v2Length(bytesOf(before)), length) << before;
  const std::string tag = "LYRICSBEGIN[00:01]la la laLYRICSEND";
  EXPECT_TRUE(endsWithLyrics3v1(bytesOf("audio" + tag)));
  EXPECT_EQ(lyrics3v1Length(bytesOf("audio" + tag)), tag.size());
  EXPECT_EQ(
      lyrics3v1Length(bytesOf("no beginning LYRICSEND")) + lyrics3v1Length(bytesOf("LYRICSBEGIN")),
      0u);
  EXPECT_FALSE(endsWithLyrics3v1(bytesOf("LYRICSEN")));
}

/// A block with the marker and the given raw fields.
Block block(const std::string& title, const std::string& album = {}, int genre = 0,
            const std::string& marker = "TAG", const std::string& artist = {}) {
  Block bytes{};
  for (const auto& [offset, text] : {std::pair{0, marker}, {3, title}, {33, artist}, {63, album}})
    std::copy(text.begin(), text.end(), bytes.begin() + offset);
  bytes[127] = static_cast<std::uint8_t>(genre);
  return bytes;
}

/// A v1.1 block as other programs write it: leading blanks, bytes after a zero, track 7.
Block version11Block(const std::string& marker = "TAG") {
  Block bytes = block(" Lead", "Disc", 17, marker, std::string("Band\0old", 8));
  std::copy_n("1999 note", 9, bytes.begin() + 93);
  bytes[126] = 7;
  return bytes;
}

TEST(Id3v1, ParseRules) {
  EXPECT_TRUE(parseId3v1(block("x", {}, 0, "tag")) && parseId3v1(block("x", {}, 0, "Tag")));
  EXPECT_FALSE(parseId3v1(block("x", {}, 0, "TAH")));
  // Title and artist are cut at a zero, the album is not; blanks are trimmed before the cut.
  const auto fields = parseId3v1(block(" ab  ", std::string("Disc") + std::string(26, '\0'), 200,
                                       "TAG", "Band" + std::string(26, ' ')));
  ASSERT_TRUE(fields);  // no track: the comment has 30 bytes
  EXPECT_EQ(fields->title + "|" + fields->artist + "|" + fields->album + "|" + fields->comment +
                "|" + std::to_string(fields->genre) + "|" + std::to_string(fields->track),
            "ab  |Band|Disc" + std::string(26, '\0') + "|" + std::string(30, '\0') + "|200|0");
  EXPECT_EQ(parseId3v1(block(std::string(30, 'T')))->title, std::string(30, 'T'));
  EXPECT_EQ(parseId3v1(block("Caf\xE9"))->title, "Caf\xC3\xA9");
  const auto v11 = parseId3v1(version11Block());
  EXPECT_EQ(v11->comment + std::to_string(v11->track), "note" + std::string(23, '\0') + "7");
  // Rendering pads, cuts and keeps unchanged bytes.
  Id3v1Fields set;
  set.title = std::string(40, 'x');
  set.artist = "Caf\xC3\xA9 \xE2\x98\x83";
  set.year = "19999";
  set.genre = genreByte("");
  const Block bytes = renderId3v1(set);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 40) +
                std::string(bytes.begin() + 93, bytes.begin() + 97) + static_cast<char>(bytes[127]),
            "TAG" + std::string(30, 'x') + "Caf\xE9 ? 1999 ");
  EXPECT_EQ(parseId3v1(bytes)->artist, "Caf\xC3\xA9 ?");
  EXPECT_EQ(genreText(17) + genreText(255), "\x11\xC3\xBF");
  EXPECT_EQ((std::vector<int>{genreByte(genreText(255)), genreByte(genreText(0)),
                              genreByte("\xE2\x98\x83")}),
            (std::vector<int>{255, 0, '?'}));
  // Over an old block, unchanged fields keep their bytes and the track stays.
  struct Row {
    Block old;
    void (*change)(Id3v1Fields&);
    std::size_t offset;
    std::string bytes;
  };
  // clang-format off
  const Row rows[] = {
      {version11Block(), [](Id3v1Fields&) {}, 0, ""},
      {version11Block("tag"), [](Id3v1Fields&) {}, 0, "TAG"},
      {version11Block(), [](Id3v1Fields& f) { f.title = "New"; }, 3, "New" + std::string(27, ' ')},
      {version11Block(), [](Id3v1Fields& f) { f.comment = "Other"; }, 97, "Other" + std::string(23, ' ')},
      {version11Block(), [](Id3v1Fields& f) { f.genre = 3; }, 127, "\3"},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    Id3v1Fields changed = *parseId3v1(row.old);
    row.change(changed);
    changed.track = 0;
    Block expected = row.old;
    std::copy(row.bytes.begin(), row.bytes.end(),
              expected.begin() + static_cast<std::ptrdiff_t>(row.offset));
    EXPECT_EQ(renderId3v1Over(row.old, changed), expected);
  }
  Id3v1Fields title;
  title.title = "T";
  EXPECT_EQ(renderId3v1Over(Block{}, title), renderId3v1(title));
}

/// `count` frames with this header, each as long as the header says, the rest zero.
Bytes frames(Bytes header, int count) {
  Bytes frame = header + Bytes(parseFrameHeader(header).value().frameLength() - 4, 0), bytes;
  for (int i = 0; i < count; ++i) bytes = bytes + frame;
  return bytes;
}

void put(Bytes& bytes, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

Mp3Info analyse(const Bytes& bytes) {
  return ReadMPEG(bytes, AudioExtent{0, bytes.size(), bytes.size()});
}

/// The four header bytes of a big-endian value.
Bytes header(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

TEST(ReadMPEG, EveryVersionAndLayerWithItsOwnTablesFlagsAndReservedValues) {
  const std::tuple<std::uint32_t, int, int, const char*> rows[] = {
      {0xFFFB9064, 417, 1152, "MPEG 1.0|layer 3|128|44100 Hz|Joint Stereo"},
      {0xFFFB9264, 418, 1152, "MPEG 1.0|layer 3|128|44100 Hz|Joint Stereo"},
      {0xFFFD9400, 480, 1152, "MPEG 1.0|layer 2|160|48000 Hz|Stereo"},
      {0xFFFF98C0, 432, 384, "MPEG 1.0|layer 1|288|32000 Hz|Mono"},
      {0xFFF39480, 240, 576, "MPEG 2.0|layer 3|80|24000 Hz|2 Channel"},
      {0xFFF588C0, 576, 1152, "MPEG 2.0|layer 2|64|16000 Hz|Mono"},
      {0xFFF78040, 276, 384, "MPEG 2.0|layer 1|128|22050 Hz|Joint Stereo"},
      {0xFFE358C0, 360, 576, "MPEG 2.5|layer 3|40|8000 Hz|Mono"},
      {0xFFE350C0, 261, 576, "MPEG 2.5|layer 3|40|11025 Hz|Mono"},
      {0xFFE354C0, 240, 576, "MPEG 2.5|layer 3|40|12000 Hz|Mono"},
  };
  for (const auto& [bytes, frameLength, samples, fields] : rows) {
    SCOPED_TRACE(fields);
    const auto parsed = parseFrameHeader(header(bytes));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->frameLength(), frameLength);
    EXPECT_EQ(parsed->samplesPerFrame(), samples);
    const Mp3Info info = analyse(frames(header(bytes), 10));
    EXPECT_EQ(info.MPEG + "|" + info.Layer + "|" + info.Bitrate + "|" + info.Frequency + "|" +
                  info.Channels,
              fields);
    EXPECT_FALSE(info.vbr);
  }
  const Mp3Info info = analyse(frames({0xFF, 0xFA, 0x90, 0x0F}, 3));
  EXPECT_EQ(info.CRC + info.Copyright + info.Original + "|" + info.Emphasis + "|" + info.Channels,
            "YesYesYes|CITT j. 17|Stereo");
  const Mp3Info plain = analyse(frames(header(0xFFFB9064), 3));
  EXPECT_EQ(plain.CRC + plain.Copyright + plain.Original + "|" + plain.Emphasis, "NoNoYes|None");
  // Reserved and free-format values: version 01, layer 00, bit rate 15, free, sampling 11, no sync.
  for (std::uint32_t value :
       {0xFFEB9064u, 0xFFF99064u, 0xFFFBF064u, 0xFFFB0C64u, 0xFFFB9C64u, 0xFFDB9064u})
    EXPECT_FALSE(parseFrameHeader(header(value))) << std::hex << value;
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xFB, 0x90}));
}

TEST(ReadMPEG, AFrameCountsOnlyWhenTheNextFollowsOrTheAudioEnds) {
  // A 32 kHz header whose frame is not followed by another, then the real 44.1 kHz frames.
  const Bytes audio = frames(header(0xFFFB9064), 5);
  const Bytes bytes = Bytes{0x00, 0xFF, 0xFB, 0x98, 0x64, 0x11, 0x22} + audio;
  EXPECT_EQ(analyse(bytes).Frequency, "44100 Hz");
  EXPECT_EQ(analyse(bytes).audioBytes, static_cast<std::int64_t>(audio.size()));
  // A next header of another stream does not confirm a frame either.
  EXPECT_EQ(analyse(frames(header(0xFFFB9864), 1) + frames(header(0xFFF39480), 4)).Frequency,
            "24000 Hz");
  Bytes one = frames(header(0xFFFB9064), 1);
  EXPECT_EQ(analyse(one).MPEG, "MPEG 1.0");
  one.pop_back();
  EXPECT_EQ(analyse(one).MPEG, "");
  const Mp3Info none = ReadMPEG(Bytes(5000, 0xFF), AudioExtent{0, 5000, 6000});
  EXPECT_EQ(none.MPEG + none.Bitrate + none.LengthInSeconds + "|" + none.FileSize, "|6000");
  // 4,000,000 bytes of 128 kbit/s audio between a 100,000-byte tag and 300 bytes of tags: 250 s.
  const Mp3Info info =
      ReadMPEG(frames(header(0xFFFB9064), 3), AudioExtent{100000, 4100000, 4100300});
  // 9570 frames: 4,000,000 × 8 × 44100 ÷ (128,000 × 1152).
  EXPECT_EQ(std::to_string(info.lengthInMilliseconds) + "|" + info.LengthInSeconds + "|" +
                std::to_string(info.audioBytes) + "|" + info.Bitrate + "|" + info.FileSize + "|" +
                std::to_string(info.frames),
            "250000|250|4000000|128|4100300|9570");
}

/// A first frame with a "Xing"/"Info" header (counts, maybe a LAME tag), then three frames.
Bytes xingFile(Bytes header, std::size_t offset, const std::string& kind, std::uint32_t count,
               std::uint32_t byteCount, bool lame) {
  Bytes bytes = frames(header, 4);
  put(bytes, offset, kind);
  put32(bytes, offset + 4, 0x0F);
  put32(bytes, offset + 8, count);
  put32(bytes, offset + 12, byteCount);
  if (lame) {
    const std::size_t tag = offset + 120;
    put(bytes, tag, "LAME3.100");
    put(bytes, tag + 21, "\x24\x03\xE8");  // delay 576, padding 1000 (0x240, 0x3E8)
  }
  return bytes;
}

TEST(ReadMPEG, VbrHeadersOnlyAtTheirOffsetCountLengthAndAverageBitRate) {
  // MPEG 1 stereo, MPEG 1 mono, MPEG 2 joint stereo, MPEG 2.5 mono; then wrong places.
  const std::tuple<std::uint32_t, std::size_t, bool> places[] = {
      {0xFFFB9064, 36, true}, {0xFFFB90C4, 21, true},  {0xFFF39444, 21, true},
      {0xFFE394C4, 13, true}, {0xFFFB9064, 21, false}, {0xFFFD9400, 36, false}};
  for (const auto& [bytes, offset, vbr] : places) {
    SCOPED_TRACE(offset);
    const auto parsed = parseFrameHeader(header(bytes));
    const Mp3Info info = analyse(xingFile(header(bytes), offset, "Xing", 1000, 500000, false));
    EXPECT_EQ(info.vbr, vbr);
    EXPECT_EQ(info.frames, vbr ? 1000 : 4);
    if (vbr) {
      EXPECT_EQ(info.lengthInMilliseconds,
                1000LL * parsed->samplesPerFrame() * 1000 / parsed->sampleRate);
    }
  }
  // A VBR header counts the length and the average bit rate.
  const Bytes mpeg1 = header(0xFFFB9064);
  Bytes vbri = frames(mpeg1, 4);  // "VBRI" 32 bytes after the header
  put(vbri, 36, "VBRI");
  vbri[41] = 1;  // version
  put32(vbri, 46, 2000000);
  put32(vbri, 50, 2000);
  // Xing: (1000 × 1152 − 1576) samples / 44.1 kHz = 26.086 s; "Info" means CBR; VBRI: 52.244 s.
  // clang-format off
  const std::tuple<Bytes, bool, int, int, int, int, const char*, const char*> rows[] = {
      {xingFile(mpeg1, 36, "Xing", 1000, 600417, true), true, 1000, 576, 1000, 26086, "26", "VBR 184"},
      {xingFile(mpeg1, 36, "Info", 100, 41800, true), false, 100, 576, 1000,
       (100 * 1152 - 1576) * 1000 / 44100, "2", "128"},
      {vbri, true, 2000, 0, 0, 52244, "52", "VBR 306"},
  };
  // clang-format on
  for (const auto& [bytes, vbr, count, delay, padding, ms, seconds, bitrate] : rows) {
    SCOPED_TRACE(bitrate);
    const Mp3Info info = analyse(bytes);
    EXPECT_EQ(info.vbr, vbr);
    EXPECT_EQ((std::vector<std::int64_t>{info.frames, info.encoderDelay, info.encoderPadding,
                                         info.lengthInMilliseconds}),
              (std::vector<std::int64_t>{count, delay, padding, ms}));
    EXPECT_EQ(info.LengthInSeconds + " " + info.Bitrate, std::string(seconds) + " " + bitrate);
  }
}

TEST(FirstFrame, HeldOnlyWhenTheAnswerIsKnownAndSearchedWithinTheSearchLength) {
  const Bytes bytes = frames(header(0xFFFB9064), 3);
  const Bytes cut(bytes.begin(), bytes.begin() + 419);  // the next header is missing
  EXPECT_EQ(
      (std::vector<bool>{holdsFirstFrame(bytes, bytes.size()), holdsFirstFrame(bytes, 1000000),
                         holdsFirstFrame(cut, 1000000), holdsFirstFrame(Bytes(100, 0), 1000000),
                         holdsFirstFrame(Bytes(100, 0), 100)}),
      (std::vector<bool>{true, true, false, false, true}));
  // The search ends at the search length.
  Bytes late = Bytes(kMpegSearchLength, 0) + bytes;
  EXPECT_EQ(findFirstFrame(late, late.size()).outcome, FrameSearch::Outcome::NotFound);
  late.erase(late.begin());
  const FrameSearch found = findFirstFrame(late, late.size());
  EXPECT_TRUE(found.outcome == FrameSearch::Outcome::Found &&
              found.position == kMpegSearchLength - 1);
}

/// Little-endian fields, each a value and its width in bytes.
Bytes little(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  Bytes bytes;
  for (const auto& [value, width] : fields)
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return bytes;
}

/// A chunk: id, 32-bit size (the body's, unless given), body, pad byte.
Bytes chunk(const std::string& id, const Bytes& body, std::int64_t size = -1) {
  const auto declared = size < 0 ? body.size() : static_cast<std::uint64_t>(size);
  return Bytes(id.begin(), id.end()) + little({{declared, 4}}) + body + Bytes(body.size() % 2, 0);
}

/// A "fmt " chunk with every field given, consistent or not.
Bytes rawFormat(std::uint64_t channels, std::uint64_t rate, std::uint64_t byteRate,
                std::uint64_t align, std::uint64_t bits, std::uint16_t tag = 1, Bytes extra = {}) {
  return chunk(
      "fmt ",
      little({{tag, 2}, {channels, 2}, {rate, 4}, {byteRate, 4}, {align, 2}, {bits, 2}}) + extra);
}

Bytes format(std::uint16_t tag, int channels, std::uint32_t rate, int bits,
             std::uint16_t subFormat = 0) {
  const auto align = static_cast<std::uint64_t>(channels * bits / 8);
  const auto b = static_cast<std::uint64_t>(bits);
  const Bytes guidRest = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  const Bytes extensible =
      tag == 0xFFFE ? little({{22, 2}, {b, 2}, {3, 4}, {subFormat, 2}}) + guidRest : Bytes{};
  return rawFormat(static_cast<std::uint64_t>(channels), rate, rate * align, align, b, tag,
                   extensible);
}

Bytes wave(const std::vector<Bytes>& chunks, const char* marker = "RIFF") {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body = body + c;
  return Bytes(marker, marker + 4) + little({{body.size(), 4}}) + body;
}

/// Format, frequency, channels, bits, bit rate, data bytes, milliseconds and seconds.
std::string summary(const WavInfo& info) {
  std::ostringstream out;
  out << info.format << "|" << info.frequency << "|" << info.channels << "|" << info.bits << "|"
      << info.bitrate << "|" << info.dataBytes << "|" << info.milliseconds << "|" << info.seconds;
  return out.str();
}

TEST(ReadWAVHeader, EveryShapeOfFile) {
  const auto data = [](std::size_t size) { return chunk("data", Bytes(size)); };
  // clang-format off
  const std::pair<Bytes, std::string> rows[] = {
      {wave({format(1, 2, 44100, 16), data(176400)}), "PCM|44100|2|16|1411200|176400|1000|1"},
      {wave({chunk("JUNK", Bytes(28)), chunk("LIST", Bytes(3)), format(1, 1, 8000, 8),
             chunk("odd ", Bytes(5)), data(12000)}), "PCM|8000|1|8|64000|12000|1500|2"},
      {wave({format(3, 2, 48000, 32), data(96000)}), "IEEE float|48000|2|32|3072000|96000|250|0"},
      {wave({format(0xFFFE, 2, 96000, 24, 1), data(57600)}), "extensible PCM|96000|2|24|4608000|57600|100|0"},
      {wave({format(0xFFFE, 1, 22050, 32, 3), data(88200)}),
       "extensible IEEE float|22050|1|32|705600|88200|1000|1"},
      {wave({data(32000), format(1, 1, 16000, 16)}), "PCM|16000|1|16|256000|32000|1000|1"},
      {wave({format(1, 1, 16000, 16), chunk("data", Bytes(3200), 0x7FFFFFF0)}),
       "PCM|16000|1|16|256000|3200|100|0"},
      {wave({format(1, 2, 44100, 16), data(1764000), chunk("LIST", Bytes(1000000))}),
       "PCM|44100|2|16|1411200|1764000|10000|10"},
      {wave({format(0x55, 2, 44100, 0), data(100)}), "format 0x0055|44100|2|0|0|100|0|0"},
  };
  // clang-format on
  for (const auto& [file, expected] : rows) {
    EXPECT_TRUE(ReadWAVHeader(file).riff) << expected;
    EXPECT_EQ(summary(ReadWAVHeader(file)), expected);
  }
}

/// Reads the bytes of `head` and zeros after them, for a file of any length.
ReadBytesAt sparse(const Bytes& head) {
  return [head](std::uint64_t offset, std::span<std::uint8_t> buffer) -> std::size_t {
    for (std::size_t i = 0; i < buffer.size(); ++i) {
      buffer[i] = offset + i < head.size() ? head[static_cast<std::size_t>(offset + i)] : 0;
    }
    return buffer.size();
  };
}

TEST(ReadWAVHeader, Rf64AbsurdAndNotRiffFilesAndConvertBase) {
  // 6 GiB of 48 kHz stereo 24-bit audio: 6 × 2^30 ÷ 288,000 = 22369.6 s.
  const std::uint64_t dataBytes = 6ULL << 30;
  const Bytes ds64 = little({{dataBytes + 100, 8}, {dataBytes, 8}, {dataBytes / 6, 8}, {0, 4}});
  const Bytes head =
      wave({chunk("ds64", ds64), format(1, 2, 48000, 24)}, "RF64") + chunk("data", {}, 0xFFFFFFFF);
  const WavInfo info = ReadWAVHeader(sparse(head), head.size() + dataBytes);
  EXPECT_TRUE(info.riff && info.rf64);
  EXPECT_EQ(summary(info), "PCM|48000|2|24|2304000|6442450944|22369621|22370");
  // The "ds64" size is clamped to the file too.
  EXPECT_EQ(ReadWAVHeader(sparse(head), head.size() + 1000).dataBytes, 1000u);
  // Block align 1 with 4 GB of data per second.
  const Bytes fast =
      wave({rawFormat(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1, 0xFFFF), chunk("data", {}, 0xFFFFFFFE)});
  const WavInfo clamped = ReadWAVHeader(sparse(fast), fast.size() + 0xFFFFFFFEULL);
  const auto n = [](std::int64_t value) { return std::to_string(value) + "|"; };
  EXPECT_EQ(n(clamped.frequency) + n(clamped.bitrate) + n(clamped.channels) + n(clamped.seconds),
            "2147483647|2147483647|65535|1|");
  // Rate 1 Hz and block align 1 with 4 GB of data: more seconds than fit.
  const Bytes slow = wave({rawFormat(1, 1, 1, 1, 8), chunk("data", {}, 0xFFFFFFFE)});
  const WavInfo longest = ReadWAVHeader(sparse(slow), slow.size() + 0xFFFFFFFEULL);
  EXPECT_EQ(longest.seconds, INT32_MAX);
  EXPECT_EQ(longest.milliseconds, 0xFFFFFFFEULL * 1000);
  // Chunk sizes of 0 everywhere: the walk is bounded.
  Bytes zeros = wave({});
  for (int i = 0; i < 10000; ++i) zeros = zeros + chunk("zero", {});
  const WavInfo walked = ReadWAVHeader(zeros);
  EXPECT_TRUE(walked.riff && !walked.hasFormat && walked.seconds == 0);
  const Bytes riffx = wave({format(1, 2, 44100, 16), chunk("data", Bytes(100))}, "RIFX");
  const WavInfo notRiff = ReadWAVHeader(riffx);
  EXPECT_FALSE(notRiff.riff);
  EXPECT_EQ(summary(notRiff), "|0|0|0|0|0|0|0");
  Bytes avi = wave({format(1, 2, 44100, 16)});
  std::memcpy(avi.data() + 8, "AVI ", 4);
  EXPECT_FALSE(ReadWAVHeader(avi).riff);
  EXPECT_FALSE(ReadWAVHeader(Bytes{}).riff);
  const WavInfo noChannels =
      ReadWAVHeader(wave({format(1, 0, 44100, 16), chunk("data", Bytes(100))}));
  EXPECT_EQ(noChannels.bitrate + noChannels.seconds, 0);
  const std::tuple<const char*, int, int, const char*> rows[] = {
      {"255", 10, 16, "FF"},    {"0", 10, 16, "0"},      {"68", 10, 16, "44"},
      {"ff", 16, 10, "255"},    {"1G", 16, 10, "Error"}, {"", 10, 16, "Error"},
      {"12", 1, 16, "Error"},   {"12", 10, 37, "Error"}, {"5", 10, 2, "101"},
      {"1.5", 10, 16, "Error"}, {"5", 10, 1, "0"},  // base 1 ends instead of looping
  };
  for (const auto& [text, from, to, converted] : rows)
    EXPECT_EQ(ConvertBase(text, from, to), converted) << text << " " << from << " " << to;
}

/// `size` bytes of frames of `frameLength` bytes with this header, silent.
std::string frames(const std::string& header, std::size_t frameLength, std::size_t size) {
  std::string frame = header + std::string(frameLength - header.size(), '\0'), stream;
  while (stream.size() < size) stream += frame;
  stream.resize(size);
  return stream;
}

/// MPEG 1 layer 3 frames at 128 kbit/s and 44.1 kHz (417 bytes each).
std::string audio(std::size_t size = 4000) {
  return frames(bytes({0xFF, 0xFB, 0x90, 0x64}), 417, size);
}

std::string title(const std::string& text) {
  return frame23("TIT2", bytes({0}) + text);
}

std::string v1Block(const std::string& title, int genre, const std::string& marker = "TAG") {
  std::string block = marker + title;
  block.resize(127, '\0');
  return block + static_cast<char>(genre);
}

class ComponentTest : public ::testing::Test {
 protected:
  ComponentTest() {
    component.setDecimalSeparator('.');
    component.setErrorHandler([this](std::int16_t code, const platform::Error& reason) {
      errors.push_back(code);
      reasons.push_back(reason);
    });
  }
  std::string file(const std::string& content, const std::string& name = "song.mp3") {
    return folder.write(name, content);
  }
  ID3 reread(const std::string& path) {
    ID3 again(test.fileSystem, test.clock, test.dialogs);
    again.ReadID3(path);
    return again;
  }
  TempDir folder;
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  std::vector<std::int16_t> errors;
  std::vector<platform::Error> reasons;
};

TEST_F(ComponentTest, ReadsBothTagsAndTheAudioAndNothingOfTheLastFile) {
  std::string v11 = v1Block("One", 17);
  v11[126] = 7;  // a version 1.1 track number
  const std::string path = file(id3tag(3, title("Two") + frame23("TRCK", bytes({0}) + "07") +
                                              frame23("WXXX", bytes({0, 0}) + "http://a/")) +
                                audio() + v11);
  component.ReadID3(path);
  EXPECT_EQ(component.FileName, path);
  EXPECT_TRUE(component.TAGv2Exists && component.TAGv1Exists);
  EXPECT_EQ(component.TAGv2Title + "|" + component.TAGv2Track + "|" + component.TAGv2Url + "|" +
                component.TAGv1Title + "|" + std::to_string(component.TAGv1GenreIndex) + "|" +
                component.TAGv1Genre + "|" + std::to_string(component.TAGv1Track) + "|" +
                component.Mp3MPEG + " " + component.Mp3Bitrate,
            "Two|07|http://a/|One|17||7|MPEG 1.0 128");
  EXPECT_EQ(component.Mp3FileSizeInBytes, static_cast<std::int64_t>(TempDir::read(path).size()));
  component.ReadID3(file(audio(), "plain.mp3"));
  EXPECT_FALSE(component.TAGv2Exists || component.TAGv1Exists);
  EXPECT_EQ(component.TAGv2Title + std::to_string(component.TAGv1GenreIndex), "255");
  component.ReadID3(path);
  const platform::Status read = component.ReadID3(folder.file("missing.mp3"));
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().code, ENOENT);
  EXPECT_FALSE(component.TAGv1Exists || component.TAGv2Exists);
  EXPECT_EQ(component.TAGv2Title + component.TAGv1Title + component.Mp3Bitrate +
                component.Mp3FileSize + std::to_string(component.TAGv1Track) +
                std::to_string(component.TAGv1GenreIndex) +
                std::to_string(component.Mp3FileSizeInBytes),
            "02550");
  EXPECT_FALSE(test.realFileSystem.exists(folder.file("missing.mp3")));
  EXPECT_TRUE(errors.empty());
}

TEST_F(ComponentTest, AudioTextsAndReadouts) {
  component.ReadID3(file(audio(1500)));
  EXPECT_EQ(component.Mp3FileSize, "1.46 kB");
  component.ReadID3(file(audio(3920000)));
  EXPECT_EQ(component.Mp3FileLenghtInSeconds + " " + component.Mp3FileLenght, "245 4:05");
  component.ReadID3(file(audio(3000000)));
  EXPECT_EQ(mp3Readout(component),
            (std::vector<std::string>{"Size: 2.86 MB   (3000000 B)", "Length: 3:07   (187 sec)",
                                      "MPEG 1.0 layer 3", "128 kbps", "44100 Hz Joint Stereo",
                                      "CRCs: No", "Copyright: No", "Original: Yes",
                                      "Emphasis: None", "ID3 Tag v1: False", "ID3 Tag v2: False"}));
  component.ReadID3(file(audio() + v1Block("x", 1).replace(125, 2, bytes({0, 5}))));
  EXPECT_EQ(mp3Readout(component)[9], "ID3 Tag v1: True (v1.1, track 5)");
  // A 6 KB cover holding a false sync pair, then MPEG 2 layer 3 audio: neither missed nor misread.
  std::string picture = bytes({0}) + "image/jpeg" + bytes({0, 3, 0, 0xFF, 0xFB, 0x10, 0});
  picture.resize(6000, 'p');
  component.ReadID3(file(id3tag(3, frame23("APIC", picture)) +
                         frames(bytes({0xFF, 0xF3, 0x94, 0xC4}), 240, 2400)));
  EXPECT_EQ(component.Mp3MPEG + " " + component.Mp3Bitrate + " " + component.Mp3Channels,
            "MPEG 2.0 80 Mono");
  // MPEG 2.5 layer 3 at 8 kHz, a "Xing" header counting 100 frames of 36,000 bytes.
  std::string stream = frames(bytes({0xFF, 0xE3, 0x58, 0xC4}), 360, 360 * 101);
  stream.replace(13, 16, "Xing" + bytes({0, 0, 0, 3, 0, 0, 0, 100, 0, 0, 0x8F, 0x8C}));
  component.ReadID3(file(stream));
  const auto lines = mp3Readout(component);
  EXPECT_EQ(lines[1] + "|" + lines[2] + "|" + lines[3] + "|" + lines[4],
            "Length: 0:07   (7 sec)|MPEG 2.5 layer 3|VBR 40 kbps|8000 Hz Mono");
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(
      std::to_string(component.Mp3Frames) + " " + std::to_string(component.Mp3LengthInMilliseconds),
      "100 7200");
  // 41,700 bytes of audio (2.606 s), then an APEv2 tag with a header, Lyrics3 v2 and version 1.
  std::string ape =
      "APETAGEX" + bytes({0xD0, 0x07, 0, 0, 0x2C, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xA0});
  std::string footer = ape.substr(0, 20) + bytes({0, 0, 0, 0x80});
  std::string item = bytes({2, 0, 0, 0, 0, 0, 0, 0}) + "Ab" + bytes({0}) + "x";
  component.ReadID3(file(audio(41700) + ape + std::string(8, '\0') + item + footer +
                         std::string(8, '\0') + "LYRICSBEGININD0000210000021LYRICS200" +
                         v1Block("One", 17)));
  EXPECT_TRUE(component.TAGv1Exists);
  EXPECT_EQ(component.Mp3AudioBytes, 41700);
  EXPECT_FALSE(component.Mp3Vbr);  // nothing left of the VBR file before
  EXPECT_EQ(component.Mp3LengthInMilliseconds, 2606);
  std::vector<ReadoutKind> kinds;
  for (const char* name : {"a.MP3", "a.mp3", "a.Mp3", "a.WAV", "a.wav", ".mp3", "mp3"})
    kinds.push_back(readoutKindFor(name));
  using enum ReadoutKind;
  EXPECT_EQ(kinds, (std::vector<ReadoutKind>{Mp3, Mp3, None, Wav, Wav, Mp3, None}));
  const std::string path = file(audio(417 * 3), "big.mp3");
  ASSERT_EQ(::truncate(path.c_str(), (2LL << 30) + 1000), 0);  // sparse
  component.ReadID3(path);
  EXPECT_EQ(component.Mp3FileSizeInBytes, (2LL << 30) + 1000);
  EXPECT_EQ(mp3Readout(component)[0], "Size: 2048 MB   (2147484648 B)");
  EXPECT_EQ(component.Mp3LengthInMilliseconds, ((2LL << 30) + 1000) * 8 / 128);
  ASSERT_EQ(::truncate(path.c_str(), (4LL << 30) + 1000), 0);
  component.ReadWAV(path);
  EXPECT_EQ(component.WAVFileSizeInBytes, (4LL << 30) + 1000);
  EXPECT_EQ(wavReadout(component)[0], "Size: 4096 MB   (4294968296 B)");
  ::unlink(path.c_str());
}

TEST_F(ComponentTest, SaveWithoutAFileSaysOopsAndRemoveKeepsVersion1) {
  component.SaveID3();
  ASSERT_EQ(test.dialogs.messages().size(), 1u);
  EXPECT_EQ(test.dialogs.messages()[0].title + ": " + test.dialogs.messages()[0].text,
            "Brindle: Oops! Error");
  EXPECT_EQ(component.ID3SaveDone, 1);
  component.RemoveID3Tagv2();
  EXPECT_EQ(test.dialogs.messages().size(), 2u);
  EXPECT_TRUE(errors.empty());
  // Removing version 2 keeps version 1.
  const std::string path = file(id3tag(3, title("T")) + audio() + v1Block("One", 1));
  component.ReadID3(path);
  EXPECT_TRUE(component.RemoveID3Tagv2());
  EXPECT_EQ(TempDir::read(path), audio() + v1Block("One", 1));
}

TEST_F(ComponentTest, SaveWritesBothTagsAndKeepsOtherFrames) {
  const std::string picture = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3, 0, 1, 2, 3}));
  const std::string path = file(id3tag(3, title("Old") + picture) + audio());
  component.ReadID3(path);
  component.TAGv2Title = "New \xE2\x98\x83";
  component.TAGv1Title = "V1";
  component.TAGv1Genre = genreText(17);
  EXPECT_TRUE(component.SaveID3());
  EXPECT_EQ(component.ID3SaveDone, 1);
  const std::string written = TempDir::read(path);
  EXPECT_NE(written.find(picture), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - 128, 5) + written.back(), "TAGV1\x11");
  const ID3 again = reread(path);
  EXPECT_EQ(again.TAGv2Title + "|" + again.TAGv1Title + "|" + std::to_string(again.TAGv1GenreIndex),
            "New \xE2\x98\x83|V1|17");
  // The version 1 tag is appended once, then replaced; no genre chosen is a blank.
  const std::string plain = file(audio(), "plain.mp3");
  component.ReadID3(plain);
  component.SaveID3();
  const std::size_t size = TempDir::read(plain).size();
  component.SaveID3();
  const std::string second = TempDir::read(plain);
  EXPECT_EQ(second.size(), size);
  EXPECT_EQ(second.substr(second.size() - 128, 3) + second.back(), "TAG ");
  // A lower-case marker counts as a tag and is replaced, not added to.
  const std::string lower = file(audio() + v1Block("Old", 3, "tag"), "lower.mp3");
  component.ReadID3(lower);
  EXPECT_TRUE(component.TAGv1Exists);
  component.TAGv1Genre = genreText(3);
  component.SaveID3();
  const std::string relabelled = TempDir::read(lower);
  EXPECT_EQ(relabelled.substr(relabelled.size() - 128 - 4000, 4000 + 6), audio() + "TAGOld");
  // A file that is only a version 1 block has it replaced, not a second one added.
  const std::string only = file(v1Block("Old", 3), "only.mp3");
  component.ReadID3(only);
  component.TAGv1Title = "New";
  EXPECT_TRUE(component.SaveID3());
  const std::string onlyAfter = TempDir::read(only);
  EXPECT_EQ(onlyAfter.find("TAG"), onlyAfter.size() - 128);
  EXPECT_EQ(onlyAfter.substr(onlyAfter.size() - 128, 6), "TAGNew");
  // A new version 2 title keeps a v1.1 block's bytes; a changed comment keeps the track.
  std::string block = v1Block(" Lead", 17);
  block.replace(97, 5, " note");
  block[126] = 5;
  const std::string v11 = file(id3tag(3, title("Old")) + audio() + block, "v11.mp3");
  component.ReadID3(v11);
  component.TAGv1Genre = genreText(component.TAGv1GenreIndex);
  component.TAGv2Title = "New";
  component.SaveID3();
  EXPECT_EQ(TempDir::read(v11).substr(TempDir::read(v11).size() - 128), block);
  component.TAGv1Comment = "changed";
  component.SaveID3();
  const ID3 changed = reread(v11);
  EXPECT_EQ(changed.TAGv1Comment + changed.TAGv1Title + std::to_string(changed.TAGv1Track),
            "changedLead5");
  EXPECT_TRUE(errors.empty());
}

/// A refused/failed save or removal (`passing` calls pass, -1: none); the file keeps every byte.
struct Unsaved {
  const char* name;
  std::string content;
  std::optional<FsOp> fault;
  int passing, code;
  std::string reason;
  bool remove = false;
  std::size_t written = 0;
};

class ComponentUnsaved : public ComponentTest, public ::testing::WithParamInterface<Unsaved> {};

TEST_P(ComponentUnsaved, NeitherTagIsWritten) {
  const Unsaved& row = GetParam();
  const std::string path = file(row.content);
  component.ReadID3(path);
  component.TAGv2Title = "New";
  component.TAGv1Title = "New";
  if (row.fault && row.passing < 0) test.fileSystem.fail(*row.fault, {row.code, "scripted"});
  if (row.fault && row.passing >= 0)
    test.fileSystem.failLater(*row.fault, row.passing, {row.code, "scripted"}, row.written);
  const platform::Status saved = row.remove ? component.RemoveID3Tagv2() : component.SaveID3();
  ASSERT_FALSE(saved);
  EXPECT_EQ(std::to_string(saved.error().code) + " " + saved.error().message,
            std::to_string(row.fault ? row.code : 0) + " " + row.reason);
  EXPECT_EQ(errors, (std::vector<std::int16_t>{10}));
  ASSERT_EQ(reasons.size(), 1u);
  EXPECT_EQ(reasons[0].message + std::to_string(reasons[0].code),
            row.reason + std::to_string(saved.error().code));
  EXPECT_EQ(component.ID3SaveDone, row.remove ? 0 : 1);
  EXPECT_EQ(TempDir::read(path), row.content);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
}

const std::string kTagged = id3tag(3, title("Old"), 20) + audio();
// clang-format off
const std::string kNoSpace = ": no space left on the device (No space left on device)";
const std::string kNoTemp = "cannot create a temporary file beside it", kNoV1 = "cannot write the ID3v1 tag";
const std::string kApic = frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3}));
INSTANTIATE_TEST_SUITE_P(Files, ComponentUnsaved, ::testing::Values(
    Unsaved{"Wave", "RIFF" + bytes({36, 0, 0, 0}) + "WAVEfmt " + std::string(200, '\0'), std::nullopt, -1, 0,
            "not an MPEG audio file (it is RIFF/WAVE)"},
    Unsaved{"ReadErrorOfTheTag", id3tag(3, title("Old") + kApic, 10) + audio(), FsOp::ReadAt, -1, EIO,
            "cannot read the start of the file: Input/output error"},
    Unsaved{"CreateFails", audio(), FsOp::CreateNewFile, -1, EIO, kNoTemp + ": Input/output error"},
    Unsaved{"Version1WriteFails", audio(), FsOp::Write, 1, EIO, kNoV1 + ": Input/output error"},
    Unsaved{"Version1HalfWritten", kTagged, FsOp::Write, 1, ENOSPC, kNoV1 + kNoSpace, false, 64},
    Unsaved{"RemovalCreateFails", kTagged, FsOp::CreateNewFile, -1, EACCES, kNoTemp + ": Permission denied",
            true}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// Encoded CBR and VBR files (frames from "Xing", LAME delay/padding removed) and their WAV source.
TEST_F(ComponentTest, RealEncodedFiles) {
  if (std::system("command -v sox >/dev/null && command -v lame >/dev/null") != 0) GTEST_SKIP();
  const std::string wav = folder.file("tone.wav"), cbr = folder.file("cbr.mp3"),
                    vbr = folder.file("vbr.mp3");
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + wav +
                         "' synth 10 sine 440 && lame --quiet -b 128 '" + wav + "' '" + cbr +
                         "' && lame --quiet -V 4 '" + wav + "' '" + vbr + "'")
                            .c_str()),
            0);
  component.ReadID3(cbr);
  EXPECT_EQ(component.Mp3MPEG + " " + component.Mp3Layer + " " + component.Mp3Bitrate + " " +
                component.Mp3Frequency + " " + component.Mp3FileLenghtInSeconds + " " +
                component.Mp3FileLenght,
            "MPEG 1.0 layer 3 128 44100 Hz 10 0:10");
  const std::string bytes = TempDir::read(vbr);
  const std::size_t frame = bytes.find("\xFF\xFB");
  ASSERT_EQ(bytes.substr(frame + 36, 4), "Xing");
  std::int64_t frames = 0;
  for (std::size_t i = 44; i < 48; ++i)
    frames = frames * 256 + static_cast<unsigned char>(bytes[frame + i]);
  component.ReadID3(vbr);
  EXPECT_TRUE(component.Mp3Vbr);
  EXPECT_EQ(component.Mp3Frames, frames);
  EXPECT_EQ(std::to_string(component.Mp3LengthInMilliseconds) + " " +
                component.Mp3FileLenghtInSeconds + " " + component.Mp3Bitrate.substr(0, 4),
            "10000 10 VBR ");
  EXPECT_TRUE(component.ReadWAV(wav));
  EXPECT_EQ(
      (std::vector<std::int64_t>{component.WAVFrequency, component.WAVChannels, component.WAVBits,
                                 component.WAVBitrate, component.WAVLenghtInSeconds}),
      (std::vector<std::int64_t>{44100, 2, 16, 1411200, 10}));
}

TEST_F(ComponentTest, WavPropertiesReadoutAndNoStaleValues) {
  const auto file = [&](const std::string& name, const Bytes& bytes) {
    return folder.write(name, std::string(bytes.begin(), bytes.end()));
  };
  const Bytes stereo = wave({format(1, 2, 44100, 16), chunk("data", Bytes(1764000))});
  EXPECT_TRUE(component.ReadWAV(file("a.wav", stereo)));
  EXPECT_EQ(wavReadout(component),
            (std::vector<std::string>{"Size: 1.68 MB   (1764044 B)", "Lenght: 0:10   (10 sec)",
                                      "Bitrate: 1411200", "Bits: 16", "Channels: 2",
                                      "Frequency: 44100"}));
  EXPECT_EQ(component.WavFormat + component.FileName, "PCM");
  // A file that is no RIFF file has no chunks to read anything from.
  Bytes junk = stereo;
  std::memcpy(junk.data(), "JUNK", 4);
  EXPECT_TRUE(component.ReadWAV(file("b.wav", junk)));
  EXPECT_EQ(
      component.WavFormat + std::to_string(component.WAVFrequency + component.WAVBitrate +
                                           component.WAVLenghtInSeconds + component.WAVChannels),
      "0");
  EXPECT_TRUE(component.ReadWAV(
      file("c.wav", wave({format(1, 1, 16000, 16), chunk("data", Bytes(32000 * 3 + 956))}))));
  EXPECT_EQ(
      std::to_string(component.WAVFrequency) + " " + std::to_string(component.WAVLenghtInSeconds),
      "16000 3");
  const platform::Status missing = component.ReadWAV(folder.file("none.wav"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(std::to_string(missing.error().code) + " " + missing.error().message,
            std::to_string(ENOENT) + " cannot open the file: No such file or directory");
  EXPECT_EQ(component.WAVFrequency + component.WAVFileSizeInBytes, 0);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace brindle::inspect
