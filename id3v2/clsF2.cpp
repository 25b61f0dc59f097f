// The ordered frame collection: 1-based positions over a vector of shared
// frames.
#include "id3v2/clsF2.h"

#include <utility>

namespace brindle::id3v2 {

void clsF2::add(std::shared_ptr<clsF> a_objframe) {
  if (a_objframe) m_frames.push_back(std::move(a_objframe));
}

std::shared_ptr<clsF> clsF2::item(std::int32_t a_index) const {
  return valid(a_index) ? m_frames[static_cast<std::size_t>(a_index - 1)] : nullptr;
}

std::int32_t clsF2::count() const {
  return static_cast<std::int32_t>(m_frames.size());
}

bool clsF2::remove(std::int32_t a_index) {
  if (!valid(a_index)) return false;
  m_frames.erase(m_frames.begin() + (a_index - 1));
  return true;
}

bool clsF2::replace(std::int32_t a_index, std::shared_ptr<clsF> a_objframe) {
  if (!valid(a_index) || !a_objframe) return false;
  m_frames[static_cast<std::size_t>(a_index - 1)] = std::move(a_objframe);
  return true;
}

void clsF2::clear() {
  m_frames.clear();
}

clsF2::const_iterator clsF2::begin() const {
  return m_frames.begin();
}

clsF2::const_iterator clsF2::end() const {
  return m_frames.end();
}

bool clsF2::valid(std::int32_t a_index) const {
  return a_index >= 1 && a_index <= count();
}

}  // namespace brindle::id3v2
