// The per-pixel colour rules written out plainly, one step at a time: blending,
// merge control and the ordered dither.  The fast forms and the slow
// rasterisers are both checked against these.
#pragma once

#include <cstdint>

#include "core/software_z_buffer.h"

// (source × a + stored × (255 - a)) / 255 in blue, green and red; alpha 255.
uint32_t reference_blend(uint32_t stored, uint32_t source, uint32_t a);

// Merge control of source s onto pixel p with the renderer's merge colours:
// a colour word, or an index combined through the palette.
void reference_merge_word(const Software_Z_Buffer& r, uint32_t& p, uint32_t s);
void reference_merge_index(const Software_Z_Buffer& r, uint32_t& p, uint32_t s);

// The index the ordered dither gives colour c at threshold t: the cube cell's
// base index, then one step along each component whose fraction the threshold
// does not reach, largest fraction first (ties red, green, blue).
uint32_t reference_dither(const ZT_Color_Cube& cube, ZT_RGB32 c, uint32_t t);

// The dither threshold of local pixel (x, y) of the 8-bit colour buffer: the
// host's table at (byte address & 7, y & 7).
uint32_t reference_threshold(const Software_Z_Buffer& r, int32_t x, int32_t y);

// What the face pattern shows at local pixel (x, y): 0 the primitive's
// colour, 1 the contrast colour (a hole with the background flag), 2 nothing.
int reference_pattern_cover(const ZT_Face_Attributes& f, int32_t x, int32_t y);
