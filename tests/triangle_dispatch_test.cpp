// Where the triangle actions hand a call on: host patterns to the host's
// standard action unchanged, depth off and transparency to another
// configuration, merge in B to A, the strip-edges bit to three polylines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "strip_edges.h"
#include "test_host.h"

namespace {

constexpr int32_t W = 40, H = 30;
const ZT_DCI_Point strip[5] = {{2, 2, 100}, {30, 4, 200}, {8, 25, 300}, {36, 28, 400}, {20, 12, 50}};
const ZT_Point float_strip[5] = {{2, 2, 100}, {30, 4, 200}, {8, 25, 300}, {36, 28, 400}, {20, 12, 50}};
const ZT_RGB32 colours[5] = {{200, 10, 10, 128}, {10, 200, 10, 255}, {10, 10, 200, 0},
                             {90, 90, 90, 60}, {1, 2, 3, 4}};

// Calls slot s with the strip above (float points for DC slots).
void call(Test_Host& h, ZT_Slot s) {
  auto& a = h.actions();
  const ZT_Rendition& d = h.rendition;
  switch (s) {
  case ZT_Slot::draw_dc_polytriangle: a.call<ZT_Slot::draw_dc_polytriangle>(d, 5, float_strip); break;
  case ZT_Slot::draw_dci_polytriangle: a.call<ZT_Slot::draw_dci_polytriangle>(d, 5, strip); break;
  case ZT_Slot::draw_dc_colorized_polytriangle:
    a.call<ZT_Slot::draw_dc_colorized_polytriangle>(d, 5, float_strip, colours, false);
    break;
  case ZT_Slot::draw_dci_colorized_polytriangle:
    a.call<ZT_Slot::draw_dci_colorized_polytriangle>(d, 5, strip, colours, false);
    break;
  case ZT_Slot::draw_dc_gouraud_polytriangle:
    a.call<ZT_Slot::draw_dc_gouraud_polytriangle>(d, 5, float_strip, colours);
    break;
  default: a.call<ZT_Slot::draw_dci_gouraud_polytriangle>(d, 5, strip, colours); break;
  }
}

const ZT_Slot slots[] = {ZT_Slot::draw_dc_polytriangle,           ZT_Slot::draw_dci_polytriangle,
                         ZT_Slot::draw_dc_colorized_polytriangle, ZT_Slot::draw_dci_colorized_polytriangle,
                         ZT_Slot::draw_dc_gouraud_polytriangle,   ZT_Slot::draw_dci_gouraud_polytriangle};

struct Image {
  std::vector<uint32_t> color;
  std::vector<uint16_t> depth;
  bool operator==(const Image&) const = default;
};

// Draws slot s in a fresh renderer of configuration c after set-up, from the
// same starting buffers.
template <class Setup>
Image draw_in(char c, ZT_Slot s, Setup&& setup) {
  Test_Host h;
  h.establish_config(c, W, H);
  h.fill_color(c == 'C' || c == 'D' ? 7 : 0xFF203040);
  h.fill_depth(0x8000);
  setup(h);
  call(h, s);
  EXPECT_TRUE(h.fences_intact());
  return {h.color_snapshot(), h.depth_snapshot()};
}

TEST(TriangleDispatch, HostPatternsReachTheStandardActionUnchanged) {
  for (char config : std::string("ABCDEF"))
    for (ZT_Slot s : slots)
      for (int32_t pattern : {75, 1000, -1}) {
        Test_Host h;
        h.establish_config(config, W, H);
        h.fill_color(0);
        h.rendition.modify_face()->pattern_index = pattern;
        const auto before = h.color_snapshot();
        ZD_Fallback_Log::clear();
        call(h, s);
        SCOPED_TRACE(std::string(1, config) + " " + ZT_slot_name(s));
        ASSERT_EQ(ZD_Fallback_Log::calls().size(), 1u);
        const ZD_Fallback_Call& got = ZD_Fallback_Log::calls()[0];
        const bool dc = s == ZT_Slot::draw_dc_polytriangle ||
                        s == ZT_Slot::draw_dc_colorized_polytriangle ||
                        s == ZT_Slot::draw_dc_gouraud_polytriangle;
        const uint64_t points = dc ? uint64_t(uintptr_t(float_strip)) : uint64_t(uintptr_t(strip));
        std::vector<uint64_t> args = {5, points, uint64_t(uintptr_t(colours)), 0};
        std::string name = std::string("ZD_Standard_Draw_") + (dc ? "DC" : "DCI");
        const bool flat = s == ZT_Slot::draw_dc_polytriangle || s == ZT_Slot::draw_dci_polytriangle;
        if (flat && config != 'C' && config != 'D') {  // drawn as the colorized strip
          args = {5, points, uint64_t(uintptr_t(&h.rendition->current_color)), 1};
          name += "_Colorized_Polytriangle";
        } else if (flat) {
          args.resize(2);
          name += "_Polytriangle";
        } else if (s == ZT_Slot::draw_dc_gouraud_polytriangle ||
                   s == ZT_Slot::draw_dci_gouraud_polytriangle) {
          args.resize(3);
          name += "_Gouraud_Polytriangle";
        } else {
          name += "_Colorized_Polytriangle";
        }
        EXPECT_EQ(got.function, name);
        EXPECT_EQ(got.arguments, args);
        EXPECT_EQ(got.rendition, h.rendition.data());
        EXPECT_EQ(h.color_snapshot(), before);
      }
}

TEST(TriangleDispatch, DepthOffTransparencyAndMergeDrawAsAnotherConfiguration) {
  struct Case {
    char config, as;
    const char* what;
    void (*setup)(Test_Host&);
  } cases[] = {
      {'D', 'C', "depth off", [](Test_Host& h) { h.rendition.modify()->depth_test_active = 0; }},
      {'E', 'A', "depth off", [](Test_Host& h) { h.rendition.modify()->depth_test_active = 0; }},
      {'F', 'B', "depth off", [](Test_Host& h) { h.rendition.modify()->depth_test_active = 0; }},
      {'F', 'E', "transparency",
       [](Test_Host& h) { h.rendition.modify()->advanced_options = ZT_Advanced_Transparency; }},
      {'B', 'A', "transparency",
       [](Test_Host& h) { h.rendition.modify()->advanced_options = ZT_Advanced_Transparency; }},
  };
  for (const Case& c : cases)
    for (ZT_Slot s : slots) {
      SCOPED_TRACE(std::string(1, c.config) + " " + c.what + " " + ZT_slot_name(s));
      Image got = draw_in(c.config, s, c.setup), expected = draw_in(c.as, s, c.setup);
      EXPECT_EQ(got.color, expected.color);
      if (c.as == 'E') {
        EXPECT_EQ(got.depth, expected.depth);
      } else if (c.config != 'B') {
        EXPECT_EQ(got.depth, std::vector<uint16_t>(size_t(W * H), 0x8000));
      }
    }
  // Merge in B: the colorized strips merge as A's; the flat strip merges its
  // current colour at alpha 255 even where A's flat strip, given a fully
  // transparent colour, would draw nothing.
  auto merge_transparent = [](Test_Host& h) {
    h.rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
    h.rendition.modify()->current_color = {16, 15, 5, 0};
  };
  for (ZT_Slot s : {ZT_Slot::draw_dc_colorized_polytriangle, ZT_Slot::draw_dci_colorized_polytriangle})
    EXPECT_EQ(draw_in('B', s, merge_transparent), draw_in('A', s, merge_transparent));
  const Image b = draw_in('B', ZT_Slot::draw_dci_polytriangle, merge_transparent);
  const Image a = draw_in('A', ZT_Slot::draw_dci_polytriangle, merge_transparent);
  EXPECT_EQ(std::count(a.color.begin(), a.color.end(), 0xFF203040u), W * H);
  const auto merged = std::count(b.color.begin(), b.color.end(), 0xFF203040u & 0xFF100F05u);
  EXPECT_GT(merged, 0);
  EXPECT_EQ(std::count(b.color.begin(), b.color.end(), 0xFF203040u) + merged, W * H);
}

TEST(TriangleDispatch, StripEdgesDrawThreePolylinesWithAMaskedRenditionCopy) {
  Test_Host host;
  host.establish_config('F', W, H);
  host.rendition.modify()->advanced_options = 0xFFFFFFFF;
  host.rendition.modify_face()->depth_offset = -37;
  struct Recorded {
    int32_t count;
    std::vector<ZT_DCI_Point> points;
    uint32_t options;
    int32_t edge_depth_offset;
  };
  static std::vector<Recorded> recorded;
  static Software_Z_Buffer* renderer;
  renderer = &host.r();
  for (int32_t n : {3, 4, 5}) {
    recorded.clear();
    triangles::draw_strip_edges_with(
        [](ZT_Renderer_Data*, const ZT_Rendition& d, int32_t count, const ZT_DCI_Point* p) {
          recorded.push_back({count, std::vector<ZT_DCI_Point>(p, p + count),
                              d->advanced_options, renderer->edge_depth_offset});
        },
        host.r(), host.rendition, n, strip);
    ASSERT_EQ(recorded.size(), n > 3 ? 3u : 2u) << n;
    EXPECT_EQ(recorded[0].points, std::vector<ZT_DCI_Point>(strip, strip + n));
    const std::vector<ZT_DCI_Point> evens = {strip[0], strip[2], strip[4]};
    EXPECT_EQ(recorded[1].points, std::vector<ZT_DCI_Point>(evens.begin(), evens.begin() + (n + 1) / 2));
    if (n > 3) {
      EXPECT_EQ(recorded[2].points, (std::vector<ZT_DCI_Point>{strip[1], strip[3]}));
    }
    for (const Recorded& r : recorded) {
      EXPECT_EQ(r.options, 0x3DFu);
      EXPECT_EQ(r.edge_depth_offset, -37);
    }
    EXPECT_EQ(host.r().edge_depth_offset, 0);
    EXPECT_EQ(host.rendition->advanced_options, 0xFFFFFFFFu);  // the caller's is untouched
  }
  // Through the slots: E and F draw edges instead of filling, A to D ignore the bit.
  for (char config : std::string("ABCDEF"))
    for (ZT_Slot s : {ZT_Slot::draw_dci_colorized_polytriangle, ZT_Slot::draw_dci_gouraud_polytriangle,
                      ZT_Slot::draw_dc_colorized_polytriangle}) {
      ZD_Set_Standard_Actions_Draw(false);
      const Image edges = draw_in(config, s, [](Test_Host& h) {
        h.rendition.modify()->advanced_options = ZT_Advanced_Strip_Edges;
      });
      ZD_Set_Standard_Actions_Draw(true);
      const uint32_t untouched = config == 'C' || config == 'D' ? 7 : 0xFF203040;
      const bool filled = edges.color[size_t(W * 8 + 12)] != untouched;  // on no edge
      EXPECT_EQ(filled, config < 'E') << config << " " << ZT_slot_name(s);
    }
}

}  // namespace
