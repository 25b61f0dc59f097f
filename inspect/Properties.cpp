#include "inspect/Properties.h"

#include <algorithm>
#include <cstring>

namespace brindle::inspect {

namespace {

constexpr std::size_t kVersion2Count = static_cast<std::size_t>(
    std::count_if(kProperties.begin(), kProperties.end(), [](const Property& property) {
      return property.tag && property.tag->version == TagVersion::V2;
    }));

/// The index in kProperties of each version 2 text, in save order. Indexes
/// rather than pointers, so the check below stays a constant expression in
/// sanitizer builds too.
constexpr std::array<int, kVersion2Count> kVersion2SaveIndexes = [] {
  std::array<int, kVersion2Count> order{};
  order.fill(-1);
  for (std::size_t index = 0; index < kProperties.size(); ++index) {
    const Property& property = kProperties[index];
    if (property.tag && property.tag->version == TagVersion::V2) {
      order.at(static_cast<std::size_t>(property.tag->saveOrder)) = static_cast<int>(index);
    }
  }
  return order;
}();

static_assert(std::none_of(kVersion2SaveIndexes.begin(), kVersion2SaveIndexes.end(),
                           [](int index) { return index < 0; }),
              "every version 2 text has its own place in the save order");

}  // namespace

std::span<const Property> id3Properties() {
  return kProperties;
}

const Property* findProperty(const std::string& name) {
  for (const Property& property : kProperties) {
    if (name == property.name) return &property;
  }
  return nullptr;
}

std::span<const Property* const> version2SaveOrder() {
  static const std::array<const Property*, kVersion2Count> order = [] {
    std::array<const Property*, kVersion2Count> properties{};
    for (std::size_t place = 0; place < kVersion2Count; ++place) {
      properties[place] = &kProperties[static_cast<std::size_t>(kVersion2SaveIndexes[place])];
    }
    return properties;
  }();
  return order;
}

bool isWavProperty(const Property& property) {
  return std::strncmp(property.name, "WAV", 3) == 0 || std::strncmp(property.name, "Wav", 3) == 0;
}

}  // namespace brindle::inspect
