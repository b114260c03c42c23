// A bar chart, as a standalone SVG document, of how many times faster our renderer ran than each
// peer variant: one group of bars per measured row (a path of ours on a workload), one bar per
// variant, on a linear axis with a reference line at 1x.
#pragma once

#include "bench/pair_ratios.h"

#include <optional>
#include <string>
#include <vector>

namespace zdi::bench {

struct Ratio_Chart_Row {
  std::string workload;                      // consecutive rows of one workload share a heading
  std::string path;                          // what of ours was measured
  std::vector<std::optional<Spread>> ratios; // one per variant; nullopt draws no bar
};

struct Ratio_Chart {
  std::vector<std::string> variants;
  std::vector<Ratio_Chart_Row> rows;
};

// The axis runs from 0 to a round value that holds every bar, unless a few ratios are far above
// the rest (more than 4 times their median), where it stops at a round value above 4 times the
// median so the others stay readable. A bar past the end is cut there, marked, and labelled with
// its value like every other bar; whiskers show the min-max spread.
std::string ratio_chart_svg(const Ratio_Chart& chart);

} // namespace zdi::bench
