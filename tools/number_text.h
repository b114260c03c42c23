// Whole numbers from command-line text, refused rather than wrapped: the text
// must be an optional sign and digits only, and the value must lie in range.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "host/zarnik11.h"

inline std::optional<int32_t> int_from_text(std::string_view text, int32_t low, int32_t high) {
  int64_t v = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, v);
  if (text.empty() || error != std::errc() || stop != end || v < low || v > high)
    return std::nullopt;
  return int32_t(v);
}

// "WIDTHxHEIGHT", each side from 1 to largest.
inline std::optional<ZT_Int_Point> size_from_text(std::string_view text, int32_t largest) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const auto w = int_from_text(text.substr(0, x), 1, largest);
  const auto h = int_from_text(text.substr(x + 1), 1, largest);
  if (!w || !h) return std::nullopt;
  return ZT_Int_Point{*w, *h};
}
