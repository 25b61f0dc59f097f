// The picture a user chooses as a file's front cover: the image file read
// and its type told from its first bytes, so that only JPEG and PNG images
// become covers.
#pragma once

#include <string>

#include "id3v2/CoverArt.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace brindle::tageditor {

/// What the cover chooser offers.
inline constexpr const char* kCoverImageFilter = "Images (*.jpg *.jpeg *.png)";

/// The front cover made of the image at `path`: its bytes with "image/jpeg"
/// or "image/png" after its first bytes, no description. Fails with the
/// reason for a file that cannot be read or is no JPEG or PNG image.
platform::Result<id3v2::Picture> coverFromImageFile(platform::FileSystem& fileSystem,
                                                    const std::string& path);

/// The message shown when a chosen file cannot become the cover.
std::string coverRefusedText(const std::string& fileName, const platform::Error& reason);

}  // namespace brindle::tageditor
