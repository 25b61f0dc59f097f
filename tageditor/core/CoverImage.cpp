#include "tageditor/core/CoverImage.h"

#include "platform/text/FileNameText.h"

namespace brindle::tageditor {

platform::Result<id3v2::Picture> coverFromImageFile(platform::FileSystem& fileSystem,
                                                    const std::string& path) {
  auto bytes = fileSystem.readFile(path);
  if (!bytes) {
    return platform::Error{bytes.error().code, "cannot read the image: " + bytes.error().message};
  }
  id3v2::Picture picture;
  picture.data.assign(bytes.value().begin(), bytes.value().end());
  const auto mimeType = id3v2::imageMimeType(picture.data);
  if (!mimeType) return platform::Error{0, "it is not a JPEG or PNG image"};
  picture.mimeType = *mimeType;
  return picture;
}

std::string coverRefusedText(const std::string& fileName, const platform::Error& reason) {
  return "Cannot use " + platform::fileNameToUtf8(fileName) + " as the cover:\n" + reason.message;
}

}  // namespace brindle::tageditor
