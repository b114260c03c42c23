// The demo drawn in tiles: each tile a window of its own (its origin, its
// establish with "Enable Tiling"), the scene handed over in double-precision
// device coordinates through the pre-clipped slots.  Tiles cover the picture
// once; the tiled picture equals the picture drawn in one window through the
// same tile rectangles as clips, bit for bit, in every configuration, for the
// built-in scene and a corridor seen from inside (faces cut at the near plane,
// points far outside the picture); one tile equals the picture drawn through
// the window's own slots; hidden-line shading hides the edges behind faces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "host/zd_fallback_log.h"
#include "tests/support/test_host.h"
#include "tools/default_scene.h"
#include "tools/shapes.h"
#include "tools/tiled_picture.h"

namespace {

constexpr int32_t W = 256, H = 192;

struct Scene {
  const char* name;
  Camera camera;
  std::function<void(Scene_Painter&)> draw;
};

// A corridor 1 × 1 × 8 along z, closed at both ends.
Mesh corridor() {
  Mesh m = make_cube(1);
  for (Vec3& p : m.positions) p = p * Vec3{0.5f, 0.5f, 4};
  m.compute_normals();
  return m;
}

std::vector<Scene> scenes() {
  static const Mesh inside = corridor();
  std::vector<Scene> s;
  s.push_back({"built-in scene", default_scene_camera(0, 0, 1), draw_default_scene});
  // The camera inside the corridor looking along it: its walls reach behind
  // the camera.
  for (Shading shading : {Shading::flat, Shading::gouraud, Shading::hidden_line})
    s.push_back({"corridor", mesh_camera(inside, -28, -18, 4),
                 [shading](Scene_Painter& p) { draw_mesh_scene(p, inside, shading); }});
  return s;
}

Window_Image picture(const Scene& s, char config, int32_t columns, int32_t rows,
                     bool one_window) {
  Host_Session session(default_module_path());
  const Viewport viewport(s.camera, W, H, {0, 0});
  return draw_in_tiles(session, *configuration_named(config), viewport,
                       Lighting::studio(s.camera.eye), columns, rows, s.draw, one_window);
}

Window_Image window_picture(const Scene& s, char config) {
  Host_Session session(default_module_path());
  session.configure(W, H, *configuration_named(config));
  ZD_Establish(session.renderer());
  Scene_Painter painter(session, Viewport(s.camera, W, H, {0, 0}), Lighting::studio(s.camera.eye));
  s.draw(painter);
  return session.presented();
}

int32_t differences(const Window_Image& a, const Window_Image& b) {
  if (a.pixels.size() != b.pixels.size()) return -1;
  int32_t n = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

TEST(DemoTiles, TilesCoverThePictureOnceOnMultiplesOfEight) {
  for (auto [columns, rows] : {std::pair{1, 1}, {3, 2}, {7, 5}, {40, 40}}) {
    const ZT_Int_Rectangle whole{-5, 300 - 6, 17, 17 + 201 - 1};
    std::vector<int32_t> cover(300 * 201);
    for (const ZT_Int_Rectangle& t : tile_rectangles(whole, columns, rows)) {
      EXPECT_EQ((t.left - whole.left) % 8, 0);
      EXPECT_EQ((t.bottom - whole.bottom) % 8, 0);
      for (int32_t y = t.bottom; y <= t.top; ++y)
        for (int32_t x = t.left; x <= t.right; ++x)
          ++cover[std::size_t((x - whole.left) + 300 * (y - whole.bottom))];
    }
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), int32_t(cover.size()))
        << columns << "x" << rows;
  }
}

// Tiles against one window drawn through the same rectangles: what differs is
// only the window origin, the buffers and the establish per tile.  (Against
// the picture drawn through the whole window as the clip, triangles that cross
// a tile's edge are clipped in the tiles only: see docs/tiling.md.)
TEST(DemoTiles, TiledEqualsOneWindowDrawnThroughTheSameTiles) {
  for (const Scene& s : scenes())
    for (char config : every_configuration) {
      const Window_Image tiled = picture(s, config, 3, 2, false);
      const Window_Image one = picture(s, config, 3, 2, true);
      ASSERT_EQ(tiled.width, W);
      EXPECT_EQ(tiled.palette.empty(), config != 'C' && config != 'D');
      EXPECT_EQ(differences(tiled, one), 0) << s.name << " in " << config;
    }
}

// (In D the crate's faces lit by their material differ at a few pixels: the
// window hands the faces inside it to the DC and DCI actions, which light
// texels themselves, where a tile hands every face to the 2DI action, which
// leaves lit faces to the host, and the host lights per vertex.)
TEST(DemoTiles, OneTileEqualsTheWindowDrawnThroughItsOwnSlots) {
  const Scene s = scenes()[0];
  for (char config : every_configuration) {
    const int32_t differ = differences(picture(s, config, 1, 1, false), window_picture(s, config));
    if (config == 'D') {
      EXPECT_GE(differ, 0);
      EXPECT_LE(differ, 16);
    } else {
      EXPECT_EQ(differ, 0) << config;
    }
  }
}

// The checkered floor, which the host draws perspective-correct by cutting it
// into small pieces, in one window and in tiles, in every configuration: the
// centre of every checker square big enough to see is light or dark as its
// place on the checkerboard says.  Drawn affine, the two big triangles of the
// floor put most squares in the wrong place.  The host's textured routine was
// reached in every configuration.
TEST(DemoTiles, FloorIsTexturedInPerspectiveEverywhere) {
  const Camera camera = default_scene_camera(0, 0, 1);
  const Scene floor{"floor", camera, [](Scene_Painter& p) {
                      p.clear({0, 0, 0, 255});
                      draw_checkered_floor(p);
                      p.present();
                    }};
  const Viewport viewport(camera, W, H, {0, 0});
  const Floor_Quad q = checkered_floor();
  const float square = q.repeat / 2;  // two squares a side in the texture
  auto brightness = [](const Window_Image& image, int32_t x, int32_t y) {
    uint32_t c = image.pixels[std::size_t((H - 1 - y) * W + x)];
    if (image.indexed) c = image.palette[c].word();
    return int32_t((c >> 16) & 0xFF) + int32_t((c >> 8) & 0xFF) + int32_t(c & 0xFF);
  };
  for (char config : every_configuration) {
    ZD_Fallback_Log::clear();
    const Window_Image window = window_picture(floor, config);
    int32_t textured_calls = 0;
    for (const ZD_Fallback_Call& call : ZD_Fallback_Log::calls())
      textured_calls += call.function.find("Textured") != std::string::npos;
    EXPECT_GT(textured_calls, 0) << config;
    const Window_Image tiled = picture(floor, config, 3, 2, false);
    int32_t checked = 0;
    for (float x = q.left + square / 2; x < q.right; x += square)
      for (float z = q.back + square / 2; z < q.front; z += square) {
        // A square whose corners lie at least 4 pixels from its centre on the
        // screen, well inside the window.
        const auto centre = viewport.device_point(Mat4::identity(), {x, q.height, z});
        const auto corner = viewport.device_point(
            Mat4::identity(), {x + square / 2, q.height, z + square / 2});
        if (!centre || !corner || std::abs(corner->x - centre->x) < 4 ||
            std::abs(corner->y - centre->y) < 4)
          continue;
        const int32_t px = int32_t(std::floor(centre->x)), py = int32_t(std::floor(centre->y));
        if (px < 2 || px >= W - 2 || py < 2 || py >= H - 2) continue;
        const int column = int(std::floor((x - q.left) / square)),
                  row = int(std::floor((z - q.back) / square));
        const bool light = (column + row) % 2 == 0;
        for (const Window_Image* image : {&window, &tiled})
          EXPECT_EQ(brightness(*image, px, py) > 420, light) << brightness(*image, px, py)
              << config << (image == &window ? " window" : " tiles") << " square " << column
              << ", " << row << " at " << px << ", " << py;
        ++checked;
      }
    EXPECT_GT(checked, 20) << config;
  }
}

// From inside the corridor every pixel shows a wall: faces reaching behind
// the camera are cut at the near plane, not left out.
TEST(DemoTiles, CameraInsideAMeshSeesItAllRound) {
  const Scene s = scenes()[1];
  const Window_Image tiled = picture(s, 'F', 2, 2, false);
  const Window_Image empty = picture({"nothing", s.camera,
                                      [](Scene_Painter& p) {
                                        p.clear({22, 26, 38, 255});
                                        p.present();
                                      }},
                                     'F', 2, 2, false);
  EXPECT_EQ(differences(tiled, empty), int32_t(tiled.pixels.size()));
}

// Hidden-line shading of a closed mesh draws a subset of its wireframe's
// pixels, leaving out the edges behind its faces, with a depth buffer and by
// sorting alike.
TEST(DemoTiles, HiddenLineShowsOnlyTheEdgesInFront) {
  const Mesh ball = make_icosphere(1, 1);
  const Camera camera = mesh_camera(ball, 0, 0, 1);
  for (char config : std::string("BF")) {
    auto draw = [&](Shading shading) {
      return window_picture({"ball", camera,
                             [&](Scene_Painter& p) { draw_mesh_scene(p, ball, shading); }},
                            config);
    };
    const Window_Image hidden = draw(Shading::hidden_line), wire = draw(Shading::wireframe);
    const uint32_t background = hidden.pixels[0];
    int32_t shown = 0, hidden_edges = 0;
    for (std::size_t i = 0; i < hidden.pixels.size(); ++i) {
      if (hidden.pixels[i] != background) {
        ++shown;
        EXPECT_NE(wire.pixels[i], background) << config << " pixel " << i;
      }
      hidden_edges += hidden.pixels[i] == background && wire.pixels[i] != background;
    }
    EXPECT_GT(shown, 500) << config;
    EXPECT_GT(hidden_edges, shown / 4) << config;
  }
}

}  // namespace
