// Where the history lives and how large it may grow, from the environment:
// BRINDLE_HISTORY names the file ("off": no history), otherwise
// $XDG_STATE_HOME/brindle/history.sqlite (~/.local/state/brindle/ when
// XDG_STATE_HOME is not set); BRINDLE_HISTORY_LIMIT gives the size limit in
// bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "history/History.h"

namespace brindle::history {

/// The value of an environment variable; nothing when it is not set.
using Environment = std::function<std::optional<std::string>(const std::string& name)>;

/// The process's own environment.
Environment processEnvironment();

/// The history file; nothing when the history is turned off (or there is no
/// home folder to keep it in).
std::optional<std::string> historyLocation(const Environment& environment);

/// BRINDLE_HISTORY_LIMIT when it is a number of bytes, else kDefaultSizeLimit.
std::uint64_t historySizeLimit(const Environment& environment);

/// Opens the history the environment names, creating its folder; a null
/// pointer when the history is turned off. `sizeLimit` overrides the
/// environment's limit.
platform::Result<std::unique_ptr<History>> openConfiguredHistory(
    const Environment& environment, std::optional<std::uint64_t> sizeLimit = std::nullopt);

}  // namespace brindle::history
