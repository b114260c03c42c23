// Base classes of host objects: heap objects and reference-counted objects.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>

// Every host object is allocated through the host's allocator.
class ZT_Object {
public:
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;
};

void* ZD_AllocateMemory(std::size_t size);
void ZD_ReleaseMemory(void* p) noexcept;

// A counted object: an atomic reference count and the change stamp it was last
// given.  Releasing the last reference runs the virtual deleting destructor.
class ZT_Counted : public ZT_Object {
public:
  ZT_Counted();
  ZT_Counted(const ZT_Counted&);
  ZT_Counted& operator=(const ZT_Counted&) = delete;
  virtual ~ZT_Counted();

  void retain() const noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
  void release() const noexcept {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  int32_t reference_count() const noexcept { return count_.load(std::memory_order_relaxed); }
  uint32_t change_stamp() const noexcept { return stamp_; }
  // Marks the object as changed: a fresh stamp from the global counter.
  void touch() noexcept;
  // A copy of this object with count 0 and a fresh stamp.  Objects that can be
  // shared copy-on-write override it.
  virtual ZT_Counted* clone() const { return nullptr; }

private:
  mutable std::atomic<int32_t> count_{0};
  uint32_t stamp_;
};

// A counted reference: copying retains, destruction and reassignment release.
template <typename T>
class ZT_Counted_Ptr {
public:
  ZT_Counted_Ptr() = default;
  ZT_Counted_Ptr(T* p) : p_(p) {  // NOLINT: implicit from a raw pointer by design
    if (p_) p_->retain();
  }
  ZT_Counted_Ptr(const ZT_Counted_Ptr& o) : ZT_Counted_Ptr(o.p_) {}
  ZT_Counted_Ptr(ZT_Counted_Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ZT_Counted_Ptr() {
    if (p_) p_->release();
  }
  ZT_Counted_Ptr& operator=(ZT_Counted_Ptr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void reset() { *this = ZT_Counted_Ptr(); }
  // Makes the object private to this reference before it is changed: a clone
  // replaces it when others share it, else it takes a fresh change stamp.
  T* make_unshared() {
    if (p_ && p_->reference_count() >= 2) {
      *this = ZT_Counted_Ptr(static_cast<T*>(p_->clone()));
    } else if (p_) {
      p_->touch();
    }
    return p_;
  }
  friend bool operator==(const ZT_Counted_Ptr& a, const ZT_Counted_Ptr& b) { return a.p_ == b.p_; }

private:
  T* p_ = nullptr;
};
