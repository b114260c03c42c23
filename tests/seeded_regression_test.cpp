// A seeded regression suite: for every seed, a random configuration, window,
// origin, palette, options and a sequence of calls over every slot a host draws
// with (strips, polylines, markers, dots, polygons, images, depth blocks,
// reads, rectangles), each with its own rendition; the checksums of the colour
// and depth buffers must equal the checked-in table.  Any change of output
// shows as the seeds it touches.
//
//   ZDI_SEED=17 build/tests/seeded_regression_test     one seed, printing each call
//                                                      and recording its trace
//   ZDI_SEED_TABLE=write build/tests/seeded_regression_test   rewrites the table
//
// The trace of one seed (seed_17.json in the temporary folder, or the file
// ZDI_SEED_TRACE names) replays with zdi_replay to the same buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "tests/support/point_lists.h"
#include "tests/support/test_host.h"
#include "trace/zd_trace_recorder.h"

namespace {

constexpr int32_t seeds = 240;
const char* const table_path = ZDI_SEED_TABLE;

uint64_t fnv1a(const void* bytes, std::size_t n, uint64_t h = 1469598103934665603ull) {
  for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<const uint8_t*>(bytes)[i]) * 1099511628211ull;
  return h;
}

struct Checksums {
  uint64_t color = 0, depth = 0;
  friend bool operator==(const Checksums&, const Checksums&) = default;
};

class Seed_Run {
public:
  Seed_Run(uint32_t seed, bool verbose) : rng_(seed), verbose_(verbose) {}

  Checksums run(Test_Host& host) {
    establish(host);
    const int32_t calls = 6 + int32_t(rng_() % 10);
    for (int32_t i = 0; i < calls; ++i) {
      rendition(host);
      call(host);
      EXPECT_TRUE(host.fences_intact()) << "after call " << i;
    }
    Checksums c;
    const auto colour = host.color_snapshot();
    const auto depth = host.depth_snapshot();
    c.color = fnv1a(colour.data(), colour.size() * sizeof(colour[0]));
    c.depth = fnv1a(depth.data(), depth.size() * sizeof(depth[0]));
    return c;
  }

private:
  int32_t between(int32_t low, int32_t high) {
    return low + int32_t(rng_() % uint32_t(int64_t(high) - low + 1));
  }
  // origin + offset, held to 32 bits.
  static int32_t at(int32_t origin, int64_t offset) {
    return int32_t(std::clamp<int64_t>(origin + offset, INT32_MIN, INT32_MAX));
  }
  void say(const std::string& s) {
    if (verbose_) std::printf("%s\n", s.c_str());
  }

  void establish(Test_Host& host) {
    const char config = "ABCDEF"[rng_() % 6];
    w_ = between(4, 48);
    h_ = between(4, 40);
    origin_ = rng_() % 3 ? ZT_Int_Point{between(-60, 60), between(-60, 60)}
                         : ZT_Int_Point{INT32_MAX - w_ + 1, INT32_MIN};
    ZT_Renderer_Options& o = *host.renderer->renderer_options();
    o.set_window_size({w_, h_});
    o.set_buffer_depth(config >= 'D' ? 16 : 0);
    o.set_color_system(config == 'C' || config == 'D' ? 0 : 1);
    o.set_alpha_blending(config == 'A' || config == 'E');
    o.set_window_origin(origin_);
    o.set_local_coordinates(rng_() % 5 == 0);
    ZT_Counted_Ptr<ZT_Palette> palette(
        ZT_Palette::with_color_cube({between(2, 6), between(2, 7), between(2, 6)}, between(0, 40)));
    o.set_palette(o.color_system() == 1 && rng_() % 2 ? nullptr : palette.get());
    ZD_Set_Option(host.renderer, "Use Mask", ZT_Option_Value(rng_() % 3 == 0));
    ZD_Set_Option(host.renderer, "Force Merge Control On", ZT_Option_Value(rng_() % 8 == 0));
    ZD_Set_Option(host.renderer, "Merge Control Background Color",
                  ZT_Option_Value(between(0, 255), between(0, 255), between(0, 255)));
    ASSERT_EQ(ZD_Establish(host.renderer), ZT_Established);
    origin_ = host.r().window_origin();
    host.fill_color(0);
    host.fill_depth(0xFFFF);
    // The recording sees what the host put into the buffers.
    ZD_Trace_Host_Entry(host.renderer, R"({"call": "set_buffers", "color": {"fill": "0"},)"
                                       R"( "depth": {"fill": "FFFF"}})");
    say(std::string("configuration ") + config + " window " + std::to_string(w_) + "x" +
        std::to_string(h_) + " at " + std::to_string(origin_.x) + "," + std::to_string(origin_.y));
  }

  ZT_RGB32 colour() {
    ZT_RGB32 c = ZT_RGB32::from_word(uint32_t(rng_()));
    if (rng_() % 3 == 0) c.a = rng_() % 2 ? 255 : 0;
    return c;
  }

  void rendition(Test_Host& host) {
    ZT_Rendition_Data* d = host.rendition.modify();
    d->depth_test_active = rng_() % 6 != 0;
    d->current_color = colour();
    d->current_index = uint8_t(rng_());
    d->contrast_color = colour();
    d->contrast_index = uint8_t(rng_());
    d->rectangle_color = colour();
    d->rectangle_index = uint8_t(rng_());
    d->drawing_mode = rng_() % 5 == 0 ? ZT_Drawing_Mode_Merge : 0;
    d->advanced_options = rng_() % 4 == 0 ? uint32_t(rng_() % 64) & 0x2C : 0;
    const int32_t l = between(-4, w_), b = between(-4, h_);
    d->hard_clip = {at(origin_.x, l), at(origin_.x, int64_t(l) + between(0, w_)), at(origin_.y, b),
                    at(origin_.y, int64_t(b) + between(0, h_))};
    if (rng_() % 3 == 0) d->hard_clip = {origin_.x, origin_.x + (w_ - 1), origin_.y, origin_.y + (h_ - 1)};
    d->complex_clip = ZT_Contour_Set();
    if (rng_() % 4 == 0) {
      ZT_Point q[4];
      for (ZT_Point& p : q)
        p = {float(origin_.x) + float(between(-2, w_ + 2)), float(origin_.y) + float(between(-2, h_ + 2)), 0};
      d->complex_clip = ZT_Contour_Set(4, q, false);
    }
    ZT_Face_Attributes* f = host.rendition.modify_face();
    const uint32_t pick = rng_() % 6;
    f->pattern_index = pick < 3 ? ZT_Pattern_Solid : pick == 3 ? ZT_Pattern_User : between(0, 73);
    f->pattern_flags = rng_() % 4;
    f->pattern_origin = {between(-9, 9), between(-9, 9)};
    f->user_pattern_width = between(1, 12);
    f->user_pattern_height = between(1, 6);
    f->user_pattern_row_bytes = (f->user_pattern_width + 7) / 8;
    f->user_pattern_bits.resize(std::size_t(f->user_pattern_height * f->user_pattern_row_bytes));
    for (uint8_t& bits : f->user_pattern_bits) bits = uint8_t(rng_());
    f->depth_offset = between(-200, 200);
    ZD_Set_ZBuffer_Test(host.renderer, between(0, 6));
    ZD_Set_ZBuffer_Write(host.renderer, rng_() % 4 != 0);
  }

  // A point inside the window, or for the slots that clip, sometimes far out.
  ZT_DCI_Point point(bool anywhere) {
    ZT_DCI_Point p{origin_.x + between(0, w_ - 1), origin_.y + between(0, h_ - 1), between(0, 65535)};
    if (anywhere && rng_() % 4 == 0) {
      p.x = at(origin_.x, between(-3000, 3000));
      p.y = at(origin_.y, between(-3000, 3000));
    }
    return p;
  }

  void call(Test_Host& host) {
    static const std::vector<ZT_Slot> point_slots = slots_with({"poly"});
    const uint32_t kind = rng_() % 10;
    const ZT_Rendition& d = host.rendition;
    if (kind < 6) {
      const ZT_Slot s = point_slots[rng_() % point_slots.size()];
      const bool anywhere = slot_named(s, "_2d");
      std::vector<ZT_DCI_Point> points(std::size_t(between(1, 9)));
      for (ZT_DCI_Point& p : points) p = point(anywhere);
      std::vector<ZT_RGB32> colours(points.size());
      for (ZT_RGB32& c : colours) c = colour();
      say(std::string(ZT_slot_name(s)) + " " + std::to_string(points.size()) + " points");
      draw_points(host, s, Point_List(points, colours, rng_() % 3 == 0));
    } else if (kind == 6) {
      const ZT_DCI_Point p = point(false);
      const ZT_RGB32 c = colour();
      say("draw_dci_dot");
      host.actions().call<ZT_Slot::draw_dci_dot>(d, &p, rng_() % 2 ? &c : nullptr);
    } else if (kind == 7) {
      const int32_t cw = between(1, 12), ch = between(1, 8);
      ZT_DCI_Point start = point(false);
      start.x = std::min(start.x, origin_.x + (w_ - 1));
      // The image stays inside the coordinates, also for windows at their ends.
      start.x = std::min(start.x, INT32_MAX - (cw - 1));
      start.y = std::max(start.y, INT32_MIN + (ch - 1));
      const ZT_DCI_Point end{start.x + (cw - 1), start.y - (ch - 1), between(0, 65535)};
      const int32_t bpp = rng_() % 3 == 0 ? 1 : rng_() % 2 ? 4 : 2;
      std::vector<uint8_t> pixels(std::size_t(cw * ch * bpp));
      for (uint8_t& byte : pixels) byte = uint8_t(rng_());
      if (bpp == 4) {
        say("draw_dci_rgb32_image");
        host.actions().call<ZT_Slot::draw_dci_rgb32_image>(
            d, &start, &end, cw * 4, reinterpret_cast<const ZT_RGB32*>(pixels.data()), 0, nullptr);
      } else if (bpp == 1) {
        say("draw_dci_index8_image");
        host.actions().call<ZT_Slot::draw_dci_index8_image>(d, &start, &end, cw, pixels.data());
      } else {
        say("put_depth_image");
        host.actions().call<ZT_Slot::put_depth_image>(d, &start, &end, cw * 2,
                                                      static_cast<const void*>(pixels.data()));
      }
    } else if (kind == 8) {
      say("span_dc_rectangle");
      host.actions().call<ZT_Slot::span_dc_rectangle>(d);
      host.rearm_fences();  // a full-width fill covers the row ends too
    } else {
      say("clear_depth_buffer");
      host.actions().call<ZT_Slot::clear_depth_buffer>(d);
      host.rearm_fences();
    }
  }

  std::mt19937 rng_;
  bool verbose_;
  int32_t w_ = 0, h_ = 0;
  ZT_Int_Point origin_;
};

std::map<int32_t, Checksums> read_table() {
  std::map<int32_t, Checksums> table;
  std::ifstream in(table_path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int32_t seed;
    Checksums c;
    fields >> seed >> std::hex >> c.color >> c.depth;
    table[seed] = c;
  }
  return table;
}

std::string text(const Checksums& c) {
  char s[40];
  std::snprintf(s, sizeof s, "%016llx %016llx", (unsigned long long)c.color,
                (unsigned long long)c.depth);
  return s;
}

Checksums run_seed(int32_t seed, bool verbose) {
  Test_Host host;
  Seed_Run run(uint32_t(seed), verbose);
  return run.run(host);
}

TEST(SeededRegression, EverySeedDrawsItsCheckedInChecksums) {
  if (const char* one = std::getenv("ZDI_SEED")) {
    const int32_t seed = std::atoi(one);
    const char* named = std::getenv("ZDI_SEED_TRACE");
    const std::string trace = named ? named : temporary_path("seed_" + std::to_string(seed) + ".json");
    ASSERT_TRUE(ZD_Start_Trace(trace));
    const Checksums c = run_seed(seed, true);
    ZD_Stop_Trace();
    std::printf("seed %d: %s (trace %s)\n", seed, text(c).c_str(), trace.c_str());
    const auto table = read_table();
    if (table.count(seed)) {
      EXPECT_EQ(text(c), text(table.at(seed)));
    }
    return;
  }
  const bool write = std::getenv("ZDI_SEED_TABLE") && std::string(std::getenv("ZDI_SEED_TABLE")) == "write";
  const auto table = read_table();
  std::ostringstream out;
  out << "# seed, colour checksum, depth checksum (tests/seeded_regression_test.cpp)\n";
  int32_t differing = 0;
  for (int32_t seed = 1; seed <= seeds; ++seed) {
    const Checksums c = run_seed(seed, false);
    out << seed << " " << text(c) << "\n";
    if (write) continue;
    auto it = table.find(seed);
    if (it == table.end() || !(it->second == c)) {
      ++differing;
      ADD_FAILURE() << "seed " << seed << " draws " << text(c) << ", the table has "
                    << (it == table.end() ? "nothing" : text(it->second))
                    << "; ZDI_SEED=" << seed << " replays it verbosely";
    }
  }
  if (write) std::ofstream(table_path) << out.str();
  EXPECT_EQ(differing, 0);
}

}  // namespace
