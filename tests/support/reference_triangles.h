// A slow reference for the triangle strip rasterisers: every pixel computed on
// its own, from the formulas, with plain integer division and run-time
// switches.  The fast rasterisers must match it bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "test_host.h"

enum class Reference_Kind { Flat, Colorized, Gouraud };

// Colour and depth of every pixel (local x + width × local y).
struct Reference_Image {
  std::vector<uint32_t> color;
  std::vector<uint16_t> depth;
};

Reference_Image reference_snapshot(const Test_Host& host);

// Draws a DCI strip as the host's current configuration draws it once the gates
// for depth off, transparency, strip edges and host patterns have let it
// through: merge in B, the flat true-colour actions, the mask test (masked
// twins) and every pixel rule are followed.  Reads the renderer and rendition
// of host, draws into image.
void reference_dci_strip(const Test_Host& host, Reference_Kind kind, int32_t count,
                         const ZT_DCI_Point* points, const ZT_RGB32* colours, bool single,
                         Reference_Image& image);
