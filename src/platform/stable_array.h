#pragma once

#include "platform/page_buffer.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace agendia::platform {

// An array that only grows at its end, or is emptied, and whose elements
// never move: it grows by a segment twice the size of the one before
// (16, 32, 64, ... elements), so that
// - growing copies nothing, and an element's address holds until Clear;
// - the part of a segment not yet used is never written, so the system
//   does not make it resident, and a large segment comes in large pages
//   (see PageBuffer);
// - Clear keeps every segment, and refilling to the same size allocates
//   nothing and touches no new page.
// For trivially copyable elements only; a new element's value is the one
// pushed.
template <typename T>
class StableArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](std::size_t i) { return At(i); }
  const T& operator[](std::size_t i) const { return const_cast<StableArray*>(this)->At(i); }
  T& back() { return At(size_ - 1); }

  void push_back(const T& value) {
    const std::size_t segment = SegmentOf(size_);
    if (segment == segments_.size()) segments_.emplace_back(sizeof(T) * (kFirstSize << segment));
    Segment(segment)[size_ - StartOf(segment)] = value;
    ++size_;
  }

  // Forgets every element; keeps the segments for the next fill.
  void clear() { size_ = 0; }

  // The elements in order, segment by segment: calls `visit(first, count)`
  // for each run of consecutive elements.
  template <typename Visit>
  void ForEachRun(Visit visit) const {
    for (std::size_t segment = 0, start = 0; start < size_; ++segment) {
      const std::size_t count = std::min(kFirstSize << segment, size_ - start);
      visit(const_cast<StableArray*>(this)->Segment(segment), count);
      start += count;
    }
  }

 private:
  static constexpr std::size_t kFirstBits = 4;
  static constexpr std::size_t kFirstSize = std::size_t{1} << kFirstBits;

  // Segment s holds elements [16 * (2^s - 1), 16 * (2^(s+1) - 1)).
  static std::size_t SegmentOf(std::size_t i) {
    return static_cast<std::size_t>(std::bit_width((i >> kFirstBits) + 1)) - 1;
  }
  static std::size_t StartOf(std::size_t segment) {
    return ((std::size_t{1} << segment) - 1) << kFirstBits;
  }
  T* Segment(std::size_t segment) { return reinterpret_cast<T*>(segments_[segment].data()); }
  T& At(std::size_t i) {
    const std::size_t segment = SegmentOf(i);
    return Segment(segment)[i - StartOf(segment)];
  }

  std::vector<PageBuffer> segments_;
  std::size_t size_ = 0;
};

}  // namespace agendia::platform
