// The numbered rename dialog's last choices, kept between runs: the next
// dialog starts with the layout, texts and start number last accepted.
#pragma once

#include <optional>
#include <string>

#include "platform/Settings.h"
#include "rename/core/NameRules.h"

namespace brindle::rename {

struct NumberingChoices {
  NumberingOptions options;
  /// The start number as typed or chosen ("01").
  std::string startText;

  bool operator==(const NumberingChoices&) const = default;
};

/// The choices last remembered, or nothing when none are (or they are not
/// readable any more).
std::optional<NumberingChoices> rememberedNumbering(platform::Settings& settings);
void rememberNumbering(platform::Settings& settings, const NumberingChoices& choices);

}  // namespace brindle::rename
