// Memory with no-access pages on both sides: a read or write past either end
// faults at once, however far it goes within a page.  The block's end abuts the
// page after it; the bytes between the page before and the block's start are
// filled with a canary and checked.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint8_t guard_canary = 0xA5;

class Guarded_Block {
public:
  explicit Guarded_Block(std::size_t bytes);
  ~Guarded_Block();
  Guarded_Block(const Guarded_Block&) = delete;
  Guarded_Block& operator=(const Guarded_Block&) = delete;

  uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  // True when the slack before the block (its last `nearest` bytes, or all of
  // it) still holds the canary.
  bool slack_intact(std::size_t nearest = SIZE_MAX) const;

  // The last n bytes of the block (n at most size()): what ends there ends
  // against the no-access page.
  uint8_t* last(std::size_t n) const { return data_ + size_ - n; }

private:
  uint8_t* mapping_ = nullptr;
  std::size_t mapping_bytes_ = 0;
  uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};
