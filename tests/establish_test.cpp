// Establish: configuration choice, the slots each configuration installs, the
// buffers kept or re-created, the published colour buffer and the merge colours.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "core/mask_cache.h"
#include "tests/support/point_lists.h"
#include "tests/support/test_host.h"

namespace {

TEST(Establish, ChoosesConfigurationFromDepthColourSystemAndBlending) {
  struct Case {
    int32_t depth, color_system;
    bool alpha;
    char expected;
  } cases[] = {
      {0, 1, true, 'A'},  {0, 1, false, 'B'}, {0, 0, false, 'C'}, {0, 0, true, 'C'},
      {0, 2, true, 'C'},  {16, 0, false, 'D'}, {16, 2, true, 'D'}, {16, 1, true, 'E'},
      {16, 1, false, 'F'}, {1, 1, false, 'F'}, {-3, 1, false, 'B'},
  };
  Test_Host host;
  for (const Case& c : cases) {
    Window_Setup s;
    s.buffer_depth = c.depth;
    s.color_system = c.color_system;
    s.alpha_blending = c.alpha;
    host.establish(s);
    EXPECT_EQ(configuration_letter(host.r().configuration), c.expected)
        << "depth " << c.depth << " colour system " << c.color_system << " alpha " << c.alpha;
    EXPECT_EQ(host.r().depth_buffer.empty(), c.depth < 1);
  }
}

// What each slot holds per configuration A..F: o own, h the host's standard
// action, - not installed (the standard action stays), n an action that does
// nothing, t tiling (installed only with "Enable Tiling").  A slot not listed
// is the configuration's own in all six.
const std::map<std::string, std::string> slot_table = {
    {"draw_preclip_polytriangle", "tttttt"},
    {"draw_preclip_colorized_polytriangle", "tttttt"},
    {"draw_preclip_gouraud_polytriangle", "tttttt"},
    {"draw_2d_textured_polytriangle", "---ooo"},
    {"draw_dc_textured_polytriangle", "---ooo"},
    {"draw_2di_textured_polytriangle", "---ooo"},
    {"draw_dci_textured_polytriangle", "---ooo"},
    {"draw_preclip_textured_polytriangle", "tttttt"},
    {"draw_preclip_polyline", "tttttt"},
    {"draw_preclip_colorized_polyline", "tttttt"},
    {"draw_preclip_gouraud_polyline", "tttttt"},
    {"draw_2di_polymarker", "ooo-oo"},
    {"draw_dci_rgb32_image", "oohhoo"},
    {"draw_dci_index8_image", "hhoohh"},
    {"put_depth_image", "---ooo"},
    {"get_depth_image", "---ooo"},
    {"clear_depth_buffer", "nnnooo"},
};

// Slots whose rasterisers have not landed yet still hold the host's action.
const std::set<std::string> pending_slots = {};

void expect_slots_match_table(Test_Host& host, char config, bool tiling) {
  ZT_Renderer_Data* renderer = host.renderer;
  for (int32_t i = 0; i < ZT_Slot_Count; ++i) {
    ZT_Slot s = ZT_Slot(i);
    std::string name = ZT_slot_name(s);
    char cell = slot_table.count(name) ? slot_table.at(name)[std::size_t(config - 'A')] : 'o';
    if (cell == 't') cell = tiling ? 'o' : '-';
    const ZT_Action_Slot& slot = host.actions().slot(s);
    bool standard = host.actions().holds_standard(s);
    if (pending_slots.count(name) && cell == 'o') cell = 'h';
    SCOPED_TRACE(std::string(1, config) + " " + name);
    EXPECT_EQ(slot.enabled, 1);
    EXPECT_EQ(slot.extra, 0u);
    switch (cell) {
    case 'o':
      EXPECT_EQ(slot.owner, renderer);
      EXPECT_FALSE(standard);
      break;
    case 'h':
    case '-': EXPECT_TRUE(standard); break;
    case 'n': {
      // The module's do-nothing action: own, and calling it changes nothing.
      EXPECT_EQ(slot.owner, renderer);
      EXPECT_FALSE(standard);
      auto before = host.depth_snapshot();
      ZD_Fallback_Log::clear();
      host.actions().call<ZT_Slot::clear_depth_buffer>(host.rendition);
      EXPECT_TRUE(ZD_Fallback_Log::calls().empty());
      EXPECT_EQ(before, host.depth_snapshot());
      break;
    }
    }
  }
}

// Every configuration after every other: no depth service or depth
// rasteriser of an earlier configuration survives.
TEST(Establish, EachConfigurationInstallsExactlyItsSlotsWhateverCameBefore) {
  Test_Host host;
  for (char first : every_configuration)
    for (char second : every_configuration) {
      host.establish_config(first);
      host.establish_config(second);
      expect_slots_match_table(host, second, false);
    }
  host.set_option("Enable Tiling", ZT_Option_Value(true));
  host.establish_config('F');
  expect_slots_match_table(host, 'F', true);
  host.set_option("Enable Tiling", ZT_Option_Value(false));
  host.establish_config('F');
  expect_slots_match_table(host, 'F', false);
}

// The tiling slots do not depend on the configuration: one function each.
TEST(Establish, TilingSlotsHoldOneFunctionInEveryConfiguration) {
  Test_Host host;
  host.set_option("Enable Tiling", ZT_Option_Value(true));
  std::map<std::string, void (*)()> functions;
  for (char config : every_configuration) {
    host.establish_config(config);
    for (int32_t i = 0; i < ZT_Slot_Count; ++i) {
      const std::string name = ZT_slot_name(ZT_Slot(i));
      if (slot_table.count(name) && slot_table.at(name) == "tttttt") {
        EXPECT_EQ(functions.try_emplace(name, host.actions().slot(ZT_Slot(i)).function)
                      .first->second,
                  host.actions().slot(ZT_Slot(i)).function)
            << config << " " << name;
      }
    }
  }
  EXPECT_EQ(functions.size(), 7u);
}

TEST(Renderer, NeverEstablishedHoldsNothingAndStandardActions) {
  Test_Host host;
  EXPECT_TRUE(host.r().color_buffer.empty());
  EXPECT_TRUE(host.r().depth_buffer.empty());
  EXPECT_FALSE(host.r().mask_cache);
  for (int32_t i = 0; i < ZT_Slot_Count; ++i)
    EXPECT_TRUE(host.actions().holds_standard(ZT_Slot(i))) << ZT_slot_name(ZT_Slot(i));
  EXPECT_EQ(host.r().depth_write, 1);
  EXPECT_EQ(host.r().depth_test_mode, 2);
  EXPECT_EQ(host.r().merge_background_index, 255);
  EXPECT_EQ(host.r().force_merge, 0);
  // The constructor's own renderer options ask for what the renderer needs.
  EXPECT_EQ(host.renderer->constructor_renderer_options.buffer_depth(), 16);
  EXPECT_TRUE(host.renderer->constructor_renderer_options.backing_store());
  EXPECT_TRUE(host.renderer->constructor_renderer_options.supports_complex_clip());
}

TEST(Establish, BuffersKeptUnlessSizeOrFormatChange) {
  Test_Host host;
  Window_Setup s;
  s.alpha_blending = false;
  host.establish(s);
  EXPECT_EQ(host.allocations, 2);
  ZT_Image_Data* color = host.r().color_buffer.data();
  ZT_Image_Data* depth = host.r().depth_buffer.data();
  host.fill_color(0x12345678);

  s.alpha_blending = true;  // F to E: both kept, contents survive
  host.establish(s);
  EXPECT_EQ(host.allocations, 2);
  EXPECT_EQ(host.r().color_buffer.data(), color);
  EXPECT_EQ(host.r().depth_buffer.data(), depth);
  EXPECT_EQ(host.color(3, 4), 0x12345678u);

  s.width += 1;  // resize: both re-created
  host.establish(s);
  EXPECT_EQ(host.allocations, 4);
  EXPECT_EQ(host.r().color_buffer->width, s.width);
  EXPECT_EQ(host.r().depth_buffer->width, s.width);

  s.height -= 5;
  host.establish(s);
  EXPECT_EQ(host.allocations, 6);

  s.color_system = 0;  // true colour to mapped: a new 8-bit colour buffer only
  host.establish(s);
  EXPECT_EQ(host.allocations, 7);
  EXPECT_EQ(host.r().color_buffer->format, ZT_Image_Format_Mapped8);

  s.color_system = 2;  // another mapped system: the format is not checked
  host.establish(s);
  EXPECT_EQ(host.allocations, 7);

  s.buffer_depth = 0;  // depth off: the depth buffer goes away
  host.establish(s);
  EXPECT_TRUE(host.r().depth_buffer.empty());
  EXPECT_EQ(host.allocations, 7);
}

TEST(Establish, PublishesItsColourBufferAndReplacesAWrongOne) {
  Test_Host host('F', 40, 30);
  ZT_Option* published = host.renderer->current_options.find("Color Buffer");
  EXPECT_EQ(published->value()->as_pointer(), host.r().color_buffer.data());

  // An outside buffer of the right size is taken as it is.
  ZT_Shared_Image outside(40, 30, ZT_Image_Format_RGB32, 0, nullptr, false);
  host.set_option("Color Buffer", ZT_Option_Value(static_cast<ZT_Counted*>(outside.data())));
  host.establish_config('F', 40, 30);
  EXPECT_EQ(host.r().color_buffer.data(), outside.data());

  // One of the wrong size is replaced, and the replacement is published.
  ZT_Shared_Image wrong(10, 10, ZT_Image_Format_RGB32, 0, nullptr, false);
  host.set_option("Color Buffer", ZT_Option_Value(static_cast<ZT_Counted*>(wrong.data())));
  host.establish_config('F', 40, 30);
  EXPECT_NE(host.r().color_buffer.data(), wrong.data());
  EXPECT_EQ(host.r().color_buffer->width, 40);
  published = host.renderer->current_options.find("Color Buffer");
  EXPECT_EQ(published->value()->as_pointer(), host.r().color_buffer.data());
}

// The merge colours and indices, the colour cube and the window origin, as
// establish derives them from the options.
TEST(Establish, MergeColoursCubeAndWindowOrigin) {
  Test_Host host;
  for (auto [blue, alternate] : {std::pair{0, 1}, {200, 199}, {255, 254}, {1, 0}}) {
    host.set_option("Merge Control Background Color", ZT_Option_Value(10, 20, blue));
    host.establish_config('F');
    EXPECT_EQ(host.r().merge_background_color, ZT_RGB32(10, 20, uint8_t(blue), 255));
    EXPECT_EQ(host.r().merge_alternate_color, ZT_RGB32(10, 20, uint8_t(alternate), 255));
  }
  // A cube palette: white's neighbour five steps down maps to another index.
  Test_Host mapped;
  mapped.establish_config('D');
  const ZT_Palette* palette = mapped.renderer->renderer_options()->palette();
  EXPECT_EQ(mapped.r().merge_background_index, palette->closest_match({255, 255, 255}, false));
  EXPECT_NE(mapped.r().merge_alternate_index, mapped.r().merge_background_index);
  EXPECT_EQ(mapped.r().color_cube.base_index, palette->color_cube()->base_index);
  EXPECT_EQ(mapped.r().color_cube.red_step, palette->color_cube()->red_step);
  EXPECT_EQ(mapped.r().color_cube.green_scale, palette->color_cube()->green_scale);
  // A palette whose every colour is the same: the search gives up after 103
  // rounds and the alternate index stays the background index.
  ZT_Counted_Ptr<ZT_Palette> flat(new ZT_Palette());
  for (int i = 0; i < 256; ++i) flat->set_color(i, {90, 90, 90, 255});
  mapped.renderer->renderer_options()->set_palette(flat.get());
  flat->match_calls = 0;
  mapped.establish_again();
  EXPECT_EQ(mapped.r().merge_alternate_index, mapped.r().merge_background_index);
  EXPECT_EQ(flat->match_calls, 1 + 103);

  Test_Host moved;
  moved.set_option("Force Merge Control On", ZT_Option_Value(true));
  Window_Setup s;
  s.origin = {100, 200};
  moved.establish(s);
  EXPECT_EQ(moved.r().force_merge, 1);
  EXPECT_EQ(moved.r().window_origin(), (ZT_Int_Point{100, 200}));
  s.local_coordinates = true;
  moved.establish(s);
  EXPECT_EQ(moved.r().window_origin(), (ZT_Int_Point{0, 0}));
  EXPECT_EQ(moved.r().window_size, (ZT_Int_Point{s.width, s.height}));
}

TEST(Establish, EmptyWindowAllocatesNothingAndDrawsNothing) {
  const Point_List triangle({{0, 0, 0}, {5, 0, 0}, {0, 5, 0}}, {{1, 2, 3, 255}}, true);
  for (auto [w, h] : {std::pair{0, 10}, {10, 0}, {-5, 10}, {10, -1}, {0, 0}}) {
    Test_Host host;
    for (char c : every_configuration) {
      host.establish_config(c, w, h);
      EXPECT_EQ(host.allocations, 0);
      EXPECT_TRUE(host.r().color_buffer.empty() && host.r().depth_buffer.empty());
      // The slots do nothing at all: no pixel (there is no buffer) and no
      // call handed to the host.
      EXPECT_TRUE(host_calls([&] {
                    draw_points(host, ZT_Slot::draw_dci_polyline, triangle);
                    draw_points(host, ZT_Slot::draw_dci_colorized_polytriangle, triangle);
                    host.actions().call<ZT_Slot::draw_dci_dot>(
                        host.rendition, triangle.integer.data(), triangle.colours.data());
                    host.actions().call<ZT_Slot::clear_depth_buffer>(host.rendition);
                    host.actions().call<ZT_Slot::span_dc_rectangle>(host.rendition);
                  }).empty())
          << c;
    }
  }
}

// What the renderer cannot draw is refused like an empty window (no buffers,
// actions that do nothing) with a reason; what the host itself cannot hold is
// refused in its setters, which keep the value they had.
TEST(Establish, RefusesWhatItCannotDrawAndTheHostRefusesWhatItCannotHold) {
  const Point_List triangle({{0, 0, 0}, {5, 0, 0}, {0, 5, 0}}, {{1, 2, 3, 255}}, true);
  auto refused = [&](Test_Host& host, int32_t expected, const char* what) {
    EXPECT_EQ(host.establish_again(), expected) << what;
    EXPECT_TRUE(host.r().color_buffer.empty() && host.r().depth_buffer.empty()) << what;
    EXPECT_NE(std::string(ZD_Establish_Result_Text(expected)), "") << what;
    EXPECT_TRUE(host_calls([&] {
                  draw_points(host, ZT_Slot::draw_dci_colorized_polytriangle, triangle);
                  draw_points(host, ZT_Slot::draw_2di_polyline, triangle);
                }).empty())
        << what;
  };
  {
    Test_Host host('F', 16, 8);
    host.renderer->renderer_options()->set_window_origin({INT32_MAX - 14, 0});
    refused(host, ZT_Refused_Window_Origin, "origin");
    host.renderer->renderer_options()->set_window_origin({INT32_MAX - 15, INT32_MIN});
    EXPECT_EQ(host.establish_again(), ZT_Established);  // the far corner just fits
  }
  for (char c : {'C', 'D'}) {
    Test_Host host(c, 16, 8);
    host.renderer->renderer_options()->set_palette(nullptr);
    host.rendition.modify()->drawing_mode = ZT_Drawing_Mode_Merge;  // merge needs the palette
    refused(host, ZT_Refused_No_Palette, "no palette");
    // A cube the host holds (scale 200 of 256) but the renderer cannot dither.
    ZT_Counted_Ptr<ZT_Palette> p(ZT_Palette::with_color_cube({6, 6, 6}, 16));
    ZT_Color_Cube cube = *p->color_cube();
    cube.green_scale = 200;
    ASSERT_TRUE(p->set_color_cube(cube));
    host.renderer->renderer_options()->set_palette(p.get());
    refused(host, ZT_Refused_Color_Cube, "cube");
    cube.green_scale = 128;
    ASSERT_TRUE(p->set_color_cube(cube));
    EXPECT_EQ(host.establish_again(), ZT_Established);
  }
  // The host's setters: window sides, palette counts, cube levels and scales.
  ZT_Renderer_Options o;
  EXPECT_TRUE(o.set_window_size({ZT_Largest_Window_Side, 1}));
  EXPECT_FALSE(o.set_window_size({ZT_Largest_Window_Side + 1, 1}));
  EXPECT_FALSE(o.set_window_size({5, -1}));
  EXPECT_EQ(o.window_size(), (ZT_Int_Point{ZT_Largest_Window_Side, 1}));
  ZT_Palette palette;
  EXPECT_FALSE(palette.set_count(257));
  EXPECT_FALSE(palette.set_count(0));
  EXPECT_EQ(palette.count(), 256);
  EXPECT_EQ(ZT_Palette::with_color_cube({65536, 65536, 2}, 0), nullptr);  // product overflows
  EXPECT_EQ(ZT_Palette::with_color_cube({0, 6, 6}, 0), nullptr);
  ZT_Color_Cube wide({2, 2, 2}, 1.0f, 0);
  wide.red_scale = ZT_Color_Cube::largest_scale + 1;
  EXPECT_FALSE(palette.set_color_cube(wide));
  EXPECT_EQ(palette.color_cube(), nullptr);
  // Images beyond the cap are made empty, never allocated.
  EXPECT_EQ(ZT_Shared_Image(ZT_Largest_Image_Side + 1, 1, ZT_Image_Format_RGB32, 0, nullptr, false)->width, 0);
  EXPECT_EQ(ZT_Shared_Image(16, 16, ZT_Image_Format_RGB32, INT32_MAX, nullptr, false)->height, 0);
}

TEST(Establish, AllocationCallbackThatFailsLeavesNothingToDrawInto) {
  Test_Host host;
  host.renderer->allocate_image = [](void*, int32_t, int32_t, const ZT_Image_Format*,
                                     ZT_Shared_Image* image) { image->release(); };
  host.establish_config('F');
  EXPECT_TRUE(host.r().color_buffer.empty());
  draw_points(host, ZT_Slot::draw_dci_polyline, Point_List({{0, 0, 0}, {5, 0, 0}}));
}

}  // namespace
