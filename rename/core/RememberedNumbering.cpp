#include "rename/core/RememberedNumbering.h"

namespace brindle::rename {

namespace {

constexpr const char* kLayout = "numberedRename/layout";
constexpr const char* kCommonName = "numberedRename/commonName";
constexpr const char* kDivider = "numberedRename/divider";
constexpr const char* kStart = "numberedRename/start";

std::optional<NumberingOptions::Layout> layoutNamed(const std::string& name) {
  if (name == "common") return NumberingOptions::Layout::Common;
  if (name == "uniqueLeft") return NumberingOptions::Layout::UniqueLeft;
  if (name == "uniqueRight") return NumberingOptions::Layout::UniqueRight;
  return std::nullopt;
}

std::string nameOf(NumberingOptions::Layout layout) {
  switch (layout) {
    case NumberingOptions::Layout::Common:
      return "common";
    case NumberingOptions::Layout::UniqueLeft:
      return "uniqueLeft";
    case NumberingOptions::Layout::UniqueRight:
      return "uniqueRight";
  }
  return "common";
}

}  // namespace

std::optional<NumberingChoices> rememberedNumbering(platform::Settings& settings) {
  const std::optional<std::string> layoutName = settings.value(kLayout);
  if (!layoutName) return std::nullopt;
  const std::optional<NumberingOptions::Layout> layout = layoutNamed(*layoutName);
  if (!layout) return std::nullopt;
  NumberingChoices choices;
  choices.options.layout = *layout;
  choices.options.commonName = settings.value(kCommonName).value_or(choices.options.commonName);
  choices.options.divider = settings.value(kDivider).value_or("");
  choices.startText = settings.value(kStart).value_or("01");
  return choices;
}

void rememberNumbering(platform::Settings& settings, const NumberingChoices& choices) {
  settings.setValue(kLayout, nameOf(choices.options.layout));
  settings.setValue(kCommonName, choices.options.commonName);
  settings.setValue(kDivider, choices.options.divider);
  settings.setValue(kStart, choices.startText);
}

}  // namespace brindle::rename
