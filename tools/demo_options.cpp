#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/demo_options.h"
#include "tools/number_text.h"

const char* const demo_usage =
    "usage: zdi_demo [MESH.obj | MESH.stl] [options]\n"
    "Loads the renderer module, establishes it, draws a scene through its action\n"
    "table as a host does, presents it and writes what was presented as PNG.\n"
    "Without a mesh it draws the built-in scene.\n"
    "\n"
    "  -o, --output FILE      PNG to write (default zdi_demo.png)\n"
    "  --size WxH             window size in pixels (default 640x480)\n"
    "  --config A..F          a pixel configuration by its letter; shortcut for:\n"
    "  --depth on|off         16-bit depth buffer (default on)\n"
    "  --color true|palette   32-bit true colour, or 8-bit indices into a palette with\n"
    "                         a 6x6x6 colour cube (default true)\n"
    "  --blend on|off         alpha blending (default off)\n"
    "  --camera YAW,PITCH[,ZOOM]  turn the camera about the scene (degrees) and zoom\n"
    "                         (above 1 closer); default 0,0,1\n"
    "  --shading gouraud|flat|wireframe|points|hidden-line  how a mesh is drawn\n"
    "                         (default gouraud; hidden-line: faces in the background\n"
    "                         colour, their edges on top)\n"
    "  --texture FILE.png     a texture for the mesh (default: the image its OBJ\n"
    "                         material names, if any); sides not powers of two are\n"
    "                         scaled to the nearest; a mesh without texture\n"
    "                         coordinates gets them by projection\n"
    "  --tiles NxM            draw the picture as N columns and M rows of tiles, each\n"
    "                         its own window, through the pre-clipped slots (Enable\n"
    "                         Tiling), and write them as one picture; 1x1 draws the\n"
    "                         same way as one tile\n"
    "  --module PATH          the renderer module (default: the one built with the demo)\n"
    "  --print-hash           print hashes of the colour and depth buffers (with\n"
    "                         --tiles, of the picture)\n"
    "  --help                 this text\n"
    "Configurations: A no depth, true colour, blending; B no depth, opaque; C no depth,\n"
    "palette; D depth, palette; E depth, true colour, blending; F depth, opaque.\n"
    "The variable ZDI_TRACE=FILE records every call into the renderer as a trace\n"
    "that zdi_replay plays back.\n";

namespace {

bool on_off(const std::string& v, bool& out) {
  if (v == "on" || v == "yes" || v == "true") out = true;
  else if (v == "off" || v == "no" || v == "false") out = false;
  else return false;
  return true;
}

bool parse_float(const char* text, float& out) {
  char* end = nullptr;
  const float v = std::strtof(text, &end);
  if (end == text || *end != '\0' || !(v == v) || v > 1e6f || v < -1e6f) return false;
  out = v;
  return true;
}

bool parse_camera(const std::string& v, Demo_Options& o) {
  float values[3] = {0, 0, 1};
  std::size_t start = 0;
  int n = 0;
  while (n < 3) {
    std::size_t comma = v.find(',', start);
    std::string part = v.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!parse_float(part.c_str(), values[n++])) return false;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (n < 2 || values[2] <= 0 || v.find(',', start) != std::string::npos) return false;
  o.yaw = values[0];
  o.pitch = values[1];
  o.zoom = values[2];
  return true;
}

}  // namespace

Parse_Outcome parse_demo_options(int argc, const char* const* argv, Demo_Options& o) {
  auto error = [](std::string m) { return Parse_Outcome{Parse_Outcome::error, std::move(m)}; };
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") return {Parse_Outcome::help, ""};
    if (a == "--print-hash") {
      o.print_hash = true;
      continue;
    }
    if (a.size() > 1 && a[0] == '-') {
      if (i + 1 >= argc) return error(a + " needs a value");
      const std::string v = argv[++i];
      if (a == "-o" || a == "--output") {
        o.output = v;
      } else if (a == "--texture") {
        o.texture = v;
      } else if (a == "--module") {
        o.module = v;
      } else if (a == "--size") {
        const auto size = size_from_text(v, ZT_Largest_Window_Side);
        if (!size)
          return error("--size takes WIDTHxHEIGHT between 1x1 and " +
                       std::to_string(ZT_Largest_Window_Side) + "x" +
                       std::to_string(ZT_Largest_Window_Side) + ", not " + v);
        o.width = size->x;
        o.height = size->y;
      } else if (a == "--config") {
        const auto c = v.size() == 1 ? configuration_named(v[0]) : std::nullopt;
        if (!c) return error("--config takes one of A, B, C, D, E, F, not " + v);
        o.configuration = *c;
      } else if (a == "--depth") {
        if (!on_off(v, o.configuration.depth)) return error("--depth takes on or off, not " + v);
      } else if (a == "--blend") {
        if (!on_off(v, o.configuration.alpha_blending))
          return error("--blend takes on or off, not " + v);
      } else if (a == "--color") {
        if (v != "true" && v != "palette") return error("--color takes true or palette, not " + v);
        o.configuration.palette = v == "palette";
      } else if (a == "--camera") {
        if (!parse_camera(v, o))
          return error("--camera takes YAW,PITCH or YAW,PITCH,ZOOM (zoom above 0), not " + v);
      } else if (a == "--shading") {
        if (v == "gouraud") o.shading = Shading::gouraud;
        else if (v == "flat") o.shading = Shading::flat;
        else if (v == "wireframe") o.shading = Shading::wireframe;
        else if (v == "points") o.shading = Shading::points;
        else if (v == "hidden-line") o.shading = Shading::hidden_line;
        else
          return error("--shading takes gouraud, flat, wireframe, points or hidden-line, not " +
                       v);
      } else if (a == "--tiles") {
        int columns = 0, rows = 0;
        char tail = 0;
        if (std::sscanf(v.c_str(), "%dx%d%c", &columns, &rows, &tail) != 2 || columns < 1 ||
            rows < 1 || columns > 256 || rows > 256)
          return error("--tiles takes COLUMNSxROWS between 1x1 and 256x256, not " + v);
        o.tile_columns = columns;
        o.tile_rows = rows;
      } else {
        return error("unknown option " + a);
      }
    } else if (o.mesh.empty()) {
      o.mesh = a;
    } else {
      return error("only one mesh can be drawn; " + a + " is a second");
    }
  }
  return {};
}
