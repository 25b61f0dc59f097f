// The ID3v2 tag of one MP3 file: reads its frames, gives and sets the text of
// twelve well-known frames, writes the frames back as the file's new tag and
// removes the tag.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "id3v2/TagFormat.h"
#include "id3v2/TagRegions.h"
#include "id3v2/clsF2.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/System.h"

namespace brindle::id3v2 {

/// What a save puts at the end of the file together with the tag (an ID3v1
/// tag): `bytes` in place of the file's last `replaces` bytes (0: added).
struct FileEnding {
  ByteVector bytes;
  std::uint64_t replaces = 0;
};

/// Decides the ending from the file as it is opened for the save (`size`
/// bytes long), so that both tags are written in one step; a failure stops
/// the save.
using EndingOf =
    std::function<platform::Result<FileEnding>(platform::ReadableFile& file, std::uint64_t size)>;

/// Takes the shown values of chosen frames while a tag is read.
class ShownValues;

/// The ID3v2 tag of one file, read and written as a whole.
class clsTv2 {
 public:
  /// The error code of a failed write or removal.
  static constexpr std::int16_t kWriteFailed = 10;

  clsTv2(platform::FileSystem& fileSystem, platform::Clock& clock);
  clsTv2(const clsTv2&) = delete;
  clsTv2& operator=(const clsTv2&) = delete;

  /// 10 after a failed writetag() or removetag(); never reset by the
  /// container itself.
  std::int16_t lasterror() const { return m_lasterror; }
  void lasterror(std::int16_t a_error) { m_lasterror = a_error; }

  /// True after readtag() found a version 2.2, 2.3 or 2.4 tag, or after a
  /// successful writetag().
  bool hastag() const { return m_hastag; }

  /// Replaces the frames with those of the file's tag. Never fails loudly: a
  /// damaged tag gives the frames read up to the damage, and a file that
  /// cannot be read gives none. The status says why the file could not be
  /// read; a file without a tag, or with a damaged one, is read successfully.
  /// A version 2.2 tag is read with each frame under its version 2.3 id.
  /// When not every frame could be read (damage, a read error), the reason
  /// is kept and writetag() refuses until the next readtag().
  platform::Status readtag(const std::string& a_sfile);
  /// The same on a file the caller has open, so that one opening serves
  /// several readers.
  platform::Status readtag(platform::ReadableFile& a_file);

  /// Writes exactly the frames held as the file's new tag, in the version
  /// read (2.4) or 2.3, replacing the file in one atomic step and flushing
  /// it and its folder before it reports success. On failure lasterror() is
  /// 10, the file is unchanged and the status gives the reason. Refused: a
  /// file whose tag is of a version other than 2.2 to 2.4, one whose tag
  /// claims more bytes than it has, one that is not MPEG audio (a folder,
  /// FIFO or device; WAVE, FLAC, Ogg, MP4...), frames from a tag that was not
  /// read whole, a version 2.2 frame without a version 2.3 id, and a tag
  /// larger than its size field can say. A read-only file is written only
  /// with `a_bignorereadonly`, and stays read-only.
  platform::Status writetag(const std::string& a_sfile, bool a_bignorereadonly = false);
  /// The same, with an ending written in the same step: both or neither.
  platform::Status writetag(const std::string& a_sfile, bool a_bignorereadonly,
                            const EndingOf& a_ending);

  /// What writetag() would change, without writing: the file (its link
  /// resolved) and its tag regions now and after, with every check of
  /// writetag() made. A new tag that fits the old one's space is padded to
  /// its length. The caller applies it with replaceTagRegions().
  platform::Result<TagChange> planwrite(const std::string& a_sfile, bool a_bignorereadonly,
                                        const EndingOf& a_ending);
  /// What removetag() would change; nothing when there is nothing to do.
  platform::Result<std::optional<TagChange>> planremoval(const std::string& a_sfile,
                                                         bool a_bignorereadonly);

  /// Finishes what saves killed half way left in the folder of the file:
  /// an in-place save is undone (the file gets its old bytes back) and a
  /// temporary file no running save holds is removed. Called by every write
  /// and removal; a caller that reads the tag before a write calls it first.
  void finishAbandonedSaves(const std::string& a_sfile);

  /// Strips the tag from the file (atomically, as writetag()). A missing
  /// file, or one without a tag, is left alone and is no failure.
  platform::Status removetag(const std::string& a_sfile, bool a_bignorereadonly);

  /// The text (UTF-8) of the first readable frame with the id of
  /// `a_eframeid` (an ID3v2FrameId value), zero characters as blanks,
  /// trimmed; empty when there is none. The values of a version 2.4 text
  /// frame holding several are joined with " / ". A compressed or
  /// unsynchronised frame is read through its decoded content.
  std::string getframevalue(std::int32_t a_eframeid) const;
  /// readtag() followed by getframevalue() of each id into the string
  /// `a_values` points to at the same index, for a reader that only shows
  /// the values: no frame of another id is built, a plain text frame is
  /// decoded straight from the tag, and the strings keep their buffers. The
  /// frames are not kept, so writetag() refuses until the next readtag().
  platform::Status readframevalues(platform::ReadableFile& a_file,
                                   std::span<const std::int32_t> a_eframeids,
                                   std::span<std::string* const> a_values);

  /// Sets the text (UTF-8) of the first readable frame with that id, or adds a
  /// frame. A value equal to getframevalue() leaves the frame's bytes as they
  /// are; another is stored as ISO-8859-1 when it fits, else as UTF-16. A
  /// frame read through decoded content, or one kept as bytes only (damaged,
  /// encrypted) when no readable one has the id, is replaced in its place by
  /// a plain frame, so that the tag never gains a second frame of the id.
  void setframevalue(std::int32_t a_eframeid, std::string_view a_sdata);

  /// The frames, in tag order.
  clsF2& frames() { return m_frames; }
  const clsF2& frames() const { return m_frames; }

  /// The major version the tag is written in: 4 after reading a version 2.4
  /// tag, else 3.
  std::uint8_t majorVersion() const { return m_major; }

  /// Told true at the start of a write and false at its end, so that a window
  /// can show the busy pointer and let pending events run.
  void setBusyHandler(std::function<void(bool busy)> handler) { m_busy = std::move(handler); }

 private:
  std::string frameIdFor(std::int32_t a_eframeid) const;
  /// Reads the tag header and the frames of the file, into the collection
  /// or, when `a_shown` is given, only the values it asks for; notes what
  /// stops a later write.
  platform::Status readFramesOf(platform::ReadableFile& a_file, ShownValues* a_shown);
  /// The 1-based position of the first frame with the id that has a value
  /// (or, when `orKeptAsBytes`, of the first with the id at all); 0 when
  /// there is none.
  std::int32_t findFrame(const std::string& id, bool orKeptAsBytes = false) const;
  /// The shown value of `frame`, read under `id`.
  std::string shownValue(const clsF& frame, const std::string& id) const;
  /// Why the frames held must not be written; nothing when they may be.
  std::optional<platform::Error> writeRefusal() const;
  enum class Rewrite { WriteTag, RemoveTag };
  /// Checks the file and works out its regions after a write of `tag` (or
  /// the removal of the tag) and of the ending; nothing when a removal has
  /// nothing to do.
  platform::Result<std::optional<TagChange>> plan(const std::string& path, ByteVector tag,
                                                  bool ignoreReadOnly, Rewrite kind,
                                                  const EndingOf& ending);
  /// Writes a planned change, flushed, with the file whole whatever fails.
  platform::Status applied(const platform::Result<std::optional<TagChange>>& planned);

  /// Sets lasterror() to 10 when `status` is a failure; passes it on.
  platform::Status noted(platform::Status status);

  platform::FileSystem& m_fileSystem;
  clsF2 m_frames;
  std::int16_t m_lasterror = 0;
  bool m_hastag = false;
  /// Why the last readtag() did not read every frame.
  std::optional<platform::Error> m_readProblem;
  std::uint8_t m_major = 3;
  std::function<void(bool)> m_busy;
};

}  // namespace brindle::id3v2
