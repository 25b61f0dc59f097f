// The audio file inspection component: reads and writes the ID3 version 1
// and 2 tags of an MP3 file and describes MP3 and WAV audio, all through
// public properties that the host reads after a call or sets before a save.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "id3v2/CoverArt.h"
#include "id3v2/TagRegions.h"
#include "id3v2/clsTv2.h"
#include "inspect/Id3v1Tag.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/System.h"

namespace brindle::inspect {

/// The audio file component: both ID3 tags and the MP3 or WAV data of one
/// file, as properties a host reads and sets.
///
/// Each method also returns its outcome as a platform::Status whose Error
/// holds the system error number and a sentence naming the cause; the Error
/// event carries the same reason beside its code.
class ID3 {
 public:
  /// The code of a failed write or removal.
  static constexpr std::int16_t kWriteFailed = 10;

  /// The Error event's handler: the code (10) and why the write or removal
  /// failed.
  using ErrorHandler = std::function<void(std::int16_t code, const platform::Error& reason)>;

  ID3(platform::FileSystem& fileSystem, platform::Clock& clock, platform::Dialogs& dialogs);

  // Properties. Tag texts are UTF-8.
  bool TAGv1Exists = false;
  /// One character whose code is the version 1 genre number SaveID3 stores.
  std::string TAGv1Genre;
  std::string TAGv1Title;
  std::string TAGv1Artist;
  std::string TAGv1Album;
  std::string TAGv1Created;
  std::string TAGv1Comment;
  /// The genre byte read; 255 (no genre) when the file has no version 1 tag.
  std::int16_t TAGv1GenreIndex = 0;
  /// The ID3v1.1 track number read (1 to 255); 0 when the version 1 tag has
  /// none. Read only: a save keeps the file's track byte.
  std::int16_t TAGv1Track = 0;
  bool TAGv2Exists = false;
  std::string TAGv2Track;
  std::string TAGv2Genre;
  std::string TAGv2Title;
  std::string TAGv2Artist;
  std::string TAGv2Album;
  std::string TAGv2Created;
  std::string TAGv2Comment;
  std::string TAGv2Composer;
  std::string TAGv2OriginalArtist;
  std::string TAGv2Copyright;
  std::string TAGv2Url;
  std::string TAGv2EncodedBy;
  std::int32_t WAVLenghtInSeconds = 0;
  std::string WAVLenght;
  std::int32_t WAVBitrate = 0;
  std::int32_t WAVFrequency = 0;
  std::int64_t WAVFileSizeInBytes = 0;
  std::string WAVFileSize;
  std::int32_t WAVChannels = 0;
  std::int32_t WAVBits = 0;
  std::int64_t Mp3FileSizeInBytes = 0;
  std::string Mp3FileSize;
  std::string Mp3FileLenghtInSeconds;
  std::string Mp3FileLenght;
  std::string Mp3Bitrate;
  std::string Mp3Frequency;
  std::string Mp3Channels;
  std::string Mp3Copyright;
  std::string Mp3CRC;
  std::string Mp3Emphasis;
  std::string Mp3Layer;
  std::string Mp3MPEG;
  std::string Mp3Original;
  std::string FileName;
  /// A variable bit rate: the file has a "Xing" or "VBRI" header. Mp3Bitrate
  /// then reads "VBR " and the average.
  bool Mp3Vbr = false;
  /// Frames of audio: the VBR header's count, else estimated from the bytes.
  std::int64_t Mp3Frames = 0;
  /// Samples of encoder delay from a LAME tag; 0 without one.
  std::int32_t Mp3EncoderDelay = 0;
  /// Bytes from the first frame to the end of the audio, tags excluded.
  std::int64_t Mp3AudioBytes = 0;
  /// The playing time in milliseconds (Mp3FileLenghtInSeconds is cut to
  /// whole seconds).
  std::int64_t Mp3LengthInMilliseconds = 0;
  /// The WAV sample format: "PCM", "IEEE float", "extensible PCM"...
  std::string WavFormat;

  /// The change of the front cover the next save writes with the texts;
  /// nothing keeps the tag's pictures as they are. ReadID3 forgets it.
  std::optional<id3v2::CoverEdit> CoverChange;

  /// Set to 1 by SaveID3 when it ends, on every path; the host sets it back.
  std::int16_t ID3SaveDone = 0;

  /// Reads the size, the MPEG data and both tags of the file into the
  /// properties and remembers the path in FileName. A file that cannot be
  /// read leaves no value of an earlier file behind. The status says why the
  /// file or its version 2 tag could not be read (no event is raised).
  platform::Status ReadID3(const std::string& path);
  /// Writes both tags of FileName from the properties, in one step: both
  /// are written or, on a refusal or failure, the file keeps every byte.
  /// A failure raises Error once and is returned; ID3SaveDone is 1
  /// afterwards on every path.
  platform::Status SaveID3();
  /// What SaveID3 would change in FileName, without writing anything or
  /// raising Error: the file's tag regions now and after the save (apply it
  /// with id3v2::replaceTagRegions or a history::runTagBatch), or why the
  /// save would fail. Leftovers of killed saves in the folder are the
  /// caller's to finish first (id3v2::finishAbandonedSavesBeside).
  platform::Result<id3v2::TagChange> planSave() const;
  /// The front cover of FileName's version 2 tag as the file holds it now;
  /// nothing when it has none (or cannot be read). Only the pictures read
  /// before a damaged part of the tag are seen.
  std::optional<id3v2::Picture> readFrontCover() const;
  /// What RemoveID3Tagv2 would change; nothing when the file has no version
  /// 2 tag (or is missing).
  platform::Result<std::optional<id3v2::TagChange>> planRemoval() const;
  /// Removes the version 2 tag of FileName; a failure raises Error and is
  /// returned.
  platform::Status RemoveID3Tagv2();
  /// Reads the WAV header into the WAV properties. Fails when the file cannot
  /// be read (the WAV properties are then 0 and empty).
  platform::Status ReadWAV(const std::string& path);

  /// The Error event: called with the code of a failed write or removal and
  /// its reason.
  void setErrorHandler(ErrorHandler handler) { m_error = std::move(handler); }
  /// Told when a version 2 write starts and ends (busy pointer, events).
  void setBusyHandler(std::function<void(bool)> handler) { m_busy = std::move(handler); }
  /// The decimal separator of the size texts; the user's locale by default.
  void setDecimalSeparator(char separator) { m_decimalSeparator = separator; }

 private:
  /// Reads the tag of FileName into `tag` and sets the fields over it.
  platform::Status readForSave(id3v2::clsTv2& tag) const;
  void raiseError(std::int16_t code, const platform::Error& reason);
  void clearTagTexts();
  void clearMp3Properties();
  /// The version 1 tag of the properties, for the end of the file being
  /// saved (`size` bytes long): in place of an existing one, else added.
  platform::Result<id3v2::FileEnding> id3v1Ending(platform::ReadableFile& file,
                                                  std::uint64_t size) const;

  platform::FileSystem& m_fileSystem;
  platform::Clock& m_clock;
  platform::Dialogs& m_dialogs;
  ErrorHandler m_error;
  std::function<void(bool)> m_busy;
  char m_decimalSeparator;
  /// The version 1 fields of the last file read, kept so that reading the
  /// next one reuses their buffers.
  Id3v1Fields m_version1;
};

}  // namespace brindle::inspect
