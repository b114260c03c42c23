// Host globals: the change-stamp counter, the built-in fill patterns and the
// ordered-dither threshold table.
#pragma once

#include <atomic>
#include <cstdint>

struct ZT_Zarnik_Globals {
  // Incremented for each new or changed counted object.
  std::atomic<uint32_t> change_stamp_counter{1};
  // Built-in face patterns 0..74: 8 pixels wide, 8 rows, one byte per row, the
  // least significant bit being the leftmost pixel.  A set bit is a pattern hole.
  uint8_t fill_patterns[75][8];

  uint32_t next_change_stamp() noexcept {
    return change_stamp_counter.fetch_add(1, std::memory_order_relaxed) + 1;
  }
};
extern ZT_Zarnik_Globals ZARNIK;

struct ZT_Shared_Constants {
  // 8x8 ordered-dither thresholds, 16-bit, indexed [column + 8 * row].
  uint16_t dither_table[64];
};
extern const ZT_Shared_Constants SHARED;
