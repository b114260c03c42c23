// The pre-clipped strips and polylines (double-precision points, installed with
// "Enable Tiling"): within the far band they draw exactly what the 2DI actions
// draw of the rounded local points; far geometry is cut and still drawn; what
// they hand on (origin, rendition, pieces, colours at cut points) seen through
// recording actions in the 2DI slots; the origin comes back when the integer
// action throws; hostile input; no heap up to 64 points.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <tuple>
#include <type_traits>

#include "pixel/window_local_call.h"
#include "tests/support/heap_counter.h"
#include "tests/support/random_strips.h"
#include "tests/support/test_host.h"

namespace {

enum Kind { Flat, Colorized, Gouraud };
constexpr Kind kinds[] = {Flat, Colorized, Gouraud};

// One call of a pre-clipped slot, or of its 2DI twin with integer points.
struct Call {
  Kind kind = Flat;
  bool line = false;
  std::vector<ZT_Point_D> points;
  std::vector<ZT_RGB32> colours;  // one per point
  bool single = false;
};

// Calls slot S with n points p and the call's colours, as its signature takes them.
template <ZT_Slot S, class P>
void call_slot(Test_Host& h, const Call& c, int32_t n, const P* p) {
  using F = typename ZT_Slot_Traits<S>::Function*;
  const ZT_RGB32* colours = c.colours.empty() ? nullptr : c.colours.data();
  if constexpr (std::is_invocable_v<F, ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const P*>)
    h.actions().call<S>(h.rendition, n, p);
  else if constexpr (std::is_invocable_v<F, ZT_Renderer_Data*, const ZT_Rendition&, int32_t,
                                         const P*, const ZT_RGB32*, bool>)
    h.actions().call<S>(h.rendition, n, p, colours, c.single);
  else
    h.actions().call<S>(h.rendition, n, p, colours);
}

// f.operator()<pre-clipped slot, its 2DI twin>() for the call's kind.
template <class F>
void with_slots(const Call& c, F&& f) {
  using S = ZT_Slot;
  if (!c.line && c.kind == Flat)
    f.template operator()<S::draw_preclip_polytriangle, S::draw_2di_polytriangle>();
  if (!c.line && c.kind == Colorized)
    f.template operator()<S::draw_preclip_colorized_polytriangle,
                          S::draw_2di_colorized_polytriangle>();
  if (!c.line && c.kind == Gouraud)
    f.template operator()<S::draw_preclip_gouraud_polytriangle, S::draw_2di_gouraud_polytriangle>();
  if (c.line && c.kind == Flat) f.template operator()<S::draw_preclip_polyline, S::draw_2di_polyline>();
  if (c.line && c.kind == Colorized)
    f.template operator()<S::draw_preclip_colorized_polyline, S::draw_2di_colorized_polyline>();
  if (c.line && c.kind == Gouraud)
    f.template operator()<S::draw_preclip_gouraud_polyline, S::draw_2di_gouraud_polyline>();
}

void draw_preclipped(Test_Host& h, const Call& c) {
  with_slots(c, [&]<ZT_Slot Pre, ZT_Slot>() {
    call_slot<Pre>(h, c, int32_t(c.points.size()), c.points.data());
  });
}
void draw_2di(Test_Host& h, const Call& c, const std::vector<ZT_DCI_Point>& q) {
  with_slots(c, [&]<ZT_Slot, ZT_Slot Int>() { call_slot<Int>(h, c, int32_t(q.size()), q.data()); });
}

// Halves upward: 2.5 becomes 3, -2.5 becomes -2.
int64_t round_half_up(double v) { return int64_t(v >= 0 ? v + 0.5 : v - 0.49999999999); }

std::vector<ZT_DCI_Point> local_points(const std::vector<ZT_Point_D>& p, ZT_Int_Point origin) {
  std::vector<ZT_DCI_Point> q;
  for (const ZT_Point_D& d : p)
    q.push_back({int32_t(round_half_up(d.x) - origin.x), int32_t(round_half_up(d.y) - origin.y),
                 int32_t(round_half_up(d.z))});
  return q;
}

Test_Host& with_tiling(Test_Host& h) {
  h.set_option("Enable Tiling", ZT_Option_Value(true));
  h.establish_again();
  return h;
}

ZT_Contour_Set moved(const ZT_Contour_Set& c, ZT_Int_Point by) {
  std::vector<std::vector<ZT_Point>> contours = c->contours;
  for (auto& contour : contours)
    for (ZT_Point& p : contour) p = {p.x + float(by.x), p.y + float(by.y), p.z};
  return ZT_Contour_Set(std::move(contours));
}

// The rendition and depth settings of from, for a host whose window origin
// lies by `by` lower: the hard clip and the complex clip moved with it.
void copy_state(const Test_Host& from, Test_Host& to, ZT_Int_Point by, ZT_Int_Rectangle clip) {
  to.rendition = ZT_Rendition(new ZT_Rendition_Data(*from.rendition));
  ZT_Rendition_Data* d = to.rendition.modify();
  d->hard_clip = clip;
  if (!d->complex_clip.empty()) d->complex_clip = moved(d->complex_clip, {-by.x, -by.y});
  to.r().depth_test_mode = from.r().depth_test_mode;
  to.r().depth_write = from.r().depth_write;
}

// ---- Within the band: the 2DI draw of the rounded local points ---------------

TEST(PreclipActions, WithinTheFarBandTheyDrawWhatTheTwoDIActionsDrawOfTheRoundedLocalPoints) {
  constexpr int32_t W = 48, H = 40;
  const ZT_Int_Point origins[] = {{0, 0}, {137, -58}, {-3000, 7000}, {INT32_MAX - 100, INT32_MIN + 50}};
  int32_t draws = 0;
  for (char config : every_configuration)
    for (ZT_Int_Point o : origins) {
      Test_Host tiled(config, W, H, o), plain(config, W, H);
      with_tiling(tiled);
      for (Test_Host* h : {&tiled, &plain}) h->set_option("Use Mask", ZT_Option_Value(true));
      tiled.establish_again();
      plain.establish_again();
      std::mt19937 rng{uint32_t(config * 131) + uint32_t(o.x)};
      for (int32_t round = 0; round < 30; ++round) {
        std::mt19937 fill = rng;
        fill_random(tiled, fill);
        fill = rng;
        fill_random(plain, fill);
        randomise_state(tiled, rng);
        // The complex clip and the hard clip in device coordinates: within the
        // window, the whole 32-bit plane, or partly or wholly off the window.
        ZT_Rendition_Data* d = tiled.rendition.modify();
        if (!d->complex_clip.empty()) d->complex_clip = moved(d->complex_clip, o);
        int64_t l = int64_t(rng() % W) - 8, b = int64_t(rng() % H) - 8;
        int64_t r = l + rng() % 60, t = b + rng() % 60;
        if (round % 7 == 3) l = W + 5, r = W + 9;
        using pixel::saturated;
        d->hard_clip = {saturated(o.x + l), saturated(o.x + r), saturated(o.y + b), saturated(o.y + t)};
        if (round % 5 == 0) d->hard_clip = {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX};
        const ZT_Int_Rectangle& c = d->hard_clip;
        copy_state(tiled, plain, o,
                   {saturated(int64_t(c.left) - o.x), saturated(int64_t(c.right) - o.x),
                    saturated(int64_t(c.bottom) - o.y), saturated(int64_t(c.top) - o.y)});
        // Points near the window (halves among them), far within the band, and
        // on its edge.
        auto coordinate = [&](int32_t origin, int32_t size) {
          const double near = double(int32_t(rng() % uint32_t(size + 40)) - 20);
          double v = 0;
          switch (rng() % 6) {
          case 0: v = near + 0.5; break;
          case 1: v = -near - 0.5; break;
          case 2: v = (rng() % 2 ? 1.0 : -1.0) * pixel::far_reach; break;
          case 3: v = (double(rng()) - 2147483648.0) / 1024; break;
          default: v = near + double(rng() % 1000) / 1000;
          }
          return std::clamp(double(origin) + v, double(INT32_MIN), double(INT32_MAX));
        };
        Call call;
        call.kind = kinds[rng() % 3];
        call.line = rng() % 2;
        call.single = rng() % 3 == 0;
        const int32_t n = 2 + int32_t(rng() % 8);
        for (int32_t k = 0; k < n; ++k)
          call.points.push_back({coordinate(o.x, W), coordinate(o.y, H), double(rng() % 65536)});
        call.colours = random_colours(rng, n, Reference_Kind::Gouraud);
        draw_preclipped(tiled, call);
        draw_2di(plain, call, local_points(call.points, o));
        ++draws;
        const std::string what = std::string(1, config) + " origin " + std::to_string(o.x) +
                                 " round " + std::to_string(round);
        ASSERT_TRUE(same_buffers(tiled, plain)) << what;
        ASSERT_TRUE(tiled.fences_intact()) << what;
        ASSERT_EQ(tiled.r().window_origin(), o) << what;
      }
    }
  EXPECT_EQ(draws, 6 * 4 * 30);
}

// ---- What is handed on ----------------------------------------------------------

struct Handed_On {
  ZT_Slot slot;
  std::vector<ZT_DCI_Point> points;
  std::vector<ZT_RGB32> colours;
  bool single = false;
  ZT_Int_Rectangle hard_clip;
  ZT_Int_Point origin;
};
std::vector<Handed_On> handed_on;

template <ZT_Slot S, class Fn = typename ZT_Slot_Traits<S>::Function>
struct Recorder;
template <ZT_Slot S, class... Colours>
struct Recorder<S, void(ZT_Renderer_Data*, const ZT_Rendition&, int32_t, const ZT_DCI_Point*,
                        Colours...)> {
  static void run(ZT_Renderer_Data* r, const ZT_Rendition& d, int32_t n, const ZT_DCI_Point* p,
                  Colours... c) {
    handed_on.push_back({S, {p, p + n}, {}, false, d->hard_clip,
                         pixel::Renderer_State::of(r).window_origin()});
    if constexpr (sizeof...(Colours) == 2) {  // colorized: the first colour, the single flag
      const auto [colours, single] = std::tuple(c...);
      handed_on.back().colours.assign(colours, colours + 1);
      handed_on.back().single = single;
    } else if constexpr (sizeof...(Colours) == 1) {  // Gouraud: one per point
      const ZT_RGB32* colours = (c, ...);
      handed_on.back().colours.assign(colours, colours + n);
    }
  }
};

void record_hand_ons(Test_Host& h) {
  for (Kind k : kinds)
    for (bool line : {false, true})
      with_slots(Call{k, line, {}, {}, false}, [&]<ZT_Slot, ZT_Slot Int>() {
        h.actions().install<Int>(h.renderer, &Recorder<Int>::run);
      });
  handed_on.clear();
}

TEST(PreclipActions, HandOnLocalPointsInOneCallWithTheHardClipReducedToTheWindow) {
  const ZT_Int_Point o{100, -50};
  Test_Host h('F', 40, 30, o);
  record_hand_ons(with_tiling(h));
  // Hard clips beyond the window on every side, over part of it, and off it.
  const ZT_Int_Rectangle clips[] = {{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX},
                                    {90, 120, -45, 1000},
                                    {200, 300, -50, -21}};
  const ZT_Int_Rectangle reduced[] = {{0, 39, 0, 29}, {0, 20, 5, 29}, {40, 39, 0, 29}};
  for (int32_t i = 0; i < 3; ++i) {
    h.rendition.modify()->hard_clip = clips[i];
    for (Kind k : kinds)
      for (bool line : {false, true}) {
        Call c{k, line, {{102.5, -47.5, 7}, {97.5, -52.5, 8.5}, {1e6, -1e6, 9}, {130.25, -20.75, 1}},
               {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}, false};
        handed_on.clear();
        draw_preclipped(h, c);
        ASSERT_EQ(handed_on.size(), 1u);
        const Handed_On& got = handed_on[0];
        EXPECT_EQ(got.origin, (ZT_Int_Point{0, 0}));
        EXPECT_EQ(got.hard_clip, reduced[i]);
        const std::vector<ZT_DCI_Point> want{{3, 3, 7}, {-2, -2, 9}, {999900, -999950, 9}, {30, 29, 1}};
        ASSERT_EQ(got.points.size(), 4u);
        for (std::size_t p = 0; p < 4; ++p)
          EXPECT_TRUE(got.points[p].x == want[p].x && got.points[p].y == want[p].y &&
                      got.points[p].z == want[p].z) << p;
        EXPECT_EQ(got.colours.size(), k == Flat ? 0u : k == Colorized ? 1u : 4u);
      }
    // The caller's rendition and the window origin are as they were.
    EXPECT_EQ(h.rendition->hard_clip, clips[i]);
    EXPECT_EQ(h.r().window_origin(), o);
  }
}

// Gouraud colours of cut points lie on the plane (strip) or the line (polyline)
// through the colours of the original points.
TEST(PreclipActions, GouraudColoursAtCutPointsFollowTheOriginalPoints) {
  Test_Host h('F', 16, 16);
  record_hand_ons(with_tiling(h));
  const double reach = pixel::far_reach;
  Call line{Gouraud, true, {{-3e9, 8, 0}, {3e9, 8, 0}}, {{0, 0, 0}, {255, 60, 200, 100}}, false};
  draw_preclipped(h, line);
  ASSERT_EQ(handed_on.size(), 1u);
  for (int32_t e = 0; e < 2; ++e) {
    const double t = (handed_on[0].points[std::size_t(e)].x + 3e9) / 6e9;
    EXPECT_NEAR(t, e ? (3e9 + reach) / 6e9 : (3e9 - reach) / 6e9, 1e-9);
    const ZT_RGB32 c = handed_on[0].colours[std::size_t(e)];
    EXPECT_NEAR(c.r, 255 * t, 0.51);
    EXPECT_NEAR(c.g, 60 * t, 0.51);
    EXPECT_NEAR(c.b, 200 * t, 0.51);
    EXPECT_NEAR(c.a, 255 - 155 * t, 0.51);
  }
  // Red grows with x, green with y, blue is constant.
  const ZT_Point_D a{0, 0, 0}, b{4e9, 0, 0}, c{0, 4e9, 0};
  Call strip{Gouraud, false, {a, b, c}, {{0, 0, 90}, {200, 0, 90}, {0, 200, 90}}, false};
  handed_on.clear();
  draw_preclipped(h, strip);
  ASSERT_EQ(handed_on.size(), 1u);
  for (std::size_t i = 0; i < handed_on[0].points.size(); ++i) {
    const ZT_DCI_Point p = handed_on[0].points[i];
    const ZT_RGB32 got = handed_on[0].colours[i];
    EXPECT_NEAR(got.r, 200 * double(p.x) / 4e9, 0.51) << i;
    EXPECT_NEAR(got.g, 200 * double(p.y) / 4e9, 0.51) << i;
    EXPECT_EQ(got.b, 90) << i;
  }
}

template <ZT_Slot S, class Fn = typename ZT_Slot_Traits<S>::Function>
struct Thrower;
template <ZT_Slot S, class... A>
struct Thrower<S, void(ZT_Renderer_Data*, const ZT_Rendition&, A...)> {
  static void run(ZT_Renderer_Data*, const ZT_Rendition&, A...) {
    throw std::runtime_error("the integer action failed");
  }
};

TEST(PreclipActions, WindowOriginComesBackWhenTheIntegerActionThrows) {
  const ZT_Int_Point o{-77, 12345};
  Test_Host h('D', 24, 24, o);
  with_tiling(h);
  for (Kind k : kinds)
    for (bool line : {false, true})
      with_slots(Call{k, line, {}, {}, false}, [&]<ZT_Slot, ZT_Slot Int>() {
        h.actions().install<Int>(h.renderer, &Thrower<Int>::run);
      });
  const ZT_Rendition_Data* before = h.rendition.data();
  for (Kind k : kinds)
    for (bool line : {false, true})
      for (double far : {0.0, 1e12}) {  // a whole strip, and a cut piece
        Call c{k, line, {{-70, 20, 0}, {-60, 20, 0}, {-70 + far, 30 + far, 0}}, {{}, {}, {}}, false};
        EXPECT_THROW(draw_preclipped(h, c), std::runtime_error);
        EXPECT_EQ(h.r().window_origin(), o);
        EXPECT_EQ(h.rendition.data(), before);
        EXPECT_EQ(h.rendition->hard_clip, (ZT_Int_Rectangle{-77, -54, 12345, 12368}));
      }
}

// ---- Far geometry drawn ---------------------------------------------------------

// A strip of two inside triangles and a quad reaching x = 1e12 covers what the
// same strip with the quad ending at the window's right edge covers, in every
// configuration (blending included: each pixel once).
TEST(PreclipActions, FarGeometryIsDrawnAsItsPartInTheWindow) {
  constexpr int32_t W = 40, H = 48;
  for (char config : every_configuration)
    for (Kind k : {Flat, Colorized}) {
      Test_Host tiled(config, W, H, {-7, 3}), reference(config, W, H, {-7, 3});
      with_tiling(tiled);
      for (Test_Host* h : {&tiled, &reference}) {
        h->fill_color(0x11223344);
        h->rendition.modify()->current_color = {200, 90, 30, 160};
      }
      auto strip = [](double right) {
        return std::vector<ZT_Point_D>{{23, 49, 500},  {3, 49, 500},  {-2, 8, 500},
                                       {-2, 43, 500},  {right, 8, 500}, {right, 43, 500}};
      };
      const std::vector<ZT_RGB32> colours(6, ZT_RGB32(40, 200, 120, 99));
      draw_preclipped(tiled, Call{k, false, strip(1e12), colours, true});
      const std::vector<ZT_Point_D> edge = strip(W - 7);
      draw_2di(reference, Call{k, false, edge, colours, true}, local_points(edge, {0, 0}));
      EXPECT_TRUE(same_buffers(tiled, reference)) << config << " kind " << k;
    }
}

// A polyline that leaves the band and comes back, along axis-aligned segments:
// the same pixels as with its far points just outside the window.
TEST(PreclipActions, PolylineLeavingAndReenteringTheBandDrawsItsVisibleSegments) {
  constexpr int32_t W = 40, H = 40;
  auto path = [](double far) {
    return std::vector<ZT_Point_D>{{5, 5, 9},     {far, 5, 9},    {far, 15, 9},  {10, 15, 9},
                                   {10, -far, 9}, {30, -far, 9},  {30, 35, 9},   {-far, 35, 9},
                                   {-far, 25, 9}, {far, 25, 9},   {far, 20, 9},  {20, 20, 9}};
  };
  for (char config : every_configuration)
    for (Kind k : {Flat, Colorized}) {
      Test_Host tiled(config, W, H), reference(config, W, H);
      with_tiling(tiled);
      std::vector<ZT_RGB32> colours;
      for (uint8_t i = 0; i < 12; ++i) colours.push_back({uint8_t(20 * i), 100, 200, 140});
      draw_preclipped(tiled, Call{k, true, path(7e11), colours, false});
      const std::vector<ZT_Point_D> near = path(1000);
      draw_2di(reference, Call{k, true, near, colours, false}, local_points(near, {0, 0}));
      EXPECT_TRUE(same_buffers(tiled, reference)) << config << " kind " << k;
    }
}

// ---- Hostile input and the heap -------------------------------------------------

TEST(PreclipActions, HostileInputNeverWritesOutsideTheBuffersOrTheClip) {
  constexpr int32_t W = 24, H = 16;
  const double values[] = {NAN, INFINITY, -INFINITY, 1e12, -1e12, 1e300, 4294967296.0,
                           -2147483649.0, 1073741824.5, 3, 12.5, -0.5};
  const int32_t counts[] = {-3, 0, 1, 2, 3, 5, 64, 65};
  for (char config : every_configuration) {
    Test_Host h(config, W, H, {INT32_MAX - 30, INT32_MIN + 3});
    with_tiling(h);
    std::mt19937 rng{uint32_t(config)};
    const ZT_Int_Point o = h.r().window_origin();
    const ZT_Int_Rectangle clip{o.x + 3, o.x + 15, o.y + 2, o.y + 9};
    for (int32_t round = 0; round < 120; ++round) {
      h.rendition.modify()->hard_clip = clip;
      Call c;
      c.kind = kinds[rng() % 3];
      c.line = rng() % 2;
      const int32_t n = counts[rng() % 8];
      for (int32_t k = 0; k < std::max(n, 0); ++k) {
        auto pick = [&](int32_t origin) {
          return rng() % 2 ? values[rng() % 12] : double(origin) + double(int32_t(rng() % 40)) - 8;
        };
        c.points.push_back({pick(o.x), pick(o.y), rng() % 4 ? 1000.0 : values[rng() % 12]});
      }
      if (rng() % 5) c.colours = random_colours(rng, std::max(n, 1), Reference_Kind::Gouraud);
      const std::vector<uint32_t> before = h.color_snapshot();
      if (n < 0) {
        c.points.resize(3);
        draw_preclipped(h, c);
        continue;
      }
      draw_preclipped(h, c);
      const std::string what = std::string(1, config) + " round " + std::to_string(round);
      ASSERT_TRUE(h.fences_intact()) << what;
      ASSERT_EQ(h.r().window_origin(), o) << what;
      const std::vector<uint32_t> after = h.color_snapshot();
      for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
          if (x < 3 || x > 15 || y < 2 || y > 9) {
            ASSERT_EQ(after[std::size_t(x + W * y)], before[std::size_t(x + W * y)]) << what;
          }
    }
  }
}

TEST(PreclipActions, UpTo64PointsNeverTouchTheHeap) {
  Test_Host h('F', 32, 32, {500, 500});
  with_tiling(h);
  for (Kind k : kinds)
    for (bool line : {false, true})
      for (int32_t n : {3, 64, 65}) {
        Call c{k, line, {}, {}, false};
        for (int32_t i = 0; i < n; ++i)  // inside runs, far points and cuts
          c.points.push_back({500.0 + (i % 7 == 3 ? 1e12 : double(i % 5) * 7),
                              500.0 + double(i % 3) * 9, 100});
        c.colours.assign(std::size_t(n), ZT_RGB32(9, 8, 7));
        const long before = heap_allocations;
        draw_preclipped(h, c);
        if (n <= 64) EXPECT_EQ(heap_allocations - before, 0) << k << line << n;
        else EXPECT_GT(heap_allocations - before, 0) << k << line << n;
      }
}

}  // namespace
