#include "platform/Platform.h"

namespace brindle::platform {

std::string entryPath(const std::string& directory, const std::string& name) {
  if (!directory.empty() && directory.back() == '/') return directory + name;
  return directory + '/' + name;
}

}  // namespace brindle::platform
