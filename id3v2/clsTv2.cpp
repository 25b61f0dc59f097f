#include "id3v2/clsTv2.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include "id3v2/AudioContent.h"
#include "id3v2/Failure.h"
#include "id3v2/FileRewrite.h"
#include "id3v2/FrameKinds.h"
#include "id3v2/ID3v2FrameId.h"
#include "id3v2/InPlaceWrite.h"
#include "id3v2/TagFormat.h"
#include "id3v2/TagRegions.h"
#include "id3v2/TemporaryName.h"
#include "id3v2/TextCodec.h"

namespace brindle::id3v2 {

namespace {

/// The bytes after the tag looked at first for an MPEG frame.
constexpr std::size_t kFirstAudioLook = 4096;

/// Zero characters become blanks; blanks at both ends go.
void blankAndTrim(std::string& text) {
  std::replace(text.begin(), text.end(), '\0', ' ');
  text.erase(text.find_last_not_of(' ') + 1);
  text.erase(0, text.find_first_not_of(' '));
}

/// The values of a text frame joined with " / ": each zero character ends
/// one value; the zero characters after the last value go.
std::string joinedValues(std::string_view text) {
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  std::string joined;
  std::size_t from = 0;
  for (std::size_t zero = text.find('\0'); zero != std::string_view::npos;
       zero = text.find('\0', from)) {
    joined.append(text.substr(from, zero - from)).append(" / ");
    from = zero + 1;
  }
  return joined.append(text.substr(from));
}

/// A frame id without the blanks that pad a 3-character one.
std::string trimmedId(std::string id) {
  while (!id.empty() && id.back() == ' ') id.pop_back();
  return id;
}

/// Reads the first bytes of a file; bytes past its end read as zeros.
platform::Status readHeader(platform::ReadableFile& file,
                            std::array<std::uint8_t, kHeaderSize>& header) {
  header.fill(0);
  auto got = file.readAt(0, header);
  if (!got) return causedBy("cannot read the start of the file", got.error());
  return {};
}

}  // namespace

// The clock named the temporary file once; the names are random now.
clsTv2::clsTv2(platform::FileSystem& fileSystem, platform::Clock& /*clock*/)
    : m_fileSystem(fileSystem) {}

platform::Status clsTv2::readtag(const std::string& a_sfile) {
  m_frames.clear();
  m_readProblem.reset();
  auto file = m_fileSystem.openForReading(a_sfile);
  if (!file) {
    m_hastag = false;
    m_readProblem = causedBy("cannot open the file", file.error());
    return *m_readProblem;
  }
  return readtag(*file.value());
}

platform::Status clsTv2::readtag(platform::ReadableFile& a_file) {
  return readFramesOf(a_file, nullptr);
}

namespace {

/// Makes a frame's decoded text into the value a person sees.
void showInPlace(std::string& value, const std::string& id, std::uint8_t major) {
  // Version 2.4 text frames may hold several values, each ended by a zero
  // character; they are shown joined.
  if (major == 4 && kindOf(id) == FrameKind::Text) value = joinedValues(value);
  blankAndTrim(value);
}

/// A frame id as one number, for quick comparison; 0 for an id that is not
/// four characters long.
std::uint32_t idKey(std::string_view id) {
  if (id.size() != 4) return 0;
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(id[0])) << 24) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(id[1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(id[2])) << 8) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(id[3]));
}

}  // namespace

/// Takes, for each id asked for, the value of the first frame with that id
/// that has one, as getframevalue() picks it, and builds no other frame: a
/// plain text frame is decoded straight from the tag's bytes into the
/// string that shows it.
class ShownValues final : public FrameVisitor {
 public:
  /// The most ids one read takes; more are read through the full read.
  static constexpr std::size_t kCapacity = 16;

  /// `frameIds`: at most kCapacity well-known frame numbers.
  ShownValues(std::span<const std::int32_t> frameIds, std::span<std::string* const> values)
      : m_count(frameIds.size()), m_values(values) {
    // The kind of each well-known frame, looked up once for all reads.
    static const std::array<FrameKind, TENC + 1> kKinds = [] {
      std::array<FrameKind, TENC + 1> kinds{};
      for (std::int32_t id = 0; id <= TENC; ++id) kinds[id] = kindOf(frameIdText(id));
      return kinds;
    }();
    for (std::size_t i = 0; i < m_count; ++i) {
      const std::int32_t id = frameIds[i];
      m_keys[i] = idKey(frameIdText(id));
      m_kinds[i] = id >= 0 && id <= TENC ? kKinds[id] : FrameKind::Opaque;
    }
  }

  /// Called once the tag's version is known.
  void setMajorVersion(std::uint8_t major) {
    m_major = major;
    // Version 2.4 keeps the year in the recording time frame.
    if (major != 4) return;
    std::replace(m_keys.begin(), m_keys.begin() + m_count, idKey("TYER"), idKey("TDRC"));
  }

  void add(std::shared_ptr<clsF> frame) override {
    const std::uint32_t key = idKey(frame->frameid());
    if (wanted(key) == kNone) return;
    if (frame->isOpaque() && frame->valueText().empty()) return;
    take(key, frame->frameid(), [&](std::string& out) { out = frame->valueText(); });
  }
  bool wants(const std::string& id) const override { return wanted(idKey(id)) != kNone; }
  void plain(const std::string& id, std::span<const std::uint8_t, 2> flags,
             ByteView content) override {
    const std::uint32_t key = idKey(id);
    const std::size_t index = wanted(key);
    if (index == kNone) return;
    const std::string_view bytes(reinterpret_cast<const char*>(content.data()), content.size());
    if (m_kinds[index] == FrameKind::Text) {
      // Empty content is kept as bytes and has no value.
      if (content.empty()) return;
      take(key, id, [&](std::string& out) { decodeTextInto(content[0], bytes.substr(1), out); });
    } else if (m_kinds[index] == FrameKind::Comment) {
      // Encoding, language, a description ended by a terminator, then the
      // value; shorter content is kept as bytes, and no terminator means no
      // value.
      constexpr std::size_t kDescriptionStart = 4;
      if (content.size() < kDescriptionStart) return;
      const std::uint8_t encoding = content[0];
      const std::size_t end = findTerminator(encoding, bytes, kDescriptionStart);
      const std::string_view value = end == std::string_view::npos
                                         ? std::string_view()
                                         : bytes.substr(end + terminatorOf(encoding).size());
      take(key, id, [&](std::string& out) { decodeTextInto(encoding, value, out); });
    } else {
      FrameVisitor::plain(id, flags, content);
    }
  }
  void transformed(const std::string& id, std::uint8_t major, std::array<std::uint8_t, 2> flags,
                   ByteView content, bool tagUnsynchronised) override {
    if (wanted(idKey(id)) != kNone) {
      FrameVisitor::transformed(id, major, flags, content, tagUnsynchronised);
    }
  }

 private:
  static constexpr std::size_t kNone = kCapacity;

  /// The first index asking for `key`, or kNone. Ids whose value is taken
  /// are set to 0, so each takes the first frame.
  std::size_t wanted(std::uint32_t key) const {
    if (key == 0) return kNone;
    for (std::size_t i = 0; i < m_count; ++i) {
      if (m_keys[i] == key) return i;
    }
    return kNone;
  }
  template <typename Decode>
  void take(std::uint32_t key, const std::string& id, const Decode& decode) {
    const std::string* first = nullptr;
    for (std::size_t i = 0; i < m_count; ++i) {
      if (m_keys[i] != key) continue;
      m_keys[i] = 0;
      if (first) {
        *m_values[i] = *first;
        continue;
      }
      decode(*m_values[i]);
      showInPlace(*m_values[i], id, m_major);
      first = m_values[i];
    }
  }

  std::array<std::uint32_t, kCapacity> m_keys{};
  std::array<FrameKind, kCapacity> m_kinds{};
  std::size_t m_count;
  std::uint8_t m_major = 3;
  std::span<std::string* const> m_values;
};

platform::Status clsTv2::readframevalues(platform::ReadableFile& a_file,
                                         std::span<const std::int32_t> a_eframeids,
                                         std::span<std::string* const> a_values) {
  for (std::string* value : a_values) value->clear();
  platform::Status read;
  if (a_eframeids.size() <= ShownValues::kCapacity) {
    ShownValues shown(a_eframeids, a_values);
    read = readFramesOf(a_file, &shown);
  } else {
    read = readtag(a_file);
    for (std::size_t i = 0; i < a_eframeids.size(); ++i) {
      *a_values[i] = getframevalue(a_eframeids[i]);
    }
    m_frames.clear();
  }
  // The frames were not kept: writing now would drop them.
  if (m_hastag && !m_readProblem) m_readProblem = refusal("the tag was read for display only");
  return read;
}

platform::Status clsTv2::readFramesOf(platform::ReadableFile& a_file, ShownValues* a_shown) {
  m_frames.clear();
  m_readProblem.reset();
  // A read error must not look like a file without frames to a later save.
  auto failed = [this](platform::Error error) -> platform::Status {
    m_readProblem = error;
    return error;
  };
  std::array<std::uint8_t, kHeaderSize> headerBytes{};
  if (platform::Status read = readHeader(a_file, headerBytes); !read) return failed(read.error());
  const TagHeader header = parseHeader(headerBytes);
  if (!header.present || header.major < 2 || header.major > 4) {
    m_hastag = false;
    return {};
  }
  m_hastag = true;
  // A version 2.2 tag is written back as version 2.3.
  m_major = header.major == 4 ? 4 : 3;

  // Only what the file holds is read: a size field larger than the file
  // cannot make the reader allocate more than the file's own bytes.
  auto fileSize = a_file.size();
  if (!fileSize) return failed(causedBy("cannot measure the file", fileSize.error()));
  const std::uint64_t available =
      fileSize.value() > kHeaderSize ? fileSize.value() - kHeaderSize : 0;
  const auto held = static_cast<std::size_t>(
      std::min<std::uint64_t>(available, static_cast<std::uint64_t>(header.size)));
  std::string problem;
  if (a_shown) {
    a_shown->setMajorVersion(m_major);
    platform::Result<std::string> parsed = parseFramesOf(header, a_file, held, *a_shown);
    if (!parsed) return failed(causedBy("cannot read the tag", parsed.error()));
    problem = std::move(parsed.value());
  } else {
    ByteVector body(held);
    auto got = a_file.readAt(kHeaderSize, body);
    if (!got) return failed(causedBy("cannot read the tag", got.error()));
    body.resize(got.value());
    problem = parseFrames(header, body, m_frames);
  }
  if (static_cast<std::uint64_t>(header.length()) > fileSize.value()) {
    m_readProblem = refusal("the tag claims " + std::to_string(header.length()) +
                            " bytes but the file has " + std::to_string(fileSize.value()));
  } else if (!problem.empty()) {
    m_readProblem = refusal(problem);
  }
  return {};
}

std::string clsTv2::frameIdFor(std::int32_t a_eframeid) const {
  std::string id(frameIdText(a_eframeid));
  // Version 2.4 keeps the year in the recording time frame.
  if (m_major == 4 && id == "TYER") return "TDRC";
  return id;
}

std::int32_t clsTv2::findFrame(const std::string& id, bool orKeptAsBytes) const {
  if (id.empty()) return 0;
  std::int32_t keptAsBytes = 0;
  std::int32_t position = 0;
  // By reference: a copy of each frame's pointer would cost two atomic
  // operations per frame and lookup.
  for (const std::shared_ptr<clsF>& frame : m_frames) {
    ++position;
    if (frame->frameid() != id) continue;
    if (!frame->isOpaque() || !frame->valueText().empty()) return position;
    if (keptAsBytes == 0) keptAsBytes = position;
  }
  return orKeptAsBytes ? keptAsBytes : 0;
}

std::string clsTv2::shownValue(const clsF& frame, const std::string& id) const {
  std::string value = frame.valueText();
  showInPlace(value, id, m_major);
  return value;
}

std::string clsTv2::getframevalue(std::int32_t a_eframeid) const {
  const std::string id = frameIdFor(a_eframeid);
  const std::int32_t position = findFrame(id);
  if (position == 0) return {};
  return shownValue(*m_frames.item(position), id);
}

void clsTv2::setframevalue(std::int32_t a_eframeid, std::string_view a_sdata) {
  const std::string id = frameIdFor(a_eframeid);
  if (id.empty()) return;
  const std::int32_t position = findFrame(id, true);
  if (position != 0 && getframevalue(a_eframeid) == a_sdata) return;
  const std::shared_ptr<clsF> frame = m_frames.item(position);
  if (frame && !frame->isOpaque()) {
    frame->setValueText(a_sdata);
    return;
  }
  // A frame kept as its bytes (compressed, damaged, encrypted) gives way to
  // a plain one in its place, so that the tag never holds the id twice.
  std::shared_ptr<clsF> plain = createFrame(id);
  plain->setValueText(a_sdata);
  if (frame) {
    m_frames.replace(position, std::move(plain));
  } else {
    m_frames.add(std::move(plain));
  }
}

std::optional<platform::Error> clsTv2::writeRefusal() const {
  if (m_readProblem) return m_readProblem;
  for (const std::shared_ptr<clsF>& frame : m_frames) {
    const std::string& id = frame->frameid();
    if (!isFrameId(ByteView(reinterpret_cast<const std::uint8_t*>(id.data()), id.size()))) {
      return refusal("the frame " + trimmedId(id) + " has no ID3v2.3 equivalent");
    }
  }
  if (const std::uint64_t size = tagBodySize(m_frames); size > kMaxTagBodySize) {
    return refusal("the tag would hold " + std::to_string(size) + " bytes, more than the " +
                   std::to_string(kMaxTagBodySize) + " an ID3v2 tag can hold");
  }
  return std::nullopt;
}

platform::Status clsTv2::noted(platform::Status status) {
  if (!status) m_lasterror = kWriteFailed;
  return status;
}

platform::Status clsTv2::writetag(const std::string& a_sfile, bool a_bignorereadonly) {
  return writetag(a_sfile, a_bignorereadonly, EndingOf());
}

platform::Status clsTv2::writetag(const std::string& a_sfile, bool a_bignorereadonly,
                                  const EndingOf& a_ending) {
  if (std::optional<platform::Error> refused = writeRefusal()) return noted(*refused);
  if (m_busy) m_busy(true);
  finishAbandonedSaves(a_sfile);
  platform::Status written = applied(
      plan(a_sfile, renderTag(m_frames, m_major), a_bignorereadonly, Rewrite::WriteTag, a_ending));
  if (written) m_hastag = true;
  if (m_busy) m_busy(false);
  return noted(std::move(written));
}

platform::Result<TagChange> clsTv2::planwrite(const std::string& a_sfile, bool a_bignorereadonly,
                                              const EndingOf& a_ending) {
  if (std::optional<platform::Error> refused = writeRefusal()) return *refused;
  auto planned =
      plan(a_sfile, renderTag(m_frames, m_major), a_bignorereadonly, Rewrite::WriteTag, a_ending);
  if (!planned) return planned.error();
  return std::move(*planned.value());
}

platform::Result<std::optional<TagChange>> clsTv2::planremoval(const std::string& a_sfile,
                                                               bool a_bignorereadonly) {
  return plan(a_sfile, {}, a_bignorereadonly, Rewrite::RemoveTag, {});
}

platform::Status clsTv2::removetag(const std::string& a_sfile, bool a_bignorereadonly) {
  finishAbandonedSaves(a_sfile);
  platform::Status removed = applied(planremoval(a_sfile, a_bignorereadonly));
  if (removed) {
    m_frames.clear();
    m_hastag = false;
  }
  return noted(std::move(removed));
}

platform::Status clsTv2::applied(const platform::Result<std::optional<TagChange>>& planned) {
  if (!planned) return planned.error();
  if (!planned.value()) return {};
  const TagChange& change = *planned.value();
  return replaceTagRegions(m_fileSystem, change.path, change.before, change.after,
                           Durability::Flushed);
}

void clsTv2::finishAbandonedSaves(const std::string& a_sfile) {
  auto resolved = m_fileSystem.resolvedPath(a_sfile);
  finishAbandonedSavesBeside(m_fileSystem, resolved ? resolved.value() : a_sfile);
}

platform::Result<std::optional<TagChange>> clsTv2::plan(const std::string& givenPath,
                                                        ByteVector tag, bool ignoreReadOnly,
                                                        Rewrite kind, const EndingOf& ending) {
  using Planned = platform::Result<std::optional<TagChange>>;
  // A save through a symbolic link changes the file it points to and keeps
  // the link: the new file is made beside the target and replaces it.
  auto resolved = m_fileSystem.resolvedPath(givenPath);
  if (!resolved) {
    // Removing the tag of a file that is not there leaves nothing to do.
    if (kind == Rewrite::RemoveTag && resolved.error().code == ENOENT) return Planned(std::nullopt);
    return causedBy("cannot open the file", resolved.error());
  }
  const std::string& path = resolved.value();
  // Only a regular file is opened: a FIFO would block, a device would be
  // read from, and neither can be replaced by a new file.
  auto fileKind = m_fileSystem.kindOf(path);
  if (!fileKind) {
    // Removing the tag of a file that is not there leaves nothing to do.
    if (kind == Rewrite::RemoveTag && fileKind.error().code == ENOENT) return Planned(std::nullopt);
    return causedBy("cannot open the file", fileKind.error());
  }
  if (fileKind.value() == platform::FileKind::Directory) {
    return refusal("not an MPEG audio file (it is a folder)", EISDIR);
  }
  if (fileKind.value() == platform::FileKind::Special) {
    return refusal("not an MPEG audio file (it is a FIFO, socket or device)");
  }
  auto readOnly = m_fileSystem.isReadOnly(path);
  if (!readOnly) return causedBy("cannot examine the file", readOnly.error());
  // The user's read-only mark is honoured unless the caller overrides it;
  // the new file then gets the same permissions and stays read-only.
  if (readOnly.value() && !ignoreReadOnly) return refusal("the file is read-only", EACCES);

  auto source = m_fileSystem.openForReading(path);
  if (!source) return causedBy("cannot open the file", source.error());
  std::array<std::uint8_t, kHeaderSize> headerBytes{};
  if (platform::Status read = readHeader(*source.value(), headerBytes); !read) return read.error();
  const TagHeader oldTag = parseHeader(headerBytes);
  // A tag of a version this program cannot read (one yet to come) would be
  // destroyed by writing over it. A version 2.2 tag is read and written
  // anew as 2.3.
  if (kind == Rewrite::WriteTag && oldTag.present && (oldTag.major < 2 || oldTag.major > 4)) {
    return refusal("the tag is ID3v2." + std::to_string(oldTag.major));
  }
  const std::uint64_t keepFrom = oldTag.present ? static_cast<std::uint64_t>(oldTag.length()) : 0;
  auto fileSize = source.value()->size();
  if (!fileSize) return causedBy("cannot measure the file", fileSize.error());
  if (fileSize.value() == 0) return refusal("the file is empty");
  if (fileSize.value() < keepFrom) {
    return refusal("the tag claims " + std::to_string(keepFrom) + " bytes but the file has " +
                   std::to_string(fileSize.value()));
  }
  // The first frame nearly always follows the tag closely: a few bytes
  // decide, and only a file that seems no MPEG audio is searched further.
  for (const std::size_t window : {kFirstAudioLook, kAudioSearchWindow}) {
    ByteVector audio(
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize.value() - keepFrom, window)));
    auto got = source.value()->readAt(keepFrom, audio);
    if (!got) return causedBy("cannot read the audio", got.error());
    audio.resize(got.value());
    const std::optional<std::string> reason = notMpegAudio(audio);
    if (!reason) break;
    if (window == kAudioSearchWindow || audio.size() < window) return refusal(*reason);
  }
  // A file without a tag is left exactly as it is.
  if (kind == Rewrite::RemoveTag && !oldTag.present) return Planned(std::nullopt);
  FileEnding end;
  if (ending) {
    auto decided = ending(*source.value(), fileSize.value());
    if (!decided) return decided.error();
    end = std::move(decided.value());
    // Bytes inside the old tag are no ending of the audio.
    if (end.replaces > fileSize.value() - keepFrom) end.replaces = 0;
  }
  auto identity = m_fileSystem.identity(path);
  if (!identity) return causedBy("cannot examine the file", identity.error());
  auto before = regionsOfOpenFile(*source.value(), fileSize.value());
  if (!before) return before.error();
  // The new version 2 region is the new tag (none for a removal); a tag
  // whose frames fit where the old one was takes its place, padded to its
  // length, so that the audio stays where it is: a file whose tag had no
  // padding is not rewritten whole for a shorter title.
  if (kind == Rewrite::WriteTag && oldTag.present) {
    (void)padTo(tag, kHeaderSize + framesSize(m_frames), keepFrom);
  }
  TagChange change{path, identity.value(), std::move(before.value()), {std::move(tag), {}}};
  change.after.version1 = end.bytes.empty() ? change.before.version1 : std::move(end.bytes);
  return Planned(std::move(change));
}

}  // namespace brindle::id3v2
