// The names of the temporary files a save writes beside the file it
// replaces: short, hidden, and recognisable as this program's, so that one
// left behind by a killed save can be found and removed by the next.
#pragma once

#include <string>
#include <string_view>

namespace brindle::id3v2 {

/// The start of every temporary file name.
inline constexpr std::string_view kTemporaryPrefix = ".brindle-";

/// A temporary name in the folder of `path`: the prefix and six random
/// letters and digits, whatever the length of the file's own name.
std::string temporaryNameBeside(const std::string& path);

/// The folder part of `path` ("" for a bare name, else ending in "/").
std::string folderPart(const std::string& path);

/// True when the name (without folder) is one temporaryNameBeside() makes.
bool isTemporaryName(std::string_view name);

}  // namespace brindle::id3v2
