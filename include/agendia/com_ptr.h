#pragma once

#include <agendia/unknown.h>

#include <utility>

namespace agendia {

// Holds one reference to an interface and gives it back on destruction.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes a reference of its own to `p`.
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  // Takes over a reference the caller already holds, as a creation returns.
  static ComPtr Adopt(T* p) {
    ComPtr ptr;
    ptr.p_ = p;
    return ptr;
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Takes over the reference in an interface pointer that a QueryInterface,
  // CreateInstance or class-object call stored as void*.
  static ComPtr AdoptVoid(void* p) { return Adopt(static_cast<T*>(p)); }

  // Asks the held object for interface `iid` of type U.
  template <typename U>
  StatusOr<ComPtr<U>> As(const Guid& iid) const {
    if (!p_) return Status::Error(hr::kPointer, "no object to query");
    void* raw = nullptr;
    Status status = p_->QueryInterface(iid, &raw);
    if (!status.ok()) return status;
    return ComPtr<U>::AdoptVoid(raw);
  }

 private:
  T* p_ = nullptr;
};

}  // namespace agendia
