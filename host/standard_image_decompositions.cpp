#include "host/standard_image_decompositions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "host/zt_renderer_data.h"

uint8_t ZD_Index_Of_Color(const ZT_Palette* palette, ZT_RGB32 c) {
  if (!palette) return uint8_t((c.r + c.g + c.b + 1) / 3);
  const ZT_Color_Cube* cube = palette->color_cube();
  if (!cube) return uint8_t(palette->closest_match(c, false));
  // Nearest of the levels 0..L-1, level l standing for l × 255 / (L - 1):
  // round(v × (L - 1) / 255).  No component value lies half-way between two
  // levels (2v(L - 1) is even, 255 × odd is odd), so rounding needs no tie rule.
  const ZT_Int_RGB levels = cube->levels();
  auto nearest = [](int32_t v, int32_t l) { return (2 * v * (l - 1) + 255) / 510; };
  return cube->index_of(nearest(c.r, levels.r), nearest(c.g, levels.g), nearest(c.b, levels.b));
}

ZT_RGB32 ZD_Color_Of_Index(const ZT_Palette* palette, uint8_t index) {
  ZT_RGB32 c = palette ? palette->color(index) : ZT_RGB32(index, index, index);
  c.a = 255;
  return c;
}

namespace {

// The part of an image the host converts: rows from the top row down to the
// window's bottom edge, each from x0 to x1.
struct Convertible_Part {
  int32_t rows = 0, columns = 0;
  ZT_DCI_Point end;  // the image's lower-right corner with the bottom row cut
};

Convertible_Part convertible_part(ZT_Renderer_Data* renderer, const ZT_DCI_Point& start,
                                  const ZT_DCI_Point& end) {
  const ZT_Renderer_Options& o = *renderer->renderer_options();
  const ZT_Int_Point origin = o.local_coordinates() ? ZT_Int_Point{0, 0} : o.window_origin();
  const ZT_Int_Point size = o.window_size();
  const int64_t left = origin.x, right = int64_t(origin.x) + size.x - 1;
  const int64_t bottom = origin.y, top = int64_t(origin.y) + size.y - 1;
  Convertible_Part part;
  if (start.x < left || start.x > right || start.y < bottom || start.y > top) return part;
  const int64_t last_row = std::max<int64_t>(end.y, bottom);
  const int64_t rows = std::max<int64_t>(0, start.y - last_row + 1);
  const int64_t columns = std::max<int64_t>(0, int64_t(end.x) - start.x + 1);
  if (rows * columns * 4 > ZT_Largest_Image_Bytes) return part;
  part.rows = int32_t(rows);
  part.columns = int32_t(columns);
  part.end = {end.x, int32_t(last_row), end.z};
  return part;
}

// What a pixel becomes, worked out once per call for every value it can take
// where that is cheaper than working it out per pixel.

// True colour to index: with a colour cube, each component's share of the
// index for its 256 values (the cube's index is base + red part + green part +
// blue part, taken modulo 256 as the index byte is), so a pixel costs three
// loads and two additions; a palette without a cube asks its closest match.
class Index_Of_Color_Table {
public:
  explicit Index_Of_Color_Table(const ZT_Palette* palette)
      : palette_(palette), cube_(palette ? palette->color_cube() : nullptr) {
    if (!cube_) return;
    const uint8_t black = cube_->index_of(0, 0, 0);
    for (int32_t v = 0; v < 256; ++v) {
      const ZT_RGB32 red(uint8_t(v), 0, 0, 255), green(0, uint8_t(v), 0, 255), blue(0, 0, uint8_t(v), 255);
      red_[std::size_t(v)] = uint8_t(ZD_Index_Of_Color(palette_, red) - black);
      green_[std::size_t(v)] = uint8_t(ZD_Index_Of_Color(palette_, green) - black);
      blue_[std::size_t(v)] = uint8_t(ZD_Index_Of_Color(palette_, blue) - black);
    }
    black_ = black;
  }
  uint8_t operator()(ZT_RGB32 c) const {
    if (!cube_) return ZD_Index_Of_Color(palette_, c);
    return uint8_t(black_ + red_[c.r] + green_[c.g] + blue_[c.b]);
  }

private:
  const ZT_Palette* palette_;
  const ZT_Color_Cube* cube_;
  uint8_t black_ = 0;
  std::array<uint8_t, 256> red_{}, green_{}, blue_{};
};

// Index to true colour: the palette's 256 colours, opaque.
class Color_Of_Index_Table {
public:
  explicit Color_Of_Index_Table(const ZT_Palette* palette) {
    for (int32_t i = 0; i < 256; ++i) colors_[std::size_t(i)] = ZD_Color_Of_Index(palette, uint8_t(i));
  }
  ZT_RGB32 operator()(uint8_t index) const { return colors_[index]; }

private:
  std::array<ZT_RGB32, 256> colors_{};
};

// Converts the part row by row (source rows row_bytes apart, loaded byte-wise:
// they carry no alignment promise) into tight rows and draws them through the
// renderer's action in slot Target, which takes the converted kind.
template <ZT_Slot Target, class Table, typename From, typename... Extra>
void convert_and_redraw(ZT_Renderer_Data* renderer, const ZT_Rendition& rendition,
                        const ZT_DCI_Point* start, const ZT_DCI_Point* end, int32_t row_bytes,
                        const From* pixels, Extra... extra) {
  if (!start || !end || !pixels || renderer->actions.holds_standard(Target)) return;
  const Convertible_Part part = convertible_part(renderer, *start, *end);
  if (part.rows < 1 || part.columns < 1) return;
  const Table to(renderer->renderer_options()->palette());
  using To = decltype(to(From{}));
  std::vector<To> out(std::size_t(part.rows) * std::size_t(part.columns));
  const auto* row = reinterpret_cast<const uint8_t*>(pixels);
  To* next = out.data();
  for (int32_t y = 0; y < part.rows; ++y, row += row_bytes)
    for (int32_t x = 0; x < part.columns; ++x) {
      From v;
      std::memcpy(&v, row + std::size_t(x) * sizeof(From), sizeof(From));
      *next++ = to(v);
    }
  renderer->actions.call<Target>(rendition, start, &part.end,
                                 int32_t(std::size_t(part.columns) * sizeof(To)), out.data(),
                                 extra...);
}

}  // namespace

void ZD_Decomposition<ZT_Slot::draw_dci_rgb32_image>::run(
    ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, const ZT_DCI_Point* start,
    const ZT_DCI_Point* end, int32_t row_bytes, const ZT_RGB32* pixels, int32_t,
    const ZT_Packing*) {
  convert_and_redraw<ZT_Slot::draw_dci_index8_image, Index_Of_Color_Table>(
      renderer, rendition, start, end, row_bytes, pixels);
}

void ZD_Decomposition<ZT_Slot::draw_dci_index8_image>::run(
    ZT_Renderer_Data* renderer, const ZT_Rendition& rendition, const ZT_DCI_Point* start,
    const ZT_DCI_Point* end, int32_t row_bytes, const uint8_t* pixels) {
  const ZT_Packing packing;
  convert_and_redraw<ZT_Slot::draw_dci_rgb32_image, Color_Of_Index_Table>(
      renderer, rendition, start, end, row_bytes, pixels, int32_t(0), &packing);
}
