#pragma once

#include <cstddef>

namespace agendia::platform {

// A large buffer taken from the system in whole pages, for the storage of a
// tree that is filled once and then read: the character blocks, the node
// records and the key table of a list of many memos.
//
// Touching fresh memory costs a page fault per page, and on the virtual
// machines the component runs on a fault is dear. So on Linux a buffer of
// kLargePage bytes or more is aligned to a large page and the system is
// asked to back it with large pages (transparent huge pages): filling it then
// costs one fault per 2 MiB instead of one per 4 KiB. A large page is resident
// as a whole once touched, which is why only large buffers are asked for it.
// Elsewhere, or when the system refuses, the buffer is ordinary heap memory.
//
// The contents start undefined. Move-only; the memory goes back with the
// buffer. Throws std::bad_alloc when no memory is left, as new does.
class PageBuffer {
 public:
  static constexpr std::size_t kLargePage = std::size_t{2} << 20;

  PageBuffer() = default;
  explicit PageBuffer(std::size_t bytes);
  ~PageBuffer();
  PageBuffer(PageBuffer&& other) noexcept;
  PageBuffer& operator=(PageBuffer&& other) noexcept;
  PageBuffer(const PageBuffer&) = delete;
  PageBuffer& operator=(const PageBuffer&) = delete;

  char* data() const { return data_; }
  // Gives the pages from `offset` to the end back to the system, for a
  // buffer taken from it in whole pages; they read as zeros when touched
  // again. A part of a large page is split off it. Heap memory stays as it is.
  void Discard(std::size_t offset);
  // What was asked for; the buffer may be larger.
  std::size_t size() const { return size_; }

 private:
  void Release() noexcept;

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mapped_ = 0;  // bytes mapped from the system, 0 for heap memory
};

}  // namespace agendia::platform
