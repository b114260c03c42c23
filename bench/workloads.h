// Deterministic benchmark workloads, shared by every renderer we measure.
//
// The frame buffer is 1024 x 768 with 32-bit colour and 16-bit depth. Geometry is given in device
// pixels with y = 0 the bottom row and depth 0..65535, so any renderer (ours, or a GL peer under
// an orthographic projection) draws the same pixels from the same data. Nothing here depends on a
// renderer.
//
// Every generator restarts the xorshift sequence at seed 12345, so a set is the same whatever was
// generated before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zdi::bench {

inline constexpr int kWidth = 1024;
inline constexpr int kHeight = 768;
inline constexpr uint32_t kSeed = 12345;

// Marsaglia's xorshift32 (13, 17, 5).
class Xorshift32 {
public:
  explicit Xorshift32(uint32_t seed = kSeed) : state_(seed) {}
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Plain modulo: the bias is well below anything a benchmark notices.
  uint32_t rnd(uint32_t n) { return next() % n; }

private:
  uint32_t state_;
};

// A generated 32-bit value c stands for R = c & 255, G = (c >> 8) & 255, B = (c >> 16) & 255,
// opaque. Colours are kept as the little-endian BGRA word 0xAARRGGBB, i.e. bytes B, G, R, A in
// memory, which is what a BGRA frame buffer holds.
constexpr uint32_t colour_word(uint32_t c) {
  return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
constexpr uint8_t red(uint32_t word) {
  return static_cast<uint8_t>(word >> 16);
}
constexpr uint8_t green(uint32_t word) {
  return static_cast<uint8_t>(word >> 8);
}
constexpr uint8_t blue(uint32_t word) {
  return static_cast<uint8_t>(word);
}

// One vertex, ready to be handed to a renderer as an interleaved array (16 bytes: position,
// then the colour word). x and y are multiples of 1/16 pixel and z an integer in 0..65535, all
// exact in float; sixteenths() recovers the exact fixed-point position.
struct Bench_Vertex {
  float x, y, z;
  uint32_t color;
};
static_assert(sizeof(Bench_Vertex) == 16);

constexpr int32_t sixteenths(float pixels) {
  return static_cast<int32_t>(pixels * 16.0f);
}

// Independent triangles are stored back to back, so a span of them is also a plain vertex array.
struct Bench_Triangle {
  Bench_Vertex v[3];
};
static_assert(sizeof(Bench_Triangle) == 3 * sizeof(Bench_Vertex));

inline std::span<const Bench_Vertex> as_vertices(std::span<const Bench_Triangle> tris) {
  return {tris.empty() ? nullptr : &tris.front().v[0], tris.size() * 3};
}

// Lines and points sit on pixel centres: the integer pixel (x, y) is drawn at (x + 0.5, y + 0.5).
// Both ends of a line share its colour.
struct Bench_Line {
  int32_t x0, y0, x1, y1;
  uint16_t z0, z1;
  uint32_t color;
};
struct Bench_Point {
  int32_t x, y;
  uint16_t z;
  uint32_t color;
};

// The window position (lower-left corner) of one image.
struct Bench_Image_Pos {
  int32_t x, y;
};

struct Bench_Texcoord {
  float s, t;
};

inline constexpr int kTextureSide = 256;

// n triangles with legs of Sx, Sy sixteenths of a pixel (see the set constants below). Each
// triangle has a right-angle-ish corner at a random point, one leg along x and one along y, both
// jittered and pointing towards the window centre, so every vertex stays inside the window.
// Depth is random per vertex, so triangles intersect and have steep depth slopes.
std::vector<Bench_Triangle> gen_tris(uint32_t n, uint32_t sx16, uint32_t sy16);

struct Triangle_Set_Shape {
  uint32_t count, sx16, sy16;
};
inline constexpr Triangle_Set_Shape kSmallSet{200'000, 72, 72};   // legs 4.5 px
inline constexpr Triangle_Set_Shape kMediumSet{50'000, 320, 320}; // legs 20 px
inline constexpr Triangle_Set_Shape kLargeSet{500, 8192, 6144};   // legs 512 x 384 px
inline std::vector<Bench_Triangle> gen_tris(const Triangle_Set_Shape& s) {
  return gen_tris(s.count, s.sx16, s.sy16);
}

// A triangle strip of ntri triangles (ntri + 2 vertices): a 4 px ribbon, 200 columns per row,
// rows alternating direction and ping-ponging between the bottom and top of the window.
std::vector<Bench_Vertex> gen_strip(uint32_t ntri = 200'000);

std::vector<Bench_Line> gen_lines(uint32_t n = 200'000);
std::vector<Bench_Point> gen_points(uint32_t n = 500'000);

// 256 x 256 opaque BGRA words, row by row; also the source of the images.
std::vector<uint32_t> gen_texture();
// Where each of `count` side x side images goes; the whole image stays inside the window.
std::vector<Bench_Image_Pos> gen_image_positions(int side, uint32_t count);

// GL-style vertex arrays for lines (2 vertices each) and points, at pixel centres.
std::vector<Bench_Vertex> line_vertices(std::span<const Bench_Line> lines);
std::vector<Bench_Vertex> point_vertices(std::span<const Bench_Point> points);
// Texture coordinates s = x / 256, t = y / 256: with a repeating nearest-texel texture each
// pixel shows texel (x mod 256, y mod 256).
std::vector<Bench_Texcoord> texcoords_for(std::span<const Bench_Vertex> vertices);

// Analytic areas in px^2 (exact up to double rounding): what a rasteriser covers on average.
double triangle_area(const Bench_Triangle& t);
double total_area(std::span<const Bench_Triangle> tris);
double strip_area(std::span<const Bench_Vertex> strip);
// Nominal pixels of a line: max(|dx|, |dy|), the half-open diamond-exit length.
uint32_t nominal_pixels(const Bench_Line& l);

// --- The workload catalogue -------------------------------------------------------------------

enum class Bench_Data { small, medium, large, strip, lines, points, image64, image256, none };

enum class Bench_Draw {
  batch,             // the whole set in one call
  call_per_triangle, // one call per triangle: per-call overhead
  flush_per_point,   // (one point, then wait for completion), repeated
  draw_pixels,       // one image copy per position
  clear,             // (clear colour and depth of the whole window, then wait), repeated
};

struct Workload_Def {
  std::string_view name;
  Bench_Data data;
  Bench_Draw draw;
  bool depth;     // depth test LEQUAL with depth writes; otherwise neither
  bool flat;      // flat shading shows the colour of a triangle's third vertex
  bool textured;  // nearest, repeat, replace
  uint32_t count; // primitives (or images, or repetitions) drawn in one timed run
};

std::span<const Workload_Def> workload_defs();
const Workload_Def* find_workload(std::string_view name);
// "a,b,,c" -> {"a", "b", "c"}: a workload list as given on a command line.
std::vector<std::string> split_names(std::string_view list);

// Generates each data set once, on first use.
class Workload_Data {
public:
  std::span<const Bench_Triangle> small();
  std::span<const Bench_Triangle> medium();
  std::span<const Bench_Triangle> large();
  std::span<const Bench_Triangle> tris(Bench_Data set);
  std::span<const Bench_Vertex> strip();
  std::span<const Bench_Line> lines();
  std::span<const Bench_Point> points();
  std::span<const uint32_t> texture();
  std::span<const Bench_Image_Pos> image_positions(Bench_Data set);

private:
  std::vector<Bench_Triangle> small_, medium_, large_;
  std::vector<Bench_Vertex> strip_;
  std::vector<Bench_Line> lines_;
  std::vector<Bench_Point> points_;
  std::vector<uint32_t> texture_;
  std::vector<Bench_Image_Pos> image64_, image256_;
};

int image_side(Bench_Data set); // 64 or 256

} // namespace zdi::bench
