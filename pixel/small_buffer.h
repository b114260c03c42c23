// A temporary array that lives inside the call for up to 64 entries and on the
// heap beyond, released on every path (exceptions included).
#pragma once

#include <cstdint>
#include <memory>

namespace pixel {

template <typename T, int32_t Inline = 64>
class Small_Buffer {
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
  T local_[Inline];
  std::unique_ptr<T[]> heap_;
  T* data_ = local_;
};

}  // namespace pixel
