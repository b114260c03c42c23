// Ratios of two renderers' times taken repetition by repetition. When the two sides of a pair
// run back to back, a slow phase of a shared machine slows both, and their ratio barely moves;
// a ratio of separately taken medians has no such protection.
#pragma once

#include <span>
#include <vector>

namespace zdi::bench {

// A sample's median (of an even count: the mean of the middle two) and its extremes.
struct Spread {
  double median = 0, min = 0, max = 0;
};
// All zero for an empty sample.
Spread spread_of(std::vector<double> values);

// peer[k] / ours[k] for every repetition k that both sides completed: how many times faster
// ours was in that pair.
std::vector<double> pair_ratios(std::span<const double> peer, std::span<const double> ours);

} // namespace zdi::bench
