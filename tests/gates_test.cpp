// Where actions hand a call on before drawing it themselves: host patterns,
// styled and wide lines and symbol markers to the host's standard action of
// the same slot, unchanged; depth off, transparency and merge in B to another
// configuration's action; the strip-edges bit to three polylines.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string_view>

#include "images/image_dispatch.h"
#include "lines/line_dispatch.h"
#include "lines/strip_edge_lines.h"
#include "tests/support/point_lists.h"
#include "tests/support/test_host.h"
#include "triangles/strip_edges.h"
#include "triangles/triangle_dispatch.h"

namespace {

using S = ZT_Slot;
constexpr int32_t W = 40, H = 30;

const Point_List strip({{2, 2, 100}, {30, 4, 200}, {8, 25, 300}, {36, 28, 400}, {20, 12, 50}},
                       {{200, 10, 10, 128}, {10, 200, 10, 255}, {10, 10, 200, 0},
                        {90, 90, 90, 60}, {1, 2, 3, 4}});

std::string standard_name(S s) {
  switch (s) {
#define STANDARD_NAME(name, fn, standard) \
  case S::name: return #standard;
    ZT_ACTION_SLOTS(STANDARD_NAME)
#undef STANDARD_NAME
  default: return "";
  }
}

uint64_t address(const void* p) { return uint64_t(reinterpret_cast<uintptr_t>(p)); }

// The arguments of a call of s with p, as the host's log widens them.
std::vector<uint64_t> arguments(S s, const Point_List& p) {
  const bool floats = slot_named(s, "_dc_") || slot_named(s, "_2d_");
  std::vector<uint64_t> a = {uint64_t(p.count),
                             address(floats ? (const void*)p.floats.data() : p.integer.data())};
  if (slot_named(s, "colorized") || slot_named(s, "gouraud") || slot_named(s, "polygon"))
    a.push_back(address(p.colours.data()));
  if (slot_named(s, "colorized")) a.push_back(p.single);
  return a;
}

// Each call reaches the host's standard action of its own slot once, with its
// own arguments and rendition, and draws nothing; flat strips in true colour
// reach it as the colorized strip of the current colour.
TEST(HostGates, PatternsStyledLinesAndSymbolMarkersReachTheHostUnchanged) {
  struct Row {
    std::string configurations;
    std::vector<S> slots;
    std::function<void(ZT_Rendition&)> setup;
  };
  std::vector<Row> rows = {
      {"ABCDEF", slots_with({"polygon"}),
       [](ZT_Rendition& d) { d.modify_face()->pattern_index = ZT_Pattern_First_Host_Only; }},
      {"ABCDEF", slots_with({"polyline"}), [](ZT_Rendition& d) { d.modify()->line_style = 1; }},
      {"ABCDEF", slots_with({"polyline"}), [](ZT_Rendition& d) { d.modify()->line_weight = 2; }},
      {"ABCEF", {S::draw_2di_polymarker}, [](ZT_Rendition& d) { d.modify()->marker_style = 3; }}};
  for (int32_t pattern : {75, 1000, -1})
    rows.push_back({"ABCDEF", slots_with({"polytriangle"}),
                    [pattern](ZT_Rendition& d) { d.modify_face()->pattern_index = pattern; }});
  for (const Row& row : rows)
    for (char config : row.configurations)
      for (S s : row.slots) {
        Test_Host h(config, W, H);
        row.setup(h.rendition);
        SCOPED_TRACE(std::string(1, config) + " " + ZT_slot_name(s));
        const auto before = h.color_snapshot();
        const auto calls = host_calls([&] { draw_points(h, s, strip); });
        ASSERT_EQ(calls.size(), 1u);
        // Flat strips and the plain DCI polyline in true colour are the
        // colorized action of the current colour.
        const bool as_colorized =
            !h.mapped() && ((slot_named(s, "polytriangle") && !slot_named(s, "colorized") &&
                             !slot_named(s, "gouraud")) ||
                            s == S::draw_dci_polyline);
        std::vector<uint64_t> expected = arguments(s, strip);
        if (as_colorized) expected = {5, expected[1], address(&h.rendition->current_color), 1};
        std::string name = standard_name(s);
        if (as_colorized)
          name.insert(name.rfind(slot_named(s, "polyline") ? "_Polyline" : "_Polytriangle"),
                      "_Colorized");
        EXPECT_EQ(calls[0].function, name);
        EXPECT_EQ(calls[0].arguments, expected);
        EXPECT_EQ(calls[0].rendition, h.rendition.data());
        EXPECT_EQ(h.color_snapshot(), before);
      }
  // A polymarker of no points hands nothing on.
  Test_Host h('B', W, H);
  const Point_List none(std::vector<ZT_DCI_Point>{});
  EXPECT_TRUE(host_calls([&] { draw_points(h, S::draw_2di_polymarker, none); }).empty());
}

// Drawn from the same buffers, each gate's draw equals the draw of the
// configuration it hands on to; one without depth leaves the depths alone.
TEST(SiblingGates, DepthOffTransparencyAndMergeDrawAsAnotherConfiguration) {
  auto depth_off = [](Test_Host& h) { h.rendition.modify()->depth_test_active = 0; };
  auto transparency = [](Test_Host& h) {
    h.rendition.modify()->advanced_options = ZT_Advanced_Transparency;
  };
  // Merge in B: the colorized strips merge as A's.
  auto merge_transparent = [](Test_Host& h) {
    h.rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;
    h.rendition.modify()->current_color = {16, 15, 5, 0};
  };
  const std::vector<S> strips = slots_with({"polytriangle"}), lines = slots_with({"polyline"});
  std::vector<S> strips_and_lines = strips;
  strips_and_lines.insert(strips_and_lines.end(), lines.begin(), lines.end());
  struct Row {
    char config, as;
    void (*setup)(Test_Host&);
    const std::vector<S>& slots;
  } rows[] = {
      {'D', 'C', depth_off, strips_and_lines}, {'E', 'A', depth_off, strips_and_lines},
      {'F', 'B', depth_off, strips_and_lines}, {'F', 'E', transparency, strips},
      {'B', 'A', transparency, strips},        {'B', 'A', merge_transparent, slots_with({"colorized_polytriangle"})},
  };
  for (const Row& row : rows) {
    for (S s : row.slots) {
      SCOPED_TRACE(std::string(1, row.config) + " as " + row.as + " " + ZT_slot_name(s));
      Test_Host got(row.config, W, H), expected(row.as, W, H);
      for (Test_Host* h : {&got, &expected}) {
        h->fill_color(h->mapped() ? 7 : 0xFF203040);
        h->fill_depth(0x8000);
        row.setup(*h);
        draw_points(*h, s, strip);
        EXPECT_TRUE(h->fences_intact());
      }
      EXPECT_EQ(got.color_snapshot(), expected.color_snapshot());
      if (row.as == 'E') {
        EXPECT_EQ(got.depth_snapshot(), expected.depth_snapshot());
      } else if (row.config != 'B') {
        EXPECT_EQ(got.depth_snapshot(), std::vector<uint16_t>(size_t(W * H), 0x8000));
      }
    }
  }
  // The flat strip of B merges its current colour at alpha 255 even where A's
  // flat strip, given a fully transparent colour, draws nothing.
  for (S s : {S::draw_dci_polytriangle, S::draw_2di_polytriangle}) {
    Test_Host b('B', W, H), a('A', W, H);
    for (Test_Host* h : {&a, &b}) {
      h->fill_color(0xFF203040);
      merge_transparent(*h);
      draw_points(*h, s, strip);
    }
    const auto in_a = a.color_snapshot(), in_b = b.color_snapshot();
    EXPECT_EQ(std::count(in_a.begin(), in_a.end(), 0xFF203040u), W * H);
    const auto merged = std::count(in_b.begin(), in_b.end(), 0xFF203040u & 0xFF100F05u);
    EXPECT_GT(merged, 0);
    EXPECT_EQ(std::count(in_b.begin(), in_b.end(), 0xFF203040u) + merged, W * H);
  }
}

// A colorized or Gouraud strip without a colour array draws in the
// rendition's colour: exactly the flat strip of the same point space.
TEST(SiblingGates, StripsWithoutColoursDrawAsTheFlatStrip) {
  const Point_List bare(strip.integer);
  for (char config : every_configuration)
    for (S s : slots_with({"polytriangle"})) {
      if (!slot_named(s, "colorized") && !slot_named(s, "gouraud")) continue;
      const std::string name = ZT_slot_name(s);
      const std::string flat_name =
          name.substr(0, name.find('_', 5) + 1) + "polytriangle";  // draw_xx_polytriangle
      S flat = s;
      for (S f : slots_with({"polytriangle"}))
        if (flat_name == ZT_slot_name(f)) flat = f;
      SCOPED_TRACE(std::string(1, config) + " " + name + " as " + flat_name);
      ASSERT_NE(flat, s);
      Test_Host got(config, W, H), expected(config, W, H);
      for (Test_Host* h : {&got, &expected}) {
        h->rendition.modify()->current_color = {200, 100, 50, 160};
        h->rendition.modify()->current_index = 42;
      }
      draw_points(got, s, bare);
      draw_points(expected, flat, bare);
      EXPECT_TRUE(got.fences_intact());
      EXPECT_TRUE(same_buffers(got, expected));
      EXPECT_NE(got.color_snapshot(), std::vector<uint32_t>(size_t(W * H), 0));
    }
}

TEST(StripEdges, ThreePolylinesWithAMaskedRenditionCopy) {
  Test_Host host('F', W, H);
  host.rendition.modify()->advanced_options = 0xFFFFFFFF;
  host.rendition.modify_face()->depth_offset = -37;
  struct Recorded {
    std::vector<ZT_DCI_Point> points;
    uint32_t options;
    int32_t edge_depth_offset;
  };
  static std::vector<Recorded> recorded;
  static Software_Z_Buffer* renderer;
  renderer = &host.r();
  const std::vector<ZT_DCI_Point>& p = strip.integer;
  for (int32_t n : {3, 4, 5}) {
    recorded.clear();
    triangles::draw_strip_edges_with(
        [](ZT_Renderer_Data*, const ZT_Rendition& d, int32_t count, const ZT_DCI_Point* q) {
          recorded.push_back({std::vector<ZT_DCI_Point>(q, q + count), d->advanced_options,
                              renderer->edge_depth_offset});
        },
        host.r(), host.rendition, n, p.data());
    ASSERT_EQ(recorded.size(), n > 3 ? 3u : 2u) << n;
    EXPECT_EQ(recorded[0].points, std::vector<ZT_DCI_Point>(p.begin(), p.begin() + n));
    const std::vector<ZT_DCI_Point> evens = {p[0], p[2], p[4]};
    EXPECT_EQ(recorded[1].points,
              std::vector<ZT_DCI_Point>(evens.begin(), evens.begin() + (n + 1) / 2));
    if (n > 3) {
      EXPECT_EQ(recorded[2].points, (std::vector<ZT_DCI_Point>{p[1], p[3]}));
    }
    for (const Recorded& r : recorded) {
      EXPECT_EQ(r.options, 0x3DFu);
      EXPECT_EQ(r.edge_depth_offset, -37);
    }
    EXPECT_EQ(host.r().edge_depth_offset, 0);
    EXPECT_EQ(host.rendition->advanced_options, 0xFFFFFFFFu);  // the caller's is untouched
  }
  // Through the slots: E and F draw edges instead of filling, A to D ignore the bit.
  std::vector<S> shaded = slots_with({"gouraud_polytriangle"});
  for (S s : slots_with({"colorized_polytriangle"})) shaded.push_back(s);
  for (char config : every_configuration)
    for (S s : shaded) {
      Test_Host h(config, W, H);
      h.fill_color(7);
      h.rendition.modify()->advanced_options = ZT_Advanced_Strip_Edges;
      host_calls([&] { draw_points(h, s, strip); });
      const bool filled = h.color(12, 8) != 7;  // on no edge
      EXPECT_EQ(filled, config < 'E') << config << " " << ZT_slot_name(s);
    }
}

// The polyline of a triangle strip's edges is F's 2DI polyline whatever the
// configuration: E draws it opaque and by F's depth rule; a window without
// depth draws it as B; a mapped one leaves it to the host.
TEST(StripEdges, EdgesAreConfigurationFsPolyline) {
  const Point_List p({{-5, 2, 100}, {12, 6, 300}, {3, 20, 50}});
  auto edges_in = [&](Test_Host& h) {
    draw_2di_polyline_configuration_F(h.renderer, h.rendition, 3, p.integer.data());
  };
  Test_Host f('F', 16, 16), e('E', 16, 16), b('B', 16, 16), a('A', 16, 16), c('C', 16, 16);
  for (Test_Host* h : {&f, &e}) {
    h->fill_depth(200);
    h->r().depth_test_mode = 1;
    h->rendition.modify()->current_color = ZT_RGB32(9, 9, 9, 60);
  }
  draw_points(f, S::draw_2di_polyline, p);
  edges_in(e);
  EXPECT_TRUE(same_buffers(e, f));
  draw_points(b, S::draw_2di_polyline, p);
  edges_in(a);
  EXPECT_TRUE(same_buffers(a, b));
  EXPECT_EQ(host_calls([&] { edges_in(c); }).size(), 1u);
}

// The gate tables read as data: every family's row, in every configuration,
// ends in a gate that always takes the call and holds it nowhere else; only
// depth configurations hand on for depth testing off, only the opaque
// true-colour ones (B, F) for the transparency bit, and the masked twin is
// reached only where a mask applies (E's triangles have none).
struct Row_Names {
  std::string family;
  char config;
  S slot;
  std::vector<std::string_view> gates;
};

template <class Family, class C, S... Slots>
void add_rows(std::vector<Row_Names>& rows, const std::string& family) {
  (rows.push_back({family, configuration_letter(C::id), Slots,
                   [] {
                     const auto n = pixel::gate_names<Family, Slots, C>();
                     return std::vector<std::string_view>(n.begin(), n.end());
                   }()}),
   ...);
}

template <class C>
void add_rows_of(std::vector<Row_Names>& rows) {
  add_rows<triangles::Triangle_Family, C, S::draw_dc_polytriangle, S::draw_dci_polytriangle,
           S::draw_2d_polytriangle, S::draw_2di_polytriangle, S::draw_dc_colorized_polytriangle,
           S::draw_dci_colorized_polytriangle, S::draw_2d_colorized_polytriangle,
           S::draw_2di_colorized_polytriangle, S::draw_dc_gouraud_polytriangle,
           S::draw_dci_gouraud_polytriangle, S::draw_2d_gouraud_polytriangle,
           S::draw_2di_gouraud_polytriangle>(rows, "triangles");
  add_rows<lines::Line_Family, C, S::draw_2di_polyline, S::draw_dci_polyline,
           S::draw_2di_colorized_polyline, S::draw_dci_colorized_polyline,
           S::draw_2di_gouraud_polyline, S::draw_dci_gouraud_polyline, S::draw_dci_dot,
           S::draw_2di_polymarker>(rows, "lines");
  add_rows<images::Image_Family, C, S::draw_dci_rgb32_image, S::draw_dci_index8_image>(rows,
                                                                                         "images");
}

std::vector<Row_Names> every_row() {
  std::vector<Row_Names> rows;
  add_rows_of<pixel::Config_A>(rows);
  add_rows_of<pixel::Config_B>(rows);
  add_rows_of<pixel::Config_C>(rows);
  add_rows_of<pixel::Config_D>(rows);
  add_rows_of<pixel::Config_E>(rows);
  add_rows_of<pixel::Config_F>(rows);
  return rows;
}

TEST(GateTables, EveryRowEndsInOneTakingGateAndHandsOnOnlyWhereTheConfigurationCan) {
  const std::set<std::string_view> taking = {
      pixel::Draw::name, triangles::As_Colorized::name, triangles::Round_XY::name,
      triangles::Round_XYZ::name};
  const auto rows = every_row();
  EXPECT_EQ(rows.size(), 6u * (12 + 8 + 2));
  for (const Row_Names& row : rows) {
    SCOPED_TRACE(row.family + " " + row.config + " " + ZT_slot_name(row.slot));
    ASSERT_FALSE(row.gates.empty());
    EXPECT_TRUE(taking.count(row.gates.back()));
    for (size_t i = 0; i + 1 < row.gates.size(); ++i) EXPECT_FALSE(taking.count(row.gates[i]));
    auto has = [&](std::string_view g) {
      return std::find(row.gates.begin(), row.gates.end(), g) != row.gates.end();
    };
    const bool depth = row.config >= 'D';
    if (has(pixel::depth_off_name)) {
      EXPECT_TRUE(depth);
    }
    if (has(pixel::transparency_name)) {
      EXPECT_TRUE(row.config == 'B' || row.config == 'F');
    }
    if (row.family == "triangles" && row.config == 'E') {
      EXPECT_FALSE(has(pixel::Mask_To_Twin::name));
    }
  }
}

// The road of one request: F's colorized strip of integer points tests, in
// order, that it has colours, the transparency bit, the strip-edges bit, the host pattern, depth
// testing off and the mask before it draws; E's images look at the mask first.
TEST(GateTables, RowsReadInTheirOrder) {
  using V = std::vector<std::string_view>;
  auto names = [](auto row) { return V(row.begin(), row.end()); };
  EXPECT_EQ(names(pixel::gate_names<triangles::Triangle_Family, S::draw_dci_colorized_polytriangle,
                                    pixel::Config_F>()),
            (V{triangles::No_Colours_To_Flat::name, pixel::transparency_name,
               triangles::Strip_Edges::name, pixel::pattern_to_host_name,
               pixel::depth_off_name, pixel::Mask_To_Twin::name, pixel::Draw::name}));
  EXPECT_EQ(names(pixel::gate_names<images::Image_Family, S::draw_dci_rgb32_image, pixel::Config_E>()),
            (V{pixel::Mask_To_Twin::name, pixel::depth_off_name, pixel::Draw::name}));
  EXPECT_EQ(names(pixel::gate_names<lines::Line_Family, S::draw_2di_polymarker, pixel::Config_E>()),
            (V{lines::opaque_name, pixel::depth_off_name, lines::marker_symbol_name,
               pixel::Draw::name}));
}

}  // namespace
