#include "bench/pair_ratios.h"

#include <algorithm>

namespace zdi::bench {

Spread spread_of(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return {median, values.front(), values.back()};
}

std::vector<double> pair_ratios(std::span<const double> peer, std::span<const double> ours) {
  std::vector<double> ratios;
  const size_t pairs = std::min(peer.size(), ours.size());
  for (size_t k = 0; k < pairs; ++k) ratios.push_back(peer[k] / ours[k]);
  return ratios;
}

} // namespace zdi::bench
