#include "id3v2/clsTv2.h"

#include <array>
#include <cerrno>
#include <memory>

#include "id3v2/FrameKinds.h"
#include "id3v2/ID3v2FrameId.h"
#include "id3v2/TagFormat.h"
#include "id3v2/TextCodec.h"
#include "id3v2/clsCF.h"
#include "id3v2/clsWF.h"

namespace brindle::id3v2 {

namespace {

/// How often a time-stamped name is tried before the write gives up.
constexpr int kStampedNameTries = 3;

std::string_view withoutTrailingZeros(std::string_view text) {
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  return text;
}

/// Zero characters become blanks; blanks at both ends go.
std::string blankedAndTrimmed(std::string text) {
  for (char& c : text)
    if (c == '\0') c = ' ';
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

/// A URL is ISO-8859-1 text whatever the frame's encoding; characters beyond
/// it are written the way URLs carry them, as percent-escaped UTF-8.
std::string urlBytes(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, utf8.size() - i);
    const std::string_view character = utf8.substr(i, length);
    if (fitsLatin1(character)) {
      out += encodeText(0, character);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (char c : character) {
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
      }
    }
    i += length;
  }
  return out;
}

/// The description of a comment or URL frame, as UTF-8 without terminator.
std::string descriptionText(const clsF& frame) {
  std::string raw;
  if (auto* comment = dynamic_cast<const clsCF*>(&frame)) raw = comment->description();
  if (auto* url = dynamic_cast<const clsWF*>(&frame)) raw = url->description();
  return std::string(withoutTrailingZeros(decodeText(frame.textencoding(), raw)));
}

void setDescription(clsF& frame, const std::string& raw) {
  if (auto* comment = dynamic_cast<clsCF*>(&frame)) comment->description(raw);
  if (auto* url = dynamic_cast<clsWF*>(&frame)) url->description(raw);
}

/// Reads the first bytes of a file; bytes past its end read as zeros.
bool readHeader(platform::ReadableFile& file, std::array<std::uint8_t, kHeaderSize>& header) {
  header.fill(0);
  return file.readAt(0, header).ok();
}

}  // namespace

clsTv2::clsTv2(platform::FileSystem& fileSystem, platform::Clock& clock)
    : m_fileSystem(fileSystem), m_clock(clock) {}

void clsTv2::readtag(const std::string& a_sfile) {
  m_frames.clear();
  if (!m_fileSystem.exists(a_sfile)) {
    m_hastag = false;
    return;
  }
  auto file = m_fileSystem.openForReading(a_sfile);
  if (file) readtag(*file.value());
}

void clsTv2::readtag(platform::ReadableFile& a_file) {
  m_frames.clear();
  std::array<std::uint8_t, kHeaderSize> headerBytes{};
  if (!readHeader(a_file, headerBytes)) return;
  const TagHeader header = parseHeader(headerBytes);
  if (!header.present || (header.major != 3 && header.major != 4)) {
    m_hastag = false;
    return;
  }
  m_hastag = true;
  m_major = header.major;

  // Only what the file holds is read: a size field larger than the file
  // cannot make the reader allocate more than the file's own bytes.
  auto fileSize = a_file.size();
  if (!fileSize) return;
  const std::uint64_t available =
      fileSize.value() > kHeaderSize ? fileSize.value() - kHeaderSize : 0;
  ByteVector body(static_cast<std::size_t>(
      std::min<std::uint64_t>(available, static_cast<std::uint64_t>(header.size))));
  auto got = a_file.readAt(kHeaderSize, body);
  if (!got) return;
  body.resize(got.value());
  parseFrames(header, body, m_frames);
}

std::string clsTv2::frameIdFor(std::int32_t a_eframeid) const {
  std::string id(frameidtext(a_eframeid));
  // Version 2.4 keeps the year in the recording time frame.
  if (m_major == 4 && id == "TYER") return "TDRC";
  return id;
}

std::shared_ptr<clsF> clsTv2::findFrame(const std::string& id) const {
  if (id.empty()) return nullptr;
  for (const std::shared_ptr<clsF>& frame : m_frames) {
    if (!frame->isopaque() && frame->frameid() == id) return frame;
  }
  return nullptr;
}

std::string clsTv2::getframevalue(std::int32_t a_eframeid) const {
  const std::shared_ptr<clsF> frame = findFrame(frameIdFor(a_eframeid));
  if (!frame) return {};
  const std::string raw = frame->data();
  if (dynamic_cast<const clsWF*>(frame.get())) return blankedAndTrimmed(decodeText(0, raw));
  return blankedAndTrimmed(decodeText(frame->textencoding(), raw));
}

void clsTv2::setframevalue(std::int32_t a_eframeid, std::string_view a_sdata) {
  const std::string id = frameIdFor(a_eframeid);
  if (id.empty()) return;
  std::shared_ptr<clsF> frame = findFrame(id);
  if (frame && getframevalue(a_eframeid) == a_sdata) return;
  if (!frame) {
    frame = createframe(id);
    m_frames.add(frame);
  }
  const bool isUrl = dynamic_cast<clsWF*>(frame.get()) != nullptr;
  const std::string description = descriptionText(*frame);
  const bool latin1 = fitsLatin1(description) && (isUrl || fitsLatin1(a_sdata));
  const std::uint8_t encoding = latin1 ? 0 : 1;
  if (encoding != frame->textencoding()) {
    // The description is text in the frame's encoding too.
    setDescription(*frame, encodeText(encoding, description) + terminatorOf(encoding));
    frame->textencoding(encoding);
  }
  if (isUrl) {
    frame->data(urlBytes(a_sdata));
  } else {
    frame->data(encodeText(encoding, a_sdata) + terminatorOf(encoding));
  }
}

void clsTv2::writetag(const std::string& a_sfile, bool a_bignorereadonly) {
  if (m_busy) m_busy(true);
  const ByteVector tag = renderTag(m_frames, m_major);
  if (rewrite(a_sfile, tag, a_bignorereadonly, true)) {
    m_hastag = true;
  } else {
    m_lasterror = kWriteFailed;
  }
  if (m_busy) m_busy(false);
}

void clsTv2::removetag(const std::string& a_sfile, bool a_bignorereadonly) {
  if (!m_fileSystem.exists(a_sfile)) return;
  // A file without a tag is left exactly as it is.
  {
    auto file = m_fileSystem.openForReading(a_sfile);
    std::array<std::uint8_t, kHeaderSize> headerBytes{};
    if (!file || !readHeader(*file.value(), headerBytes)) {
      m_lasterror = kWriteFailed;
      return;
    }
    if (!parseHeader(headerBytes).present) return;
  }
  if (rewrite(a_sfile, {}, a_bignorereadonly, false)) {
    m_frames.clear();
    m_hastag = false;
  } else {
    m_lasterror = kWriteFailed;
  }
}

bool clsTv2::rewrite(const std::string& path, const ByteVector& tag, bool ignoreReadOnly,
                     bool requireTagVersionKnown) {
  if (!m_fileSystem.exists(path)) return false;
  auto readOnly = m_fileSystem.isReadOnly(path);
  if (!readOnly) return false;
  if (readOnly.value()) {
    // The user's read-only mark is honoured unless the caller overrides it.
    if (!ignoreReadOnly || !m_fileSystem.setReadOnly(path, false)) return false;
  }

  auto source = m_fileSystem.openForReading(path);
  if (!source) return false;
  std::array<std::uint8_t, kHeaderSize> headerBytes{};
  if (!readHeader(*source.value(), headerBytes)) return false;
  const TagHeader oldTag = parseHeader(headerBytes);
  // A tag of a version this program cannot read (2.2, or one yet to come)
  // would be destroyed by writing over it.
  if (requireTagVersionKnown && oldTag.present && oldTag.major != 3 && oldTag.major != 4) {
    return false;
  }
  const std::int64_t keepFrom = oldTag.present ? oldTag.length() : 0;
  auto fileSize = source.value()->size();
  if (!fileSize || fileSize.value() == 0 ||
      fileSize.value() < static_cast<std::uint64_t>(keepFrom)) {
    return false;
  }
  auto permissions = m_fileSystem.permissions(path);
  if (!permissions) return false;

  // The temporary file never replaces anything: "<file>.new", or a name
  // stamped with the time of day when that is taken.
  std::string temporary = path + ".new";
  platform::Result<std::unique_ptr<platform::WritableFile>> target =
      m_fileSystem.createNewFile(temporary, permissions.value());
  for (int attempt = 0; !target && target.error().code == EEXIST && attempt < kStampedNameTries;
       ++attempt) {
    const platform::TimeOfDay now = m_clock.localTimeOfDay();
    temporary = stampedName(path, now.hour, now.minute, now.second);
    target = m_fileSystem.createNewFile(temporary, permissions.value());
  }
  if (!target) return false;

  platform::WritableFile& out = *target.value();
  const bool written = out.write(tag).ok() &&
                       out.copyFrom(*source.value(), static_cast<std::uint64_t>(keepFrom),
                                    fileSize.value() - static_cast<std::uint64_t>(keepFrom))
                           .ok() &&
                       out.sync().ok() && out.close().ok() &&
                       m_fileSystem.replaceFile(temporary, path).ok();
  if (!written) {
    target.value().reset();
    (void)m_fileSystem.remove(temporary);
  }
  return written;
}

}  // namespace brindle::id3v2
