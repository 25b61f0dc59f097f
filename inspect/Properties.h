// The component's properties by name, in their documented order: for
// listing them (brindle-cli read) and setting them by name (brindle-cli
// write).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "inspect/ID3.h"

namespace brindle::inspect {

struct Property {
  const char* name;
  std::variant<bool ID3::*, std::int16_t ID3::*, std::int32_t ID3::*, std::string ID3::*> member;
  /// Set by the host before SaveID3 (the tag texts).
  bool writable;
};

/// Every property, TAGv1Exists to FileName.
std::span<const Property> id3Properties();

/// The property named `name`, or nullptr.
const Property* findProperty(const std::string& name);

/// True for the WAV... properties.
bool isWavProperty(const Property& property);

}  // namespace brindle::inspect
