// The fuzzer's bytes read front to back in a fixed order: every target reads
// its choices one after another, so an input means the same calls on every run.
// Past the end every read gives zeros.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

class Byte_Reader {
public:
  Byte_Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <typename T>
  T take() {
    T v{};
    uint8_t bytes[sizeof(T)] = {};
    for (std::size_t i = 0; i < sizeof(T) && at_ < size_; ++i) bytes[i] = data_[at_++];
    std::memcpy(&v, bytes, sizeof(T));
    return v;
  }
  bool flag() { return take<uint8_t>() & 1; }
  // One of n choices, 0..n-1.
  uint32_t pick(uint32_t n) { return n ? take<uint8_t>() % n : 0; }
  // A value in [low, high] (high - low below 2^32).
  int64_t in_range(int64_t low, int64_t high) {
    return low + int64_t(take<uint32_t>() % uint64_t(high - low + 1));
  }
  bool exhausted() const { return at_ >= size_; }

  // An integer coordinate: mostly near a window of the given extent, else at
  // the edges of the safe square and of 32 bits, or anything.
  int32_t coordinate(int32_t extent) {
    static constexpr int32_t edges[] = {std::numeric_limits<int32_t>::min(), -(1 << 30),
                                        -1000000, -100000, -4001, -4000, -1, 0, 28760, 28761,
                                        100000, 1000000, 1 << 30,
                                        std::numeric_limits<int32_t>::max()};
    switch (pick(8)) {
    case 0: return edges[pick(sizeof edges / sizeof edges[0])];
    case 1: return take<int32_t>();
    default: return int32_t(in_range(-6, int64_t(extent) + 6));
    }
  }
  // A float coordinate: near the window with a fraction, or NaN, an infinity,
  // huge, or any bit pattern.
  float float_coordinate(int32_t extent) {
    switch (pick(10)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return flag() ? INFINITY : -INFINITY;
    case 2: return flag() ? 1e30f : -1e30f;
    case 3: {
      const uint32_t bits = take<uint32_t>();
      float f;
      std::memcpy(&f, &bits, 4);
      return f;
    }
    case 4: return float(coordinate(extent));
    default: return float(in_range(-6, int64_t(extent) + 6)) + float(take<uint8_t>()) / 256.0f;
    }
  }
  // A depth: mostly inside 0..65535, sometimes any 32-bit value.
  int32_t depth() { return pick(4) == 0 ? take<int32_t>() : int32_t(take<uint16_t>()); }

private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};
