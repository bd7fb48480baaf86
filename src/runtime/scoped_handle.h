// One owner for one handle: frees it when it goes or is replaced. Movable,
// not copyable. Portable; the Win32 kinds are in scoped_handles.h.
#pragma once
#include <utility>

namespace ql {

// `Free` is a type whose call operator frees a non-null handle.
template <typename Handle, typename Free>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle(); }
  // Frees the handle held (unless it is the same) and takes `handle`.
  void reset(Handle handle = Handle()) {
    if (handle_ != Handle() && handle_ != handle) Free()(handle_);
    handle_ = handle;
  }
  // Gives the handle up without freeing it.
  Handle release() { return std::exchange(handle_, Handle()); }

 private:
  Handle handle_ = Handle();
};

// Frees a handle kept in a plain member (or a system record) and nulls it.
template <typename Handle, typename Free>
void freeAndNull(Handle& handle, Free free) {
  if (handle != Handle()) free(handle);
  handle = Handle();
}

}  // namespace ql
