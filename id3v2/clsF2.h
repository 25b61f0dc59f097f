// The ordered frame collection of a tag: frames in the order they were
// added, shared with whoever else holds them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "id3v2/clsF.h"

namespace brindle::id3v2 {

/// The frames of one tag, in tag order.
///
/// Frames of any kind in the order added, without keys. Positions run from
/// 1 to count(). The collection shares ownership of its frames.
class clsF2 {
 public:
  using const_iterator = std::vector<std::shared_ptr<clsF>>::const_iterator;

  /// Appends the frame at the end; a null frame is ignored.
  void add(std::shared_ptr<clsF> a_objframe);
  /// The frame at a 1-based position; nullptr outside 1..count().
  std::shared_ptr<clsF> item(std::int32_t a_index) const;
  /// Number of frames.
  std::int32_t count() const;
  /// Removes the frame at a 1-based position, later frames moving up by one.
  /// False (and nothing removed) outside 1..count().
  bool remove(std::int32_t a_index);
  /// Puts the frame in place of the one at a 1-based position. False (and
  /// nothing replaced) outside 1..count() or for a null frame.
  bool replace(std::int32_t a_index, std::shared_ptr<clsF> a_objframe);
  /// Removes every frame.
  void clear();

  /// First frame, for a for-each walk in the order added.
  const_iterator begin() const;
  /// Past the last frame.
  const_iterator end() const;

 private:
  bool valid(std::int32_t a_index) const;

  std::vector<std::shared_ptr<clsF>> m_frames;
};

}  // namespace brindle::id3v2
