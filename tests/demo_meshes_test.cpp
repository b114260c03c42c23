// The demo's host-side geometry: mesh files read alike whatever their form,
// faulty meshes are reported or refused with a message, the painter hands the
// DC and DCI slots only points inside the window, and the matrix algebra keeps
// the properties lighting and framing rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/default_scene.h"
#include "tools/mesh_loading.h"
#include "tools/shapes.h"
#include "tests/support/test_host.h"
#include "tools/trace_replay.h"
#include "trace/zd_trace_recorder.h"

namespace {


std::string write_file(const std::string& name, const std::string& bytes) {
  const std::string path = temporary_path(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

const Vec3 tetrahedron[4][3] = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}},
                                {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                                {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}};

std::string ascii_stl() {
  std::string s = "solid tetra\n";
  for (const auto& f : tetrahedron) {
    s += " facet normal 0 0 0\n  outer loop\n";
    for (const Vec3& v : f)
      s += "   vertex " + std::to_string(v.x) + " " + std::to_string(v.y) + " " +
           std::to_string(v.z) + "\n";
    s += "  endloop\n endfacet\n";
  }
  return s + "endsolid tetra\n";
}

std::string binary_stl(const char* header) {
  std::string s(80, '\0');
  std::memcpy(s.data(), header, std::strlen(header));
  const uint32_t count = 4;
  s.append(reinterpret_cast<const char*>(&count), 4);
  for (const auto& f : tetrahedron) {
    float record[12] = {};
    for (int k = 0; k < 3; ++k) {
      record[3 + 3 * k] = f[k].x;
      record[4 + 3 * k] = f[k].y;
      record[5 + 3 * k] = f[k].z;
    }
    s.append(reinterpret_cast<const char*>(record), sizeof record);
    s.append(2, '\0');
  }
  return s;
}

// The binary tetrahedron with one coordinate of facet k (1-based) a NaN.
std::string binary_stl_with_nan_in_facet(int k) {
  std::string s = binary_stl("nan");
  const float nan = std::nanf("");
  std::memcpy(s.data() + 84 + std::size_t(k - 1) * 50 + 4 * 7, &nan, 4);
  return s;
}

void expect_same_mesh(const Mesh& a, const Mesh& b) {
  ASSERT_EQ(a.triangles.size(), b.triangles.size());
  ASSERT_EQ(a.positions.size(), b.positions.size());
  for (std::size_t i = 0; i < a.triangles.size(); ++i)
    for (int k = 0; k < 3; ++k) {
      const Vec3 p = a.positions[a.triangles[i][k]], q = b.positions[b.triangles[i][k]];
      EXPECT_EQ(p.x, q.x);
      EXPECT_EQ(p.y, q.y);
      EXPECT_EQ(p.z, q.z);
    }
}

TEST(MeshFiles, StlAsciiBinaryAndObjOfOneSolidLoadAlike) {
  std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 4 2\nf 1 3 4\nf 2 4 3\n";
  const Mesh from_ascii = load_mesh(write_file("tetra.stl", ascii_stl()));
  // A binary file whose header starts with "solid" is still binary: its size says so.
  const Mesh from_binary = load_mesh(write_file("tetra_bin.STL", binary_stl("solid but binary")));
  const Mesh from_obj = load_mesh(write_file("tetra.obj", obj));
  expect_same_mesh(from_ascii, from_binary);
  expect_same_mesh(from_ascii, from_obj);
  EXPECT_EQ(from_ascii.positions.size(), 4u);  // STL repeats corners; they are merged
}

// An OBJ's texture coordinates reach each face corner (a corner without one
// takes (0, 0)), its material's texture image is found beside it, and faces
// left out keep the coordinates of those kept in step.
TEST(MeshFiles, ObjTextureCoordinatesAndMaterialTexture) {
  write_file("skin.mtl", "newmtl skin\nmap_Kd skin.png\n");
  const std::string path = write_file(
      "textured.obj",
      "mtllib " + std::filesystem::path(temporary_path("skin.mtl")).filename().string() +
          "\nusemtl skin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1e99 0 0\nvt 0.25 0.5\nvt 1 0\n"
          "f 1/1 2/2 4/2\nf 1/1 2/2 3\n");
  Mesh m = load_mesh(path);
  ASSERT_EQ(m.texcoords.size(), 2u);
  EXPECT_EQ(m.texcoords[1][0], (Texcoord{0.25f, 0.5f}));
  EXPECT_EQ(m.texcoords[1][2], (Texcoord{0, 0}));
  EXPECT_EQ(m.texture_path, std::filesystem::path(path).parent_path().string() + "/skin.png");
  prepare_mesh(m, path);  // drops the face with a coordinate that is not finite
  ASSERT_EQ(m.triangles.size(), 1u);
  ASSERT_EQ(m.texcoords.size(), 1u);
  EXPECT_EQ(m.texcoords[0][1], (Texcoord{1, 0}));
}

TEST(MeshFiles, FaultyMeshIsReportedAndStillDrawable) {
  Mesh m = load_mesh(std::string(ZDI_TEST_MESHES) + "/degenerate_and_non_manifold.obj");
  const Mesh_Report r = prepare_mesh(m, "degenerate");
  EXPECT_EQ(r.non_finite_faces, 1u);
  EXPECT_EQ(r.degenerate_faces, 3u);  // (1 1 1), (1 2 2) and the zero-area sliver (1 2 7)
  EXPECT_EQ(r.non_manifold_edges, 2u);  // edge 1-3: quad diagonal and three fins; edge 1-2 too
  EXPECT_EQ(m.triangles.size(), 8u);
  for (const Vec3& n : m.normals) EXPECT_NEAR(length(n), 1.0f, 1e-5f);
}

TEST(MeshFiles, UnreadableFilesFailWithAMessage) {
  struct Case {
    std::string name, bytes, message;
  } cases[] = {
      {"empty.stl", "", "no faces"},
      {"empty.obj", "", "no faces"},
      {"noise.stl", "\x01\x02 not a mesh", "not an STL file"},
      {"short.stl", "solid x\n facet\n outer loop\n vertex 1 2\n", "three numbers"},
      {"points.obj", "v 0 0 0\nv 0 0 0\nv 0 0 0\nf 1 2 3\n", "no extent"},
      {"index.obj", "v 0 0 0\nv 1 0 0\nf 1 2 9\n", "index.obj:3: a face refers to a vertex"},
      {"mesh.ply", "ply\n", "unknown mesh format"},
      // A NaN, a word that is no number and a reference beyond 64 bits are
      // refused where they stand, not read as 0 or wrapped.
      {"nan.obj", "v 0 0 0\nv nan 1 0\n", "nan.obj:2: \"nan\" is not a coordinate (NaN)"},
      {"text.obj", "v 0 0 0\nv 1 two 0\n", "text.obj:2: \"two\" is not a number"},
      {"huge.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 18446744073709551619\n",
       "huge.obj:4: the reference \"18446744073709551619\" is out of range"},
      {"zero.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "zero.obj:4: vertex references start at 1"},
      {"nan_later.stl", ascii_stl().replace(ascii_stl().rfind("vertex"), 6, "vertex nan"),
       "nan_later.stl:27: \"nan\" is not a coordinate (NaN)"},
      {"nan_later_bin.stl", binary_stl_with_nan_in_facet(3), "facet 3: a vertex coordinate is not a number"},
  };
  for (const Case& c : cases) {
    try {
      Mesh m = load_mesh(write_file(c.name, c.bytes));
      prepare_mesh(m, c.name);
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const Mesh_Error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.name << ": " << e.what();
    }
  }
  EXPECT_THROW(load_mesh(temporary_path("does_not_exist.obj")), Mesh_Error);
}

// Records the calls of a drawing and checks the slot choice: DC and DCI slots
// take only points that round into the window; everything else went to the
// clipping slots because some point lies outside.
void expect_slots_fit_points(const zd_trace::json& calls, ZT_Int_Rectangle window) {
  int clipped = 0, unclipped = 0;
  for (const auto& call : calls) {
    const std::string name = call["call"];
    if (!call.contains("points") || name.find("polygon") != std::string::npos) continue;
    bool all_inside = true;
    for (const auto& p : call["points"]) {
      const double x = std::round(p[0].get<double>()), y = std::round(p[1].get<double>());
      all_inside &= x >= window.left && x <= window.right && y >= window.bottom && y <= window.top;
    }
    if (name.rfind("draw_dc_", 0) == 0 || name.rfind("draw_dci_", 0) == 0) {
      EXPECT_TRUE(all_inside) << call.dump();
      ++unclipped;
    } else if (name.find("polymarker") == std::string::npos) {
      EXPECT_FALSE(all_inside) << call.dump();
      ++clipped;
    }
  }
  EXPECT_GT(unclipped, 0);
  EXPECT_GT(clipped, 0);
}

TEST(Painter, DcAndDciSlotsGetOnlyPointsInsideTheWindow) {
  const std::string path = temporary_path("slots.json");
  for (Shading shading : {Shading::gouraud, Shading::flat, Shading::wireframe}) {
    Host_Session session(default_module_path());
    session.configure(50, 40, *configuration_named('C'));
    ASSERT_TRUE(ZD_Start_Trace(path));
    ZD_Establish(session.renderer());
    Mesh torus = make_torus(1, 0.4f, 16, 8);
    // Zoomed in so that the torus crosses the window's edges.
    const Camera camera = mesh_camera(torus, 0, 0, 4);
    const Viewport viewport(camera, 50, 40, {0, 0});
    Scene_Painter painter(session, viewport, Lighting::studio(camera.eye));
    draw_mesh_scene(painter, torus, shading);
    ZD_Stop_Trace();
    expect_slots_fit_points(read_trace_file(path, nullptr)["calls"], viewport.window());
  }
  std::remove(path.c_str());
}

TEST(Painter, FaultyMeshDrawsInEveryShadingAndConfiguration) {
  Mesh m = load_mesh(std::string(ZDI_TEST_MESHES) + "/degenerate_and_non_manifold.obj");
  prepare_mesh(m, "degenerate");
  for (char c : std::string("ABCDEF"))
    for (Shading shading : {Shading::gouraud, Shading::flat, Shading::wireframe, Shading::points}) {
      Host_Session session(default_module_path());
      session.configure(40, 30, *configuration_named(c));
      ZD_Establish(session.renderer());
      const Camera camera = mesh_camera(m, 0, 0, 1);
      Scene_Painter painter(session, Viewport(camera, 40, 30, {0, 0}), Lighting::studio(camera.eye));
      draw_mesh_scene(painter, m, shading);
      EXPECT_EQ(session.presented().width, 40);
    }
}

TEST(Geometry, NormalMatrixKeepsNormalsPerpendicularUnderNonUniformScale) {
  const Mat4 model = Mat4::rotation_y(0.7f) * Mat4::scaling({3, 0.5f, 1.5f}) * Mat4::rotation_x(-0.4f);
  const Mat4 normals = normal_matrix(model);
  const Vec3 n = normalized({1, 2, 3});
  for (Vec3 tangent : {Vec3{2, -1, 0}, Vec3{3, 0, -1}, Vec3{0, 3, -2}}) {
    ASSERT_NEAR(dot(n, tangent), 0, 1e-6f);
    EXPECT_NEAR(dot(transform_direction(normals, n), transform_direction(model, tangent)), 0, 1e-4f);
  }
}

TEST(Geometry, ViewportMapsNearToZeroFarTo65535AndTargetToTheCentre) {
  Camera c;
  c.eye = {0, 0, 10};
  c.near = 1;
  c.far = 20;
  const Viewport v(c, 200, 100, {50, -30});
  const auto near = v.device(Mat4::identity(), {0, 0, 9});
  const auto far = v.device(Mat4::identity(), {0, 0, -10});
  const auto centre = v.device(Mat4::identity(), {0, 0, 0});
  ASSERT_TRUE(near && far && centre);
  EXPECT_NEAR(near->z, 0, 1);
  EXPECT_NEAR(far->z, 65535, 1);
  EXPECT_NEAR(centre->x, 150, 1e-3);  // origin 50 + half of 200
  EXPECT_NEAR(centre->y, 20, 1e-3);   // origin -30 + half of 100
  EXPECT_FALSE(v.device(Mat4::identity(), {0, 0, 12}).has_value());  // behind the eye
}

}  // namespace
