// The history's file and size limit from the environment.
#include "history/Location.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace brindle::history {

namespace {

std::optional<std::string> nonEmpty(const Environment& environment, const std::string& name) {
  std::optional<std::string> value = environment(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

}  // namespace

Environment processEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
  };
}

std::optional<std::string> historyLocation(const Environment& environment) {
  if (std::optional<std::string> named = nonEmpty(environment, "BRINDLE_HISTORY")) {
    if (*named == "off") return std::nullopt;
    return named;
  }
  // The XDG base directory rules: a relative XDG_STATE_HOME is ignored.
  std::optional<std::string> state = nonEmpty(environment, "XDG_STATE_HOME");
  if (!state || state->front() != '/') {
    std::optional<std::string> home = nonEmpty(environment, "HOME");
    if (!home) return std::nullopt;
    state = *home + "/.local/state";
  }
  return *state + "/brindle/history.sqlite";
}

std::uint64_t historySizeLimit(const Environment& environment) {
  std::optional<std::string> text = nonEmpty(environment, "BRINDLE_HISTORY_LIMIT");
  if (!text) return kDefaultSizeLimit;
  std::uint64_t limit = 0;
  const char* end = text->data() + text->size();
  auto [stop, error] = std::from_chars(text->data(), end, limit);
  if (error != std::errc() || stop != end) return kDefaultSizeLimit;
  return limit;
}

platform::Result<std::unique_ptr<History>> openConfiguredHistory(
    const Environment& environment, std::optional<std::uint64_t> sizeLimit) {
  std::optional<std::string> location = historyLocation(environment);
  if (!location) return std::unique_ptr<History>();
  const std::filesystem::path folder = std::filesystem::path(*location).parent_path();
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
      return platform::Error{error.value(), "cannot create the history's folder " +
                                                folder.native() + ": " + error.message()};
    }
  }
  return openHistory(*location, sizeLimit.value_or(historySizeLimit(environment)));
}

}  // namespace brindle::history
