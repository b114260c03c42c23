// zdi_demo: the renderer demo.  A host program that loads the module, establishes
// it in the chosen configuration, draws the built-in scene or a mesh file through
// the action table (as one window, or tile by tile), presents it and writes what
// was presented as PNG.
#include <algorithm>
#include <cstdio>

#include "tools/buffer_contents.h"
#include "tools/default_scene.h"
#include "tools/demo_options.h"
#include "tools/mesh_loading.h"
#include "tools/png_writer.h"
#include "tools/shapes.h"
#include "tools/texture_images.h"
#include "tools/tiled_picture.h"

namespace {

// 64-bit FNV-1a over the picture's size and pixels, as 16 hex digits.
std::string picture_hash(const Window_Image& image) {
  uint64_t h = 0xcbf29ce484222325ull;
  auto mix = [&h](uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) h = (h ^ ((word >> shift) & 0xFF)) * 0x100000001b3ull;
  };
  mix(uint32_t(image.width));
  mix(uint32_t(image.height));
  for (uint32_t p : image.pixels) mix(image.indexed ? image.palette[p & 0xFF].word() : p);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  Demo_Options o;
  const Parse_Outcome parsed = parse_demo_options(argc, argv, o);
  if (parsed.kind == Parse_Outcome::help) {
    std::fputs(demo_usage, stdout);
    return 0;
  }
  if (parsed.kind == Parse_Outcome::error) {
    std::fprintf(stderr, "zdi_demo: %s\n(zdi_demo --help lists the options)\n",
                 parsed.message.c_str());
    return 2;
  }
  try {
    Mesh mesh;
    if (!o.mesh.empty()) {
      mesh = load_mesh(o.mesh);
      const Mesh_Report report = prepare_mesh(mesh, o.mesh);
      std::printf("%s: %zu vertices, %zu triangles\n", o.mesh.c_str(), mesh.positions.size(),
                  mesh.triangles.size());
      if (report.degenerate_faces)
        std::printf("  %zu degenerate faces (they draw nothing)\n", report.degenerate_faces);
      if (report.non_finite_faces)
        std::printf("  %zu faces left out: a coordinate is not a finite number\n",
                    report.non_finite_faces);
      if (report.non_manifold_edges)
        std::printf("  %zu edges shared by more than two faces (drawn two-sided)\n",
                    report.non_manifold_edges);
    }
    // The mesh's texture: the one asked for, else the one its material names.
    ZT_Counted_Ptr<ZT_Texture> texture;
    const std::string texture_path = !o.texture.empty() ? o.texture : mesh.texture_path;
    if (!texture_path.empty() && !o.mesh.empty()) {
      texture = load_png_texture(texture_path);
      const ZT_Shared_Image image = texture->image(0, 0);
      std::printf("texture %s: %dx%d texels\n", texture_path.c_str(), image->width,
                  image->height);
      if (mesh.texcoords.size() != mesh.triangles.size()) {
        project_texcoords(mesh, 1 / std::max(bounds_of(mesh).radius(), 1e-6f));
        std::printf("  the mesh has no texture coordinates: projected\n");
      }
    } else if (!o.texture.empty()) {
      std::printf("--texture applies to a mesh; the built-in scene keeps its own\n");
    }
    Host_Session session(o.module.empty() ? default_module_path() : o.module);
    const Camera camera = o.mesh.empty() ? default_scene_camera(o.yaw, o.pitch, o.zoom)
                                         : mesh_camera(mesh, o.yaw, o.pitch, o.zoom);
    const Viewport viewport(camera, o.width, o.height, {0, 0});
    const Lighting lighting = Lighting::studio(camera.eye);
    auto draw = [&](Scene_Painter& painter) {
      if (o.mesh.empty()) draw_default_scene(painter);
      else draw_mesh_scene(painter, mesh, o.shading, texture);
    };
    const bool tiled = o.tile_columns > 0;
    Window_Image tiles;
    if (tiled) {
      tiles = draw_in_tiles(session, o.configuration, viewport, lighting, o.tile_columns,
                            o.tile_rows, draw);
    } else {
      session.configure(o.width, o.height, o.configuration);
      ZD_Establish(session.renderer());
      Scene_Painter painter(session, viewport, lighting);
      draw(painter);
    }
    const Window_Image& picture = tiled ? tiles : session.presented();

    std::string error;
    if (!write_png(picture, o.output, &error)) {
      std::fprintf(stderr, "zdi_demo: %s\n", error.c_str());
      return 1;
    }
    std::printf("configuration %c, %dx%d", o.configuration.letter(), o.width, o.height);
    if (tiled) std::printf(" in %dx%d tiles", o.tile_columns, o.tile_rows);
    std::printf(": wrote %s\n", o.output.c_str());
    if (o.print_hash && tiled) std::printf("picture %s\n", picture_hash(picture).c_str());
    else if (o.print_hash)
      std::printf("color %s\ndepth %s\n", content_hash(session.color_buffer()).c_str(),
                  content_hash(session.depth_buffer()).c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zdi_demo: %s\n", e.what());
    return 1;
  }
}
