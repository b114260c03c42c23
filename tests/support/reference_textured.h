// A slow reference for the textured strips: every pixel computed on its own
// from the formulas, with plain integer division and run-time switches.  The
// textured rasterisers must match it bit for bit.
#pragma once

#include "tests/support/reference_triangles.h"
#include "tests/support/textured_calls.h"

// Draws a textured strip as the host's current textured variant draws it once
// the gates have chosen its own drawing: modulated when the face's texture
// modulates and colours are given, lit (D opaque) when the rendition's
// lighting is on and normals are given.  With points_anywhere, as the 2D and
// 2DI actions draw through the rendition's hard-clip rectangle (which must lie
// inside the window): triangles with all three points inside it exactly as
// the DCI action, triangles beyond one side not at all, and the others
// solid, only at their pixels inside it, every span by the linear rule.
// Straddling triangles must lie within the coordinate-safe square; texture
// coordinate differences must keep their 16.16 steps within 32 bits.
void reference_textured_strip(const Test_Host& host, const Textured_Points& call,
                              bool points_anywhere, Reference_Image& image);
