// The fast forms of the fixed-point rules give the plain forms' values: steps
// through a table of multipliers against the division, four coordinates
// rounded at once against one at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "pixel/fixed_point.h"

namespace {

using namespace pixel;

TEST(FastForms, StepsThroughMultipliersEqualTheDivision) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  // Every count of the table and beyond it; deltas near every multiple of the
  // count at both ends of the 32-bit range (where a too small multiplier
  // would first fall short), the whole depth and coordinate ranges' ends, and
  // random 32-bit values (wrapped depth differences).
  for (int32_t n = 0; n <= reciprocal_limit + 8; ++n) {
    const Step_Divider divider(n);
    std::vector<int32_t> deltas = {0, 1, -1, 32760, -32760, 65535, -65535, INT32_MIN, INT32_MAX};
    for (int64_t k = 0; k < 4; ++k)
      for (int64_t e = -1; e <= 1; ++e) {
        const int64_t near_top = ((int64_t(1) << 31) / std::max(n, 1) - k) * std::max(n, 1) + e;
        deltas.push_back(int32_t(near_top >> 15));
        deltas.push_back(int32_t(-near_top >> 15));
        deltas.push_back(int32_t(near_top >> 16));
        deltas.push_back(int32_t(-near_top >> 16));
      }
    for (int i = 0; i < 200; ++i) deltas.push_back(any(rng));
    for (int i = 0; i < 200; ++i) deltas.push_back(any(rng) >> 15);
    for (int32_t d : deltas) {
      ASSERT_EQ(divider.step_15_wrapped(d), step_15(d, n)) << d << "/" << n;
      // The unchecked forms within their range: deltas whose shift fits.
      if (d >= -65536 && d < 65536) {
        ASSERT_EQ(divider.step_15(d), step_15(d, n)) << d << "/" << n;
      }
      if (d >= -32768 && d < 32768) {
        ASSERT_EQ(divider.step_16(d), step_16(d, n)) << d << "/" << n;
      }
    }
  }
}

TEST(FastForms, CoordinatesRoundedFourAtATimeEqualOneAtATime) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> near(-3000.0f, 3000.0f);
  const float special[] = {-0.5f,     0.5f,      -0.0f,  2.5f,         -2.5f,        1e20f,
                           -1e20f,    2147483520.0f, -2147483648.0f, 2147483648.0f,
                           std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), 1e-30f, -0.499999f};
  for (int32_t n = 1; n <= 70; ++n) {
    std::vector<ZT_Point> in(static_cast<size_t>(n));
    for (ZT_Point& p : in) {
      auto value = [&] {
        return rng() % 5 == 0 ? special[rng() % std::size(special)] : near(rng);
      };
      p = {value(), value(), value()};
    }
    std::vector<ZT_DCI_Point> out(size_t(n) + 1, ZT_DCI_Point{7, 7, 7});
    round_device_points_xyz(in.data(), n, out.data());
    for (int32_t i = 0; i < n; ++i) {
      const ZT_Point& p = in[size_t(i)];
      ASSERT_EQ(out[size_t(i)], (ZT_DCI_Point{round_device_coordinate(p.x),
                                              round_device_coordinate(p.y),
                                              round_device_coordinate(p.z)}))
          << n << " points, point " << i;
    }
    ASSERT_EQ(out[size_t(n)], (ZT_DCI_Point{7, 7, 7}));  // nothing written past the end
  }
}

}  // namespace
