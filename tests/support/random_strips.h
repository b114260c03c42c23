// Seeded random draws for the triangle tests: buffer contents, rendition and
// renderer state, strips and colours, and the calls that draw them.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/reference_triangles.h"
#include "tests/support/test_host.h"

// Random colours in every pixel (a quarter of them the merge background) and
// random depths (a quarter of them far).
void fill_random(Test_Host& host, std::mt19937& rng);

// Alpha 255 in a quarter of the colours, 0 in another quarter.
ZT_RGB32 random_colour(std::mt19937& rng);

// A random rendition and renderer state for one draw: pattern, flags, origin,
// depth offset, test mode, write flag, merge, and in a third of the draws a
// complex clip (a random quadrilateral over the window).
void randomise_state(Test_Host& host, std::mt19937& rng);

// n points with x in [x0, x1] and y in [y0, y1], some repeated and some on one
// row with their predecessor.  Depths stay inside 0..65535 with the offset
// added: beyond it the fixed-point formats wrap and the shift shortcuts no
// longer equal divisions.
struct Point_Range {
  int32_t x0, x1, y0, y1;
};
std::vector<ZT_DCI_Point> random_strip(std::mt19937& rng, int32_t n, Point_Range range);

// One colour per point; for Gouraud a third of them close to their predecessor
// (the near-constant shortcut).
std::vector<ZT_RGB32> random_colours(std::mt19937& rng, int32_t n, Reference_Kind kind);

// The triangle slot of a kind that takes points clipped (DCI, DC) or anywhere
// (2DI, 2D), as integers or as floats.
ZT_Slot strip_slot(Reference_Kind kind, bool points_anywhere, bool float_points = false);
