#include "inspect/Properties.h"

#include <algorithm>
#include <cstring>

namespace brindle::inspect {

namespace {

constexpr std::size_t kVersion2Count = static_cast<std::size_t>(
    std::count_if(kProperties.begin(), kProperties.end(), [](const Property& property) {
      return property.tag && property.tag->version == TagVersion::V2;
    }));

constexpr std::array<const Property*, kVersion2Count> kVersion2SaveOrder = [] {
  std::array<const Property*, kVersion2Count> order{};
  for (const Property& property : kProperties) {
    if (property.tag && property.tag->version == TagVersion::V2) {
      order.at(static_cast<std::size_t>(property.tag->saveOrder)) = &property;
    }
  }
  return order;
}();

static_assert(std::none_of(kVersion2SaveOrder.begin(), kVersion2SaveOrder.end(),
                           [](const Property* property) { return property == nullptr; }),
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
  return kVersion2SaveOrder;
}

bool isWavProperty(const Property& property) {
  return std::strncmp(property.name, "WAV", 3) == 0 || std::strncmp(property.name, "Wav", 3) == 0;
}

}  // namespace brindle::inspect
