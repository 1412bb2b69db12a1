#include "platform/page_buffer.h"

#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>
#endif

namespace agendia::platform {

namespace {

#if defined(__linux__)
// Maps `length` bytes (a multiple of the large page) at an address aligned to
// the large page, and asks for large pages; null when the system refuses.
char* MapLargePages(std::size_t length) {
  constexpr std::size_t kAlign = PageBuffer::kLargePage;
  void* raw = mmap(nullptr, length + kAlign, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kAlign - 1) & ~std::uintptr_t{kAlign - 1};
  // Only the aligned part is kept.
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t tail = start + length + kAlign - (aligned + length);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
  // Advice only: without it the buffer is ordinary memory.
  madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  return reinterpret_cast<char*>(aligned);
}
#endif

}  // namespace

PageBuffer::PageBuffer(std::size_t bytes) : size_(bytes) {
#if defined(__linux__)
  if (bytes >= kLargePage) {
    const std::size_t length = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    data_ = MapLargePages(length);
    if (data_ != nullptr) {
      mapped_ = length;
      return;
    }
  }
#endif
  data_ = static_cast<char*>(::operator new(bytes == 0 ? 1 : bytes));
}

PageBuffer::~PageBuffer() { Release(); }

void PageBuffer::Discard(std::size_t offset) {
#if defined(__linux__)
  constexpr std::size_t kPage = 4096;
  const std::size_t start = (offset + kPage - 1) / kPage * kPage;
  if (mapped_ != 0 && start < mapped_) madvise(data_ + start, mapped_ - start, MADV_DONTNEED);
#else
  (void)offset;
#endif
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void PageBuffer::Release() noexcept {
  if (data_ == nullptr) return;
#if defined(__linux__)
  if (mapped_ != 0) {
    munmap(data_, mapped_);
    data_ = nullptr;
    return;
  }
#endif
  ::operator delete(data_);
  data_ = nullptr;
}

}  // namespace agendia::platform
