#include "cli/ChangeHistory.h"

#include <ostream>
#include <string>

#include "history/Location.h"
#include "history/Recovery.h"

namespace brindle::cli {

platform::Result<std::unique_ptr<history::History>> openChangeHistory(
    platform::FileSystem& fileSystem, std::ostream& err) {
  auto opened = history::openConfiguredHistory(history::processEnvironment());
  if (!opened) {
    return platform::Error{opened.error().code,
                           "cannot open the history: " + opened.error().message};
  }
  if (opened.value()) {
    auto recovered = history::recoverOpenBatches(*opened.value(), fileSystem);
    if (!recovered) {
      return platform::Error{
          recovered.error().code,
          "cannot recover the open batches of the history: " + recovered.error().message};
    }
    for (const std::string& line : history::describeRecovery(recovered.value())) {
      err << "brindle-cli: " << line << '\n';
    }
  }
  return std::move(opened.value());
}

}  // namespace brindle::cli
