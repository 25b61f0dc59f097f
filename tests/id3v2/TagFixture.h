// Tag tests' folder, the real file system behind a recording one, and a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "id3v2/ID3v2FrameId.h"
#include "id3v2/clsTv2.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/id3v2/TagBytes.h"
#include "tests/support/TempDir.h"

namespace brindle::id3v2 {

/// A version 2.3 text frame's content in ISO-8859-1.
inline std::string text(const std::string& latin1) {
  return testbytes::bytes({0}) + latin1;
}

/// "ok", or the error's code and message.
inline std::string why(const platform::Status& status) {
  return status ? "ok" : std::to_string(status.error().code) + " " + status.error().message;
}

class TagFixture : public ::testing::Test {
 protected:
  TagFixture() : clock({14, 3, 9}) {}

  std::unique_ptr<clsTv2> container() { return std::make_unique<clsTv2>(fileSystem, clock); }
  /// Writes `content` to "song.mp3" (or `name`) and returns its path.
  std::string song(const std::string& content, const std::string& name = "song.mp3") {
    return folder.write(name, content);
  }
  static std::string contentOf(const std::string& path) { return testsupport::TempDir::read(path); }
  /// The names in the folder, to see that no temporary file is left.
  std::vector<std::string> names() {
    auto listing = real.listDirectory(folder.path());
    std::vector<std::string> files = listing ? listing.value().files : std::vector<std::string>{};
    std::sort(files.begin(), files.end());
    return files;
  }

  /// Tag found, frame count and each non-empty value: "tag 2: TIT2=a TALB=b".
  static std::string summary(const clsTv2& tag) {
    std::string out =
        (tag.hastag() ? "tag " : "none ") + std::to_string(tag.frames().count()) + ":";
    for (std::int32_t id = TRCK; id <= TENC; ++id) {
      const std::string value = tag.getframevalue(id);
      if (!value.empty()) out += " " + std::string(frameIdText(id)) + "=" + value;
    }
    return out;
  }

  testsupport::TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  platform::testing::FixedClock clock;
};

}  // namespace brindle::id3v2
