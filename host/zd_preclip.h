// Pre-clipping: cutting double-precision device geometry down to a rectangle
// whose integer points fit 32 bits, for renderers that draw from integer
// points.  Crossings are computed in double precision; every point handed back
// is rounded by ZD_Preclip_Round.
//
// Attributes travel with the positions.  A cut point takes the values of the
// original vertices weighted by where it lies (its barycentric weights in the
// triangle, its fraction along the segment): depth, colours (all four bytes,
// rounded to nearest), normals (not renormalised), texture parameters (every
// parameter of the vertex) and vertex w.  Colours, depth and normals vary
// linearly on the screen, as renderers interpolate them.  Texture parameters
// and vertex w do too, except when the rendition asks for perspective (bit 0
// of its perspective word) and vertex w are given: then parameters / w and 1 / w
// vary linearly, as in a perspective-correct draw.
//
// Bad input never crashes and never writes beyond the stated output sizes: a
// triangle or segment with a NaN or infinite coordinate is treated as missing
// the rectangle.
#pragma once

#include <cstdint>

#include "host/zt_basics.h"

class ZT_Renderer_Data;
class ZT_Rendition;

// Round to integer: v + 0.5 for v >= 0, v - 0.49999999999 otherwise, truncated
// toward zero (so 2.5 gives 3 and -2.5 gives -2).  Values beyond the 32-bit
// range give its ends; NaN gives 0.
int32_t ZD_Preclip_Round(double v);

// The most points a triangle clipped to a rectangle keeps: three corners and
// one more per side.  Output arrays of ZD_Preclip_2D_Triangle hold this many
// entries (parameter outputs this many times the parameter width).
constexpr int32_t ZD_Preclip_Max_Points = 7;

// Clips the triangle (three points) to the rectangle (inclusive).  When
// anything with area remains, writes it as a triangle strip of *out_count
// points (3 to 7; the clipped outline is convex, its points go p0, p1, pn-1, p2,
// pn-2, ...) with the attributes of each output point, and returns true.
// Otherwise sets *out_count to 0 and returns false.  Each attribute pair (input,
// output) is used only when both pointers are given; colours, vertex w and
// normals are one per vertex, parameters parameter_width per vertex.  The
// renderer argument is not read.
bool ZD_Preclip_2D_Triangle(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                            const ZT_Int_Rectangle& rectangle, const ZT_Point_D* triangle,
                            int32_t* out_count, ZT_DCI_Point* out_points,
                            const ZT_RGB32* colors, ZT_RGB32* out_colors,
                            const ZT_Parameter* parameters, int32_t parameter_width,
                            ZT_Parameter* out_parameters, const float* vertex_w,
                            float* out_vertex_w, const ZT_Vector* normals,
                            ZT_Vector* out_normals);

// Segments: segment points to two points, colors (when given) to their two
// colours, out_color receives the colour of the cut point.  The outcodes are
// those ZD_Clip gives the points against the same rectangle; the crossings are
// computed from the points themselves.

// Where the segment enters the rectangle (its start point lies outside).
// False when it does not: out is then the rounded end point.
bool ZD_Preclip_Head(uint16_t start_code, const ZT_Int_Rectangle& rectangle,
                     const ZT_Point_D* segment, ZT_DCI_Point* out, const ZT_RGB32* colors,
                     ZT_RGB32* out_color);
// Where the segment leaves the rectangle (its end point lies outside).  False
// when it does not: out is then the rounded start point.
bool ZD_Preclip_Tail(uint16_t end_code, const ZT_Int_Rectangle& rectangle,
                     const ZT_Point_D* segment, ZT_DCI_Point* out, const ZT_RGB32* colors,
                     ZT_RGB32* out_color);
// Both: out[0] where the segment enters, out[1] where it leaves (an end inside
// the rectangle is its own cut point).  False, writing nothing, when the
// segment misses the rectangle.
bool ZD_Preclip_Ends(const uint16_t* codes, const ZT_Int_Rectangle& rectangle,
                     const ZT_Point_D* segment, ZT_DCI_Point* out, const ZT_RGB32* colors,
                     ZT_RGB32* out_colors);
