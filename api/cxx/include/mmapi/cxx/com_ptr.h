// A counted reference to an object of the boundary.
#pragma once

#include <utility>

#include "mmapi/unknown.h"

namespace mmapi::cxx {

// Holds one counted reference. Taking over a reference someone already counted
// (Adopt) and counting a new one (Share) are two visibly different calls.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  // From a reference to a derived interface.
  template <class U>
  ComPtr(const ComPtr<U>& other) : p_(other.Get()) {
    if (p_) p_->AddRef();
  }
  template <class U>
  ComPtr(ComPtr<U>&& other) noexcept : p_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  // Takes over a reference that the caller already owns.
  static ComPtr Adopt(T* p) {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  // Counts a new reference to p.
  static ComPtr Share(T* p) {
    if (p) p->AddRef();
    return Adopt(p);
  }

  // For out-parameters: releases what is held, then hands out the slot.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  [[nodiscard]] T* Detach() { return std::exchange(p_, nullptr); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }

  // The object's interface U, or null when it lacks it.
  template <class U>
  ComPtr<U> Query() const {
    ComPtr<U> r;
    if (p_) p_->QueryInterface(U::IID, r.PutVoid());
    return r;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace mmapi::cxx
