#pragma once

#include <atomic>
#include <cstdint>

namespace agendia::component {

// IUnknown's AddRef and Release for an object of the component that
// implements `Interfaces` and is made with new: it starts with one reference,
// which its creator owns, and deletes itself when the last one is released.
template <typename... Interfaces>
class RefCounted : public Interfaces... {
 public:
  uint32_t AddRef() override { return refs_.fetch_add(1) + 1; }
  uint32_t Release() override {
    const uint32_t left = refs_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
  }

 protected:
  RefCounted() = default;
  // Virtual so that Release deletes the whole object; the slot follows the
  // interfaces' methods in the table, where no host looks.
  virtual ~RefCounted() = default;

 private:
  std::atomic<uint32_t> refs_{1};
};

}  // namespace agendia::component
