// The one implementation of QueryInterface, AddRef and Release.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

#include "mmapi/cxx/com_ptr.h"

namespace mmapi::cxx {

namespace detail {
// True when iid names I or one of the interfaces I extends.
template <class I>
constexpr bool InChain(const MMGuid& iid) {
  if constexpr (std::is_void_v<I>) {
    return false;
  } else {
    return I::IID == iid || InChain<typename I::BaseInterface>(iid);
  }
}

template <class First, class... Rest>
void* Find(auto* self, const MMGuid& iid) {
  if (InChain<First>(iid)) return static_cast<First*>(self);
  if constexpr (sizeof...(Rest) > 0)
    return Find<Rest...>(self, iid);
  else
    return nullptr;
}
}  // namespace detail

// Base of every object handed across the boundary. Implements the listed
// interfaces and every interface they extend. Created with a count of one,
// owned by the ComPtr that MakeCom returns; destroyed when the count drops to
// zero. The count is not atomic: objects belong to one thread (unknown.h).
template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  MMStatus MMCALL QueryInterface(const MMGuid& iid, void** out) noexcept override {
    if (!out) return MM_E_POINTER;
    *out = detail::Find<Interfaces...>(this, iid);
    if (!*out) return MM_E_NOINTERFACE;
    AddRef();
    return MM_OK;
  }
  std::uint32_t MMCALL AddRef() noexcept override { return ++refs_; }
  std::uint32_t MMCALL Release() noexcept override {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::uint32_t refs_ = 1;
};

template <class T, class... Args>
ComPtr<T> MakeCom(Args&&... args) {
  return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace mmapi::cxx
