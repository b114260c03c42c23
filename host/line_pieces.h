// The shapes the host breaks styled and wide lines into.
//
// A point of a piece remembers where on the original polyline it lies (segment
// i runs from point i to point i + 1, t the fraction along it), so that its
// colour can be taken from the original colours.
//
// Styles.  The line-style word is an on/off pattern of 32 pixels: bit k (from
// the least significant) says whether pixel k, 32 + k, 64 + k, ... along the
// line is drawn.  Pixels are counted along the polyline as a one-pixel line
// lights them: max(|dx|, |dy|) per segment, each vertex once, the last point
// included, from 0 at the first point of each call.  Every run of drawn pixels
// becomes a dash: a polyline from its first pixel through the vertices it
// passes to its last pixel (one pixel: the same point twice).  The k-th pixel
// of a segment is the point k/n of the way along it, rounded to nearest.  Only
// pixels within reach (the hard clip widened by a margin) are walked: the
// pattern moves on over the rest without visiting them, and a dash that leaves
// reach ends there, so a segment reaching far outside the window costs only
// what lies near it.
//
// Width.  A wide line of weight w covers, around the path through the points
// where the triangle rules sample its pixels, a band w pixels across, made of
// one quad per segment:
//   - ends: the band stops half a pixel beyond the end points, so it covers the
//     same pixels along the line as the one-pixel line does;
//   - joins: a mitre (the two quads meet on the line bisecting the corner) when
//     the mitre reaches at most twice half the width from the vertex, that is
//     when the turn is at most 120 degrees; a bevel otherwise (the quads end
//     square half a pixel past the vertex, as at the ends of the line, and a
//     triangle from the vertex fills the outer corner between them);
//   - a polyline whose points all coincide is a square w by w.
// Corners are rounded to integer points by the pre-clip rounding.  Mitred
// quads share their edges exactly, so under blending no pixel is drawn twice;
// at a bevel the inner corners of the two quads overlap.
#pragma once

#include <cstdint>
#include <vector>

#include "host/zt_basics.h"

namespace zd_host {

struct Line_Point {
  double x = 0, y = 0, z = 0;
  int32_t segment = 0;
  double t = 0;
};

// The polyline's points as line points.
std::vector<Line_Point> line_points(const ZT_DCI_Point* points, int32_t count);

// The dashes the style draws within reach (see above).
std::vector<std::vector<Line_Point>> dashes(const ZT_DCI_Point* points, int32_t count,
                                            uint32_t style, const ZT_Int_Rectangle& reach);

// A piece of a wide line: a triangle strip of 3 or 4 points, in the continuous
// coordinates of the triangle rules, where pixel (x, y) is sampled at
// (x + 0.5, y): a column is covered when its centre lies inside the span, and
// a row is the line at its integer y.
struct Wide_Piece {
  Line_Point p[4];
  int32_t count = 0;
};

// The quads, bevels or square of a wide line of the given weight through the
// pixel positions of the path.
std::vector<Wide_Piece> wide_pieces(const std::vector<Line_Point>& path, double weight);

}  // namespace zd_host
