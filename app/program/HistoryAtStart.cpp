// Recovery at the start of the desktop program.
#include "app/program/HistoryAtStart.h"

#include <string>
#include <vector>

#include "history/Recovery.h"

namespace brindle::app {

namespace {

constexpr const char* kTitle = "History";

}  // namespace

std::unique_ptr<history::History> openHistoryAtStart(const history::Environment& environment,
                                                     platform::FileSystem& fileSystem,
                                                     platform::Dialogs& dialogs) {
  platform::Result<std::unique_ptr<history::History>> opened =
      history::openConfiguredHistory(environment);
  if (!opened) {
    dialogs.message(
        "The history of changes could not be opened, so changes are not recorded "
        "and cannot be undone:\r\n" +
            opened.error().message,
        platform::Buttons::Ok, platform::Icon::Critical, kTitle);
    return nullptr;
  }
  std::unique_ptr<history::History> history = std::move(opened.value());
  if (!history) return nullptr;
  platform::Result<std::vector<history::RecoveredBatch>> recovered =
      history::recoverOpenBatches(*history, fileSystem);
  if (!recovered) {
    dialogs.message("Changes interrupted when Brindle last stopped could not be checked:\r\n" +
                        recovered.error().message,
                    platform::Buttons::Ok, platform::Icon::Critical, kTitle);
    return history;
  }
  if (recovered.value().empty()) return history;
  std::string text = "Brindle was stopped while it changed files. Each file is now whole:";
  for (const std::string& line : history::describeRecovery(recovered.value())) {
    text += "\r\n" + line;
  }
  dialogs.message(text, platform::Buttons::Ok, platform::Icon::Information, kTitle);
  return history;
}

}  // namespace brindle::app
