// libFuzzer target for the ID3v2 engine: arbitrary bytes as a file read by
// readtag, written back by writetag and read again, as the content of each
// frame kind for parsebytes, and as frame content for the decoders of
// compressed and unsynchronised frames. The file lives in memory (/dev/shm)
// where it can, so that flushing each save to the disk does not slow it.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "id3v2/CoverArt.h"
#include "id3v2/FrameDecoding.h"
#include "id3v2/TagFormat.h"
#include "id3v2/Version22.h"
#include "id3v2/clsCF.h"
#include "id3v2/clsOF.h"
#include "id3v2/clsTF.h"
#include "id3v2/clsTv2.h"
#include "id3v2/clsWF.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

class FixedClock : public brindle::platform::Clock {
 public:
  brindle::platform::TimeOfDay localTimeOfDay() override { return {1, 2, 3}; }
};

/// The folder for the scratch file: a file system in memory when there is
/// one, since every save flushes the file to the disk, which on a real disk
/// holds the fuzzer to a few hundred runs a second.
std::string scratchBase() {
  std::error_code error;
  if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK | X_OK) == 0) {
    return "/dev/shm";
  }
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  return error ? std::string("/tmp") : temporary.string();
}

const std::string& scratchFile() {
  static const std::string folder = [] {
    std::string pattern = scratchBase() + "/brindle-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  static const std::string path = [] {
    // Each run removes its file, so the folder is empty at the end.
    std::atexit([] { ::rmdir(folder.c_str()); });
    return folder + "/song.mp3";
  }();
  return path;
}

void parseEveryKind(brindle::id3v2::ByteView bytes) {
  brindle::id3v2::ByteVector rendered;
  brindle::id3v2::clsTF text;
  brindle::id3v2::clsCF comment;
  brindle::id3v2::clsWF url;
  brindle::id3v2::clsOF opaque;
  for (brindle::id3v2::clsF* frame :
       std::initializer_list<brindle::id3v2::clsF*>{&text, &comment, &url, &opaque}) {
    // A parsed frame renders back to exactly its content, except a URL frame
    // without a terminator, whose URL repeats its description.
    if (frame->parsebytes(bytes) && frame != &url) {
      frame->getbytes(rendered);
      if (rendered.size() != bytes.size() ||
          !std::equal(rendered.begin(), rendered.end(), bytes.begin())) {
        __builtin_trap();
      }
    }
  }
}

/// The first byte stands for a frame's format flags, the rest for its content.
void decodeAsFrameContent(brindle::id3v2::ByteView bytes) {
  if (bytes.empty()) return;
  const std::uint8_t flags = bytes[0];
  const brindle::id3v2::ByteView content = bytes.subspan(1);
  for (std::uint8_t major : {3, 4}) {
    (void)brindle::id3v2::decodeContent(major, flags, content, (flags & 0x10) != 0);
  }
  // A bounded inflation never gives more than its limit.
  const auto inflated = brindle::id3v2::inflateZlib(content, 4096);
  if (inflated && inflated->size() > 4096) __builtin_trap();
  (void)brindle::id3v2::pictureAsVersion23(content);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const brindle::id3v2::ByteView bytes(data, size);
  parseEveryKind(bytes);
  decodeAsFrameContent(bytes);
  // Picture content that parses renders back to the same bytes.
  if (const auto picture = brindle::id3v2::parsePicture(bytes)) {
    const brindle::id3v2::ByteVector rendered = brindle::id3v2::renderPicture(*picture);
    if (!std::equal(rendered.begin(), rendered.end(), bytes.begin(), bytes.end())) __builtin_trap();
  }

  const std::string& path = scratchFile();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  brindle::platform::posix::PosixFileSystem fileSystem;
  FixedClock clock;
  brindle::id3v2::clsTv2 first(fileSystem, clock);
  first.readtag(path);
  {
    // The reader for display gives exactly the values of the full read.
    static constexpr std::int32_t kEveryId[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    brindle::id3v2::clsTv2 shown(fileSystem, clock);
    std::vector<std::string> values(12);
    std::vector<std::string*> outputs;
    for (std::string& value : values) outputs.push_back(&value);
    if (auto file = fileSystem.openForReading(path)) {
      shown.readframevalues(*file.value(), kEveryId, outputs);
      for (std::int32_t id = 1; id <= 12; ++id) {
        if (values[static_cast<std::size_t>(id - 1)] != first.getframevalue(id)) __builtin_trap();
      }
    }
  }
  first.setframevalue(2, "fuzz \xC3\xA9\xE2\x98\x83");
  first.writetag(path, true);
  if (first.lasterror() == 0) {
    brindle::id3v2::clsTv2 second(fileSystem, clock);
    second.readtag(path);
    if (!second.hastag()) __builtin_trap();
    // A tag whose frame ids are all well formed reads back frame for frame.
    bool wellFormed = true;
    for (const auto& frame : first.frames()) {
      const std::string& id = frame->frameid();
      wellFormed = wellFormed && brindle::id3v2::isFrameId(brindle::id3v2::ByteView(
                                     reinterpret_cast<const std::uint8_t*>(id.data()), id.size()));
    }
    if (wellFormed && (second.frames().count() != first.frames().count() ||
                       second.getframevalue(2) != first.getframevalue(2))) {
      __builtin_trap();
    }
  }
  ::unlink(path.c_str());
  return 0;
}
