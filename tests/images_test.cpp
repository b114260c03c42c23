// Images: the row geometry and its right-edge cut, the depth accumulator across
// rows, the pixel rules, the gates between configurations, the masked twins, the
// host's conversions between image kinds, and cropping of hostile rectangles.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

#include "tests/support/random_strips.h"
#include "host/standard_image_decompositions.h"
#include "tests/support/test_host.h"

namespace {

// An image with rows 3 bytes longer than its pixels, so source rows are unaligned.
struct Image {
  int32_t width, height, pixel_bytes;
  std::vector<uint8_t> bytes;
  int32_t row_bytes() const { return width * pixel_bytes + 3; }
  uint32_t at(int32_t x, int32_t y) const {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + y * row_bytes() + x * pixel_bytes, std::size_t(pixel_bytes));
    return v;
  }
};

// Random pixels of the configuration's kind (indices in C and D); a third of
// the true-colour ones fully transparent, a third opaque.
Image random_image(std::mt19937& rng, int32_t w, int32_t h, char config) {
  Image im{w, h, config == 'C' || config == 'D' ? 1 : 4, {}};
  im.bytes.resize(std::size_t(im.row_bytes() * h));
  for (auto& b : im.bytes) b = uint8_t(rng());
  if (im.pixel_bytes == 4)
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        if (uint32_t k = rng() % 3; k < 2)
          im.bytes[std::size_t(y * im.row_bytes() + 4 * x + 3)] = k ? 255 : 0;
  return im;
}

// Draws the image with its upper-left pixel at (x0, y_top), depth z0 there and
// z1 at the right end of the first row.
void draw(Test_Host& host, const Image& im, int32_t x0, int32_t y_top, int32_t z0 = 0,
          int32_t z1 = 0) {
  ZT_DCI_Point start{x0, y_top, z0}, end{x0 + im.width - 1, y_top - im.height + 1, z1};
  if (im.pixel_bytes == 4)
    host.actions().call<ZT_Slot::draw_dci_rgb32_image>(
        host.rendition, &start, &end, im.row_bytes(),
        reinterpret_cast<const ZT_RGB32*>(im.bytes.data()), 0, nullptr);
  else
    host.actions().call<ZT_Slot::draw_dci_index8_image>(host.rendition, &start, &end,
                                                        im.row_bytes(), im.bytes.data());
  EXPECT_TRUE(host.fences_intact());
}

// Random colours and depths in both buffers, the same for the same seed.
void scramble(Test_Host& host, uint32_t seed) {
  std::mt19937 rng(seed);
  fill_random(host, rng);
}

TEST(Images, RowsAreCutAtTheRightEdgeAndDepthRunsOnFromTheCut) {
  for (char config : std::string("BCF")) {
    Test_Host host(config, 16, 8);
    std::mt19937 rng(1);
    Image im = random_image(rng, 6, 3, config);
    host.fill_color(0x11);
    const auto untouched = host.color_snapshot();
    draw(host, im, 16, 7);  // starts beyond the edge: nothing
    EXPECT_EQ(host.color_snapshot(), untouched);
    draw(host, im, 13, 7, 0, 5);  // three of six columns visible
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        const bool inside = x >= 13 && y >= 5;
        EXPECT_EQ(host.color(x, y), inside ? im.at(x - 13, 7 - y) : 0x11u) << x << "," << y;
        // One depth unit per pixel; each row goes on after the last drawn pixel.
        if (config == 'F' && inside) {
          EXPECT_EQ(host.depth(x, y), (7 - y) * 3 + x - 13);
        }
      }
  }
}

TEST(Images, DepthIsSetOncePerImageAndGrowsDownTheRows) {
  Test_Host host('F', 16, 8);
  std::mt19937 rng(2);
  Image im = random_image(rng, 4, 3, 'F');
  auto depths = [&](int32_t z0, int32_t z1, int32_t width) {
    Image part = im;
    part.width = width;
    host.fill_depth(0xFFFF);
    draw(host, part, 0, 7, z0, z1);
    std::vector<int32_t> out;
    for (int32_t y = 7; y > 4; --y)
      for (int32_t x = 0; x < width; ++x) out.push_back(host.depth(x, y));
    return out;
  };
  EXPECT_EQ(depths(500, 500, 4), std::vector<int32_t>(12, 500));
  EXPECT_EQ(depths(100, 103, 4),
            (std::vector<int32_t>{100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111}));
  EXPECT_EQ(depths(100, 60000, 1), std::vector<int32_t>(3, 100));  // x1 = x0: no step
  // Fixed rule, whatever "ZBuffer Test" says: z <= stored passes, equal included.
  host.r().depth_test_mode = 1;
  host.fill_color(0);
  host.fill_depth(105);
  draw(host, im, 0, 7, 100, 103);
  for (int32_t k = 0; k < 12; ++k)
    EXPECT_EQ(host.color(k % 4, 7 - k / 4), k <= 5 ? im.at(k % 4, k / 4) : 0u) << k;
}

TEST(Images, FullyTransparentPixelInEAndInF) {
  // E writes neither colour nor depth for alpha 0; F stores the word as it is.
  struct Case {
    char config;
    uint32_t transparent;
    uint16_t transparent_depth;
    uint32_t half;
  } cases[] = {{'E', 0xFF000000, 1000, 0xFF808080}, {'F', 0x00FFFFFF, 7, 0x80FFFFFF}};
  for (const Case& c : cases) {
    Test_Host host(c.config, 8, 8);
    host.fill_color(0xFF000000);
    host.fill_depth(1000);
    Image im{2, 1, 4, std::vector<uint8_t>(11, 0)};
    const uint32_t pixels[2] = {0x00FFFFFF, 0x80FFFFFF};  // alpha 0; alpha 128 of white
    std::memcpy(im.bytes.data(), pixels, 8);
    draw(host, im, 0, 0, 7, 7);
    EXPECT_EQ(host.color(0, 0), c.transparent);
    EXPECT_EQ(host.depth(0, 0), c.transparent_depth);
    EXPECT_EQ(host.color(1, 0), c.half);  // E: 255 × 128 / 255 over black
    EXPECT_EQ(host.depth(1, 0), 7);
  }
}

// Each gate hands the draw on to another configuration's routine: the result
// equals that configuration's draw, and a routine without depth leaves the
// depth buffer alone.
TEST(Images, GatesDrawExactlyAsTheRoutineTheyHandOnTo) {
  struct Case {
    char config;
    uint32_t options;
    bool depth_test;
    char equals;  // the configuration drawn the same, with its options
    uint32_t equals_options;
  } cases[] = {
      {'F', 0, false, 'B', 0},
      {'F', ZT_Advanced_Transparency, true, 'E', 0},
      {'F', ZT_Advanced_Transparency | ZT_Advanced_Image_Opaque, true, 'E',
       ZT_Advanced_Image_Opaque},
      {'F', ZT_Advanced_Transparency, false, 'A', 0},
      {'B', ZT_Advanced_Transparency, true, 'A', 0},
      {'E', 0, false, 'A', 0},
      {'E', ZT_Advanced_Image_Opaque, true, 'F', 0},
      {'A', ZT_Advanced_Image_Opaque, true, 'B', 0},
      {'D', 0, false, 'C', 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.config) + " as " + c.equals);
    Test_Host host(c.config, 24, 16), twin(c.equals, 24, 16);
    scramble(host, 5);
    scramble(twin, 5);
    host.rendition.modify()->advanced_options = c.options;
    host.rendition.modify()->depth_test_active = c.depth_test;
    twin.rendition.modify()->advanced_options = c.equals_options;
    std::mt19937 rng(6);
    Image im = random_image(rng, 20, 12, c.config);
    const auto depth_before = host.depth_snapshot();
    draw(host, im, 2, 14, 30000, 40000);
    draw(twin, im, 2, 14, 30000, 40000);
    EXPECT_EQ(host.color_snapshot(), twin.color_snapshot());
    EXPECT_EQ(host.depth_snapshot(),
              twin.r().depth_buffer.empty() ? depth_before : twin.depth_snapshot());
  }
}

// A masked draw equals the unmasked draw where the mask bit is clear and leaves
// the buffers alone where it is set; depths under clear bits show the
// accumulator ran on over the set ones.  The masked twins of A and E blend even
// under the image-opaque bit, and E looks at the mask before the depth-test flag.
TEST(Images, MaskedTwinsSkipSetBitsAndKeepTheDepthRunning) {
  // A diamond with a square hole, even-odd.
  const ZT_Contour_Set diamond({{{12, -4, 0}, {28, 8, 0}, {12, 20, 0}, {-4, 8, 0}},
                                {{9, 5, 0}, {15, 5, 0}, {15, 11, 0}, {9, 11, 0}}});
  for (char config : every_configuration)
    for (bool depth_test : {true, false})
      for (uint32_t options : {0u, uint32_t(ZT_Advanced_Image_Opaque)}) {
        SCOPED_TRACE(std::string(1, config) + " options " + std::to_string(options) + " depth " +
                     std::to_string(depth_test));
        Test_Host masked(config, 24, 16), plain(config, 24, 16);
        masked.use_mask(diamond);
        masked.rendition.modify()->advanced_options = options;
        masked.rendition.modify()->depth_test_active = depth_test;
        const bool blends = config == 'A' || config == 'E';
        plain.rendition.modify()->advanced_options = blends ? 0 : options;
        plain.rendition.modify()->depth_test_active = depth_test || config == 'E';
        scramble(masked, 7);
        scramble(plain, 7);
        const Buffers before = masked.snapshot();
        std::mt19937 rng(8);
        Image im = random_image(rng, 22, 15, config);
        draw(masked, im, 1, 15, 0, 2100);
        draw(plain, im, 1, 15, 0, 2100);
        ASSERT_TRUE(masked_like_direct(masked, before, plain));
        if (blends && options) {
          // Unmasked, the bit copies instead: the twin really did ignore it.
          const auto blended = plain.color_snapshot();
          plain.rendition.modify()->advanced_options = options;
          scramble(plain, 7);
          draw(plain, im, 1, 15, 0, 2100);
          EXPECT_NE(plain.color_snapshot(), blended);
        }
      }
}

// The other image kind goes to the host's standard routine (one logged call),
// which converts it and draws it through the renderer's own action.
TEST(Images, HostConvertsTheOtherKindAndDrawsItThroughTheRenderer) {
  Test_Host mapped('D', 8, 4);
  const ZT_Palette* palette = mapped.renderer->renderer_options()->palette();
  // Nearest cube level per component, checked against every level.
  for (int32_t v = 0; v < 256; ++v) {
    const int32_t got = palette->color(ZD_Index_Of_Color(palette, {uint8_t(v), 0, 0})).r;
    for (int32_t level = 0; level < 6; ++level)
      EXPECT_LE(std::abs(got - v), std::abs(level * 51 - v));
  }
  std::mt19937 rng(9);
  const Image colours = random_image(rng, 8, 2, 'F');
  ZD_Fallback_Log::clear();
  draw(mapped, colours, 4, 3, 10, 17);  // runs out on the right
  ASSERT_EQ(ZD_Fallback_Log::calls().size(), 1u);
  EXPECT_EQ(ZD_Fallback_Log::calls()[0].function, "ZD_Standard_Draw_DCI_RGB32_Image");
  for (int32_t x = 4; x < 8; ++x)
    for (int32_t y = 2; y < 4; ++y) {
      EXPECT_EQ(mapped.color(x, y),
                ZD_Index_Of_Color(palette, ZT_RGB32::from_word(colours.at(x - 4, 3 - y))));
      EXPECT_EQ(mapped.depth(x, y), 10 + x - 4 + (3 - y) * 4);  // the whole image's steps
    }

  // A whole window of random colours in C: every pixel the index its colour has
  // on its own (the host converts through tables made once per call).
  Test_Host c_window('C', 64, 32);
  const Image many = random_image(rng, 64, 32, 'F');
  draw(c_window, many, 0, 31);
  const ZT_Palette* c_palette = c_window.renderer->renderer_options()->palette();
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x)
      ASSERT_EQ(c_window.color(x, y),
                ZD_Index_Of_Color(c_palette, ZT_RGB32::from_word(many.at(x, 31 - y))))
          << x << "," << y;

  Test_Host true_colour('A', 8, 4);
  Image indices{8, 4, 1, std::vector<uint8_t>(std::size_t(4 * 11), 77)};
  ZD_Fallback_Log::clear();
  draw(true_colour, indices, 0, 3);
  EXPECT_EQ(ZD_Fallback_Log::calls().size(), 1u);
  EXPECT_EQ(true_colour.color(5, 1), 0xFF4D4D4Du);  // grey 77 without a palette, opaque
  // Without a palette, true colour goes to the nearest grey; a palette without a
  // cube gives its closest match.
  EXPECT_EQ(ZD_Index_Of_Color(nullptr, {10, 20, 31}), 20);
  ZT_Counted_Ptr<ZT_Palette> plain_palette(new ZT_Palette());
  EXPECT_EQ(ZD_Index_Of_Color(plain_palette.get(), {10, 20, 31}), 20);
}

// The host converts whole rows: while the window has shrunk since the last
// establish, the renderer still reads its rows as far as its own window reaches.
TEST(Images, HostConversionCoversTheRowsTheRendererReads) {
  Test_Host host('A', 16, 4);
  Image indices{10, 2, 1, std::vector<uint8_t>(std::size_t(2 * 13), 0)};
  for (int32_t x = 0; x < 10; ++x) indices.bytes[std::size_t(x)] = uint8_t(20 + x);
  host.renderer->renderer_options()->set_window_size({4, 4});  // no establish yet
  draw(host, indices, 0, 3);
  for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(host.color(x, 3), ZT_RGB32(20 + x, 20 + x, 20 + x).word()) << x;
}

// An image reaching outside the window on the left, top or bottom draws what a
// window large enough to hold it draws there; corners anywhere write nothing
// outside the buffers.
TEST(Images, CroppedLikeALargerWindowAndSafeForAnyCorners) {
  for (char config : std::string("BDEF")) {
    SCOPED_TRACE(config);
    Test_Host small(config, 16, 12), large(config, 48, 48, {-16, -16});
    std::mt19937 rng(10);
    Image im = random_image(rng, 20, 20, config);
    draw(small, im, -5, 14, 100, 20000);
    draw(large, im, -5, 14, 100, 20000);
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        ASSERT_EQ(small.color(x, y), large.color(x + 16, y + 16)) << x << "," << y;
        if (config >= 'D') {
          ASSERT_EQ(small.depth(x, y), large.depth(x + 16, y + 16));
        }
      }

    const int32_t far = INT_MAX, near = INT_MIN;
    const ZT_DCI_Point corners[][2] = {
        {{far, 5, 0}, {far, 0, 0}},     {{near, 5, 0}, {near + 3, 0, 9}},
        {{0, far, 0}, {5, far - 2, 0}}, {{0, near + 2, 0}, {5, near, 0}},
        {{5, 0, 0}, {0, 5, 0}},         {{near, far, near}, {near + 1, far, far}},
        {{0, 3, 0}, {far, 0, far}},
    };
    const auto before = small.color_snapshot();
    for (const auto& c : corners) {
      std::vector<uint8_t> source(4 * 20 * 20, 0x5A);
      if (config == 'D')
        small.actions().call<ZT_Slot::draw_dci_index8_image>(small.rendition, &c[0], &c[1], 20,
                                                             source.data());
      small.actions().call<ZT_Slot::draw_dci_rgb32_image>(
          small.rendition, &c[0], &c[1], 80, reinterpret_cast<const ZT_RGB32*>(source.data()), 0,
          nullptr);
      EXPECT_TRUE(small.fences_intact());
    }
    // Only the last lands, cut at the right edge: the four bottom rows.
    const auto after = small.color_snapshot();
    for (std::size_t i = 4 * 16; i < before.size(); ++i) ASSERT_EQ(after[i], before[i]) << i;
  }
}

}  // namespace
