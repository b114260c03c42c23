// A temporary array that lives inside the call for up to 64 entries and on the
// heap beyond, released on every path (exceptions included).  The inline
// entries are left uninitialised (T must be trivially copyable): callers write
// every entry they read, and zeroing 64 of them cost more than a small draw.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

namespace pixel {

template <typename T, int32_t Inline = 64>
class Small_Buffer {
  static_assert(std::is_trivially_copyable_v<T>);

public:
  explicit Small_Buffer(int32_t n) {
    if (n > Inline) {
      heap_.reset(new T[std::size_t(n)]);
      data_ = heap_.get();
    }
  }
  Small_Buffer(const Small_Buffer&) = delete;
  Small_Buffer& operator=(const Small_Buffer&) = delete;
  T* data() { return data_; }
  T& operator[](int32_t i) { return data_[i]; }
  bool on_heap() const { return heap_ != nullptr; }

private:
  // A union with an empty constructor: its member's initialisers do not run.
  union Inline_Storage {
    Inline_Storage() {}
    T items[Inline];
  };
  Inline_Storage local_;
  std::unique_ptr<T[]> heap_;
  T* data_ = local_.items;
};

}  // namespace pixel
