#include "id3v2/TemporaryName.h"

#include <algorithm>
#include <random>

namespace brindle::id3v2 {

namespace {

constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLength = 6;

}  // namespace

std::string folderPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string temporaryNameBeside(const std::string& path) {
  static thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string name = folderPart(path) + std::string(kTemporaryPrefix);
  for (std::size_t i = 0; i < kRandomLength; ++i) name += kLetters[pick(random)];
  return name;
}

bool isTemporaryName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kRandomLength) return false;
  if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return false;
  const std::string_view tail = name.substr(kTemporaryPrefix.size());
  return std::all_of(tail.begin(), tail.end(),
                     [](char c) { return kLetters.find(c) != std::string_view::npos; });
}

}  // namespace brindle::id3v2
