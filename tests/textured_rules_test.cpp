// The rules of the textured strips worth a statement of their own beside the
// slow reference: the worked pixel examples, the fixed depth rule, the
// no-repeat test, and where each action hands a call on (to the host with its
// arguments unchanged, to E, to the strip's edges).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "tests/support/textured_calls.h"
#include "textured/texel_fetch.h"
#include "textured/textured_dispatch.h"

namespace {

using S = ZT_Slot;
constexpr int32_t W = 16, H = 12;

// A quad over the window's middle at depth z, every point on the texture
// coordinates (u, v), every vertex colour c.
Textured_Points quad(float u, float v, int32_t z = 1000, ZT_RGB32 c = {255, 255, 255, 255}) {
  Textured_Points q{Point_List({{2, 2, z}, {14, 2, z}, {2, 10, z}, {14, 10, z}}, {c, c, c, c})};
  q.parameters.assign(4, ZT_Parameter{u, v, 0});
  return q;
}
// A host in a textured variant ('O' D opaque, 'A' D alpha, 'E', 'F') whose
// face has a texture of the given texels (top row first).
struct Textured_Host : Test_Host {
  Textured_Host(char variant, int32_t tw, int32_t th, const std::vector<uint32_t>& texels,
                int32_t u_wrap = ZT_Wrap_Repeat, bool modulate = false) {
    establish_variant(*this, variant, W, H);
    use_texture(*this, make_texture(tw, th, texels, u_wrap, ZT_Wrap_Repeat, modulate));
  }
};

TEST(TexturedPixels, WorkedExamples) {
  // F modulated by white: 255 × ((255 << 8) + 0x80) >> 16 = 254, alpha 255;
  // unmodulated the texel word is stored, its alpha byte included.
  for (bool modulate : {true, false}) {
    Textured_Host f('F', 1, 1, {0x40FFFFFFu}, ZT_Wrap_Repeat, modulate);
    draw_textured(f, S::draw_dci_textured_polytriangle, quad(0.5f, 0.5f));
    EXPECT_EQ(f.color(5, 5), modulate ? 0xFFFEFEFEu : 0x40FFFFFFu);
  }
  // E: texel alpha 128 over a stored 0 gives (255 × 128) / 255 = 128.
  Textured_Host e('E', 1, 1, {0x80FFFFFFu});
  draw_textured(e, S::draw_dci_textured_polytriangle, quad(0.5f, 0.5f));
  EXPECT_EQ(e.color(5, 5), 0xFF808080u);
  // Texel coordinates truncate toward zero: on a 64-wide image u = 0.999 is
  // column 63, -0.01 column 0, -0.02 column -1.
  EXPECT_EQ(textured::texel_coordinate(0.999f, 64), 63);
  EXPECT_EQ(textured::texel_coordinate(-0.01f, 64), 0);
  EXPECT_EQ(textured::texel_coordinate(-0.02f, 64), -1);
  // Vi = 0 reads the image's bottom row, the last in memory; Vi = H - 1 the first.
  const std::vector<uint32_t> rows = {0xFF0000A0u, 0xFF0000A1u, 0xFF0000A2u, 0xFF0000A3u};
  for (auto [v, texel] : {std::pair{0.1f, 0xFF0000A3u}, std::pair{0.9f, 0xFF0000A0u}}) {
    Textured_Host h('F', 1, 4, rows);
    draw_textured(h, S::draw_dci_textured_polytriangle, quad(0.5f, v));
    EXPECT_EQ(h.color(5, 5), texel) << v;
  }
}

// The channel divide rounds its own way: spans of 2, 4 and 8 pixels shift
// (toward minus infinity), the others divide (toward zero), 0 and 1 keep the
// difference.
TEST(TexturedPixels, ChannelDivideRounding) {
  for (int32_t n = 0; n <= 20; ++n)
    for (int32_t d = -1000; d <= 1000; ++d) {
      int32_t expected = d;
      if (n == 2 || n == 4 || n == 8) expected = int32_t(std::floor(double(d) / n));
      else if (n > 1) expected = int32_t(std::trunc(double(d) / n));
      ASSERT_EQ(textured::channel_divide(d, n), expected) << d << " / " << n;
    }
  EXPECT_EQ(textured::channel_divide(-1, 2), -1);
  EXPECT_EQ(textured::channel_divide(-1, 3), 0);
}

// Columns -1 and W repeat as W - 1 and 0; without repeat they leave pixel and
// depth as they were.  A pattern hole with the background flag still takes the
// contrast colour and its depth there.
TEST(TexturedPixels, NoRepeatLeavesPixelAndDepth) {
  std::vector<uint32_t> columns(64);
  for (uint32_t c = 0; c < 64; ++c) columns[c] = 0xFF000000u | c;
  for (auto [u, column] : {std::pair{-0.02f, 63u}, std::pair{1.0f, 0u}, std::pair{0.999f, 63u}}) {
    for (int32_t wrap : {ZT_Wrap_Repeat, ZT_Wrap_None}) {
      Textured_Host h('F', 64, 1, columns, wrap);
      h.fill_color(7);
      draw_textured(h, S::draw_dci_textured_polytriangle, quad(u, 0.5f));
      const bool drawn = wrap == ZT_Wrap_Repeat || u == 0.999f;
      EXPECT_EQ(h.color(5, 5), drawn ? 0xFF000000u | column : 7u) << u << " wrap " << wrap;
      EXPECT_EQ(h.depth(5, 5), drawn ? 1000 : 0xFFFF) << u << " wrap " << wrap;
    }
  }
  Textured_Host h('F', 64, 1, columns, ZT_Wrap_None);
  ZT_Face_Attributes* f = h.rendition.modify_face();
  f->pattern_index = 0;  // every pixel a hole
  f->pattern_flags = ZT_Pattern_Background;
  h.rendition.modify()->contrast_color = ZT_RGB32(1, 2, 3, 255);
  draw_textured(h, S::draw_dci_textured_polytriangle, quad(-0.5f, 0.5f));
  EXPECT_EQ(h.color(5, 5), 0xFF010203u);
  EXPECT_EQ(h.depth(5, 5), 1000);
}

// The depth test is z <= stored and a drawn pixel stores its depth, whatever
// "ZBuffer Test" and "ZBuffer Write" say; a texel of alpha 0 still stores its
// depth in E and D opaque, and changes nothing in D alpha.
TEST(TexturedPixels, FixedDepthRuleAndClearTexels) {
  for (char variant : std::string("OAEF")) {
    for (int32_t mode : {1, 2, 5}) {
      Textured_Host h(variant, 1, 1, {0xFF102030u});
      h.r().depth_test_mode = mode;
      h.r().depth_write = 0;
      h.fill_depth(1000);
      draw_textured(h, S::draw_dci_textured_polytriangle, quad(0.5f, 0.5f, 1000));  // equal
      EXPECT_NE(h.color(5, 5), 0u) << variant << mode;
      draw_textured(h, S::draw_dci_textured_polytriangle, quad(0.5f, 0.5f, 999));
      EXPECT_EQ(h.depth(5, 5), 999) << variant << mode;
      h.fill_color(0);
      draw_textured(h, S::draw_dci_textured_polytriangle, quad(0.5f, 0.5f, 1001));  // farther
      EXPECT_EQ(h.color(5, 5), 0u) << variant << mode;
    }
    Textured_Host clear(variant, 1, 1, {0x00102030u});
    draw_textured(clear, S::draw_dci_textured_polytriangle, quad(0.5f, 0.5f, 500));
    EXPECT_EQ(clear.depth(5, 5), variant == 'A' ? 0xFFFF : 500) << variant;
    EXPECT_EQ(clear.color(5, 5) != 0, variant == 'O' || variant == 'F') << variant;
  }
}

// ---------------------------------------------------------------------------
// Where the actions hand a call on.

std::string fallback_name(S s) {
  switch (s) {
  case S::draw_2d_textured_polytriangle: return "ZD_Standard_Draw_2D_Textured_Polytriangle";
  case S::draw_dc_textured_polytriangle: return "ZD_Standard_Draw_DC_Textured_Polytriangle";
  case S::draw_2di_textured_polytriangle: return "ZD_Standard_Draw_2DI_Textured_Polytriangle";
  default: return "ZD_Standard_Draw_DCI_Textured_Polytriangle";
  }
}
uint64_t address(const void* p) { return uint64_t(reinterpret_cast<uintptr_t>(p)); }
bool clipped_space(S s) {
  return s == S::draw_dc_textured_polytriangle || s == S::draw_dci_textured_polytriangle;
}

TEST(TexturedGates, WhatTheRendererDoesNotDrawReachesTheHostUnchanged) {
  struct Row {
    std::string what;
    std::function<void(Test_Host&)> setup;
  };
  auto texture = [](Test_Host& h) -> ZT_Texture& {
    return *h.rendition.modify_face()->material.make_unshared()->surface_texture.make_unshared();
  };
  const std::vector<Row> rows = {
      {"pattern 75", [](Test_Host& h) { h.rendition.modify_face()->pattern_index = 75; }},
      {"depth test off", [](Test_Host& h) { h.rendition.modify()->depth_test_active = 0; }},
      {"perspective", [](Test_Host& h) { h.rendition.modify()->perspective = 3; }},
      {"u wrap 1", [&](Test_Host& h) { texture(h).u_wrap = ZT_Wrap_Clamp; }},
      {"v wrap 3", [&](Test_Host& h) { texture(h).v_wrap = ZT_Wrap_Mirror; }},
      {"fallback flag", [&](Test_Host& h) { texture(h).fallback = 1; }},
      {"no texture", [](Test_Host& h) { h.rendition.modify_face()->material = nullptr; }},
      {"lit, shading 3", [](Test_Host& h) {
         h.rendition.modify()->lighting = 1;
         h.rendition.modify()->shading = 3;
       }},
      {"lit", [](Test_Host& h) { h.rendition.modify()->lighting = 1; }},
  };
  for (char variant : std::string("OAEF"))
    for (S s : textured_slots())
      for (const Row& row : rows) {
        // D opaque lights its clipped strips itself unless the shading code is 3.
        if (row.what == "lit" && variant == 'O' && clipped_space(s)) continue;
        Textured_Host h(variant, 2, 2, {1, 2, 3, 4});
        row.setup(h);
        Textured_Points call = quad(0.5f, 0.5f);
        call.width = 2;
        call.parameters.resize(8);
        call.w = {1, 2, 3, 4};
        call.normals.assign(4, ZT_Vector{0, 0, 1});
        const auto before = h.snapshot();
        const auto calls = host_calls([&] { draw_textured(h, s, call); });
        SCOPED_TRACE(std::string(1, variant) + " " + ZT_slot_name(s) + ": " + row.what);
        ASSERT_EQ(calls.size(), 1u);
        const bool floats = !(s == S::draw_2di_textured_polytriangle || s == S::draw_dci_textured_polytriangle);
        EXPECT_EQ(calls[0].function, fallback_name(s));
        EXPECT_EQ(calls[0].rendition, h.rendition.data());
        EXPECT_EQ(calls[0].arguments,
                  (std::vector<uint64_t>{
                      4,
                      address(floats ? (const void*)call.points.floats.data()
                                     : call.points.integer.data()),
                      address(call.points.colours.data()), address(call.parameters.data()), 2,
                      address(call.w.data()), address(call.normals.data())}));
        EXPECT_TRUE(same_buffers(h.snapshot(), before, W));
      }
  // In A, B and C the textured slots keep the host's standard actions.
  for (char config : std::string("ABC")) {
    Test_Host h(config, W, H);
    for (S s : textured_slots()) EXPECT_TRUE(h.actions().holds_standard(s)) << config;
  }
}

// A modulating texture without colours draws unmodulated; F with the
// transparency bit draws as E; the strip-edges bit draws edges in F and in E's
// clipped-point actions only.
TEST(TexturedGates, ModulationTransparencyAndStripEdges) {
  const std::vector<uint32_t> texels = {0x80C08040u, 0xFF2040F0u, 0x00FFFFFFu, 0x40404040u};
  Textured_Points plain = quad(0, 0);
  plain.points.colours.clear();
  for (size_t i = 0; i < 4; ++i) plain.parameters[i] = {float(i % 2) * 2, float(i / 2) * 2, 0};
  for (char variant : std::string("OAEF"))
    for (S s : textured_slots()) {
      Textured_Host modulating(variant, 2, 2, texels, ZT_Wrap_Repeat, true);
      Textured_Host not_modulating(variant, 2, 2, texels);
      draw_textured(modulating, s, plain);
      draw_textured(not_modulating, s, plain);
      EXPECT_TRUE(same_buffers(modulating, not_modulating)) << variant << ZT_slot_name(s);
    }
  for (S s : textured_slots()) {
    Textured_Host f('F', 2, 2, texels), e('E', 2, 2, texels);
    for (Test_Host* h : {&f, &e}) {
      h->fill_color(0xFF203040);
      h->rendition.modify()->advanced_options = ZT_Advanced_Transparency;
      draw_textured(*h, s, plain);
    }
    EXPECT_TRUE(same_buffers(f, e)) << ZT_slot_name(s);
    for (char variant : std::string("EF")) {
      Textured_Host h(variant, 1, 1, {0xFF808080u});
      h.rendition.modify()->advanced_options = ZT_Advanced_Strip_Edges;
      draw_textured(h, s, plain);
      const bool edges = variant == 'F' || clipped_space(s);
      EXPECT_EQ(h.color(8, 5) == 0, edges) << variant << ZT_slot_name(s);  // on no edge
      EXPECT_NE(h.color(2, 2), 0u) << variant << ZT_slot_name(s);          // on an edge
    }
  }
}

TEST(TexturedGates, RowsReadInTheirOrder) {
  using V = std::vector<std::string_view>;
  auto names = [](auto row) { return V(row.begin(), row.end()); };
  using textured::Textured_Family;
  EXPECT_EQ(names(pixel::gate_names<Textured_Family, S::draw_2d_textured_polytriangle,
                                    textured::Variant_F>()),
            (V{triangles::Strip_Edges::name, pixel::transparency_name, pixel::pattern_to_host_name,
               textured::depth_off_to_host_name, textured::draw_texture_name}));
  EXPECT_EQ(names(pixel::gate_names<Textured_Family, S::draw_2di_textured_polytriangle,
                                    textured::Variant_E>()),
            (V{pixel::pattern_to_host_name, textured::depth_off_to_host_name,
               textured::draw_texture_name}));
  EXPECT_EQ(names(pixel::gate_names<Textured_Family, S::draw_dc_textured_polytriangle,
                                    textured::D_Opaque>()),
            (V{pixel::pattern_to_host_name, textured::depth_off_to_host_name,
               textured::draw_lit_texture_name}));
}

}  // namespace
