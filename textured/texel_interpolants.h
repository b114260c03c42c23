// What the textured edge walker carries besides x and depth: the triangle
// walker (triangles/triangle_scan.h) with these as its Extra interpolants.
//
//   U, V      texel coordinates, 16.16: start (U << 16) + 0x8000, step
//             ((U_end - U_start) << 16) / rows, like x
//   colours   Colours channel values, 8.8: the 16.16 walk of the value shifted
//             down by 8, start (c << 8) + 0x80, step
//             (((c_end - c_start) << 16) / rows) >> 8 (arithmetic shift), so a
//             channel never gathers the step's dropped bits
//   offsets   (lit strips) three light offsets, single precision, taken at a
//             row as start + rows walked × step, so that skipping rows and
//             stepping row by row give the same value
//
// A colour value c is a colour byte (E, F), a colour byte times the colour
// cube's scale for its channel (D), or a lighting factor (the lit rasteriser).
// Divisions by the row count are pixel::Step_Divider's (shifts for 1, 2, 4
// and 8, and the same quotients as the plain division for the others).
#pragma once

#include <array>
#include <cstdint>

#include "pixel/fixed_point.h"

namespace textured {

// The 8.8 start of a colour value: ((c << 16) + 0x8000) >> 8.
constexpr int32_t start_8_8(int32_t c) { return int32_t(uint32_t(c) << 8) + 0x80; }

struct No_Offsets {
  struct Vertex {};
  struct Edge {
    static Edge between(const Vertex&, const Vertex&, int32_t) { return {}; }
    void step() {}
    void advance(int32_t) {}
  };
};

// Three light offsets along an edge, linear in the rows walked.
struct Light_Offsets {
  struct Vertex {
    std::array<float, 3> offset{};
  };
  struct Edge {
    std::array<float, 3> start{}, step_per_row{};
    int32_t row = 0;
    static Edge between(const Vertex& a, const Vertex& b, int32_t rows) {
      Edge e;
      for (int k = 0; k < 3; ++k) {
        e.start[k] = a.offset[k];
        e.step_per_row[k] = (b.offset[k] - a.offset[k]) / float(rows);
      }
      return e;
    }
    void step() { ++row; }
    void advance(int32_t rows) { row += rows; }
    float at(int k) const { return start[k] + float(row) * step_per_row[k]; }
  };
};

template <int Colours, class Offsets = No_Offsets>
struct Texel_Interpolants {
  struct Vertex {
    int32_t u = 0, v = 0;  // texel coordinates (texel_coordinate)
    std::array<int32_t, Colours> colour{};
    [[no_unique_address]] typename Offsets::Vertex offsets{};
  };

  struct Edge {
    uint32_t u = 0, v = 0;  // 16.16
    int32_t u_step = 0, v_step = 0;
    std::array<uint32_t, Colours> colour{};  // 8.8
    std::array<int32_t, Colours> colour_step{};
    [[no_unique_address]] typename Offsets::Edge offsets{};

    static Edge between(const Vertex& a, const Vertex& b, int32_t rows) {
      Edge e;
      const pixel::Step_Divider per_row(rows);
      e.u = uint32_t(pixel::start_16(a.u));
      e.v = uint32_t(pixel::start_16(a.v));
      e.u_step = per_row.step_16(b.u - a.u);
      e.v_step = per_row.step_16(b.v - a.v);
      for (int c = 0; c < Colours; ++c) {
        e.colour[c] = uint32_t(start_8_8(a.colour[c]));
        e.colour_step[c] = per_row.step_16(int32_t(uint32_t(b.colour[c]) - uint32_t(a.colour[c]))) >> 8;
      }
      e.offsets = Offsets::Edge::between(a.offsets, b.offsets, rows);
      return e;
    }
    void step() {
      u += uint32_t(u_step);
      v += uint32_t(v_step);
      for (int c = 0; c < Colours; ++c) colour[c] += uint32_t(colour_step[c]);
      offsets.step();
    }
    void advance(int32_t rows) {
      const uint32_t n = uint32_t(rows);
      u += n * uint32_t(u_step);
      v += n * uint32_t(v_step);
      for (int c = 0; c < Colours; ++c) colour[c] += n * uint32_t(colour_step[c]);
      offsets.advance(rows);
    }
  };
};

}  // namespace textured
