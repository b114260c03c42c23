// A slow reference for the triangle strip rasterisers: every pixel computed on
// its own, from the formulas, with plain integer division and run-time
// switches.  The fast rasterisers must match it bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/point_lists.h"

enum class Reference_Kind { Flat, Colorized, Gouraud };

// Colour and depth of every pixel.
struct Reference_Image : Buffers {
  // Set by reference_2di_strip at every pixel that is the second pixel of a
  // two-pixel span drawn by the linear rule: the only pixels where the rule
  // differs from the unclipped rasterisers' (sized on first use).
  std::vector<uint8_t> linear_second_of_two;
};

Reference_Image reference_snapshot(const Test_Host& host);

// Draws a DCI strip as the host's current configuration draws it once the gates
// for depth off, transparency, strip edges and host patterns have let it
// through: merge in B, the flat true-colour actions, the mask test (masked
// twins) and every pixel rule are followed.  Reads the renderer and rendition
// of host, draws into image.
void reference_dci_strip(const Test_Host& host, Reference_Kind kind, const Point_List& strip,
                         Reference_Image& image);

// Draws a strip of points anywhere within the coordinate-safe square as the 2DI
// actions draw it through the rendition's hard-clip rectangle (which must lie
// inside the window): a triangle with all three points inside the rectangle
// exactly as above; any other triangle only at its pixels inside the
// rectangle, and every one of its spans by the linear rule (the second pixel
// of a two-pixel span one step on, not the mean of the two edges).  Triangles
// are never dropped for lying beyond the window.
void reference_2di_strip(const Test_Host& host, Reference_Kind kind, const Point_List& strip,
                         Reference_Image& image);
