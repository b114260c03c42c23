// The demo's command line.
#pragma once

#include <string>

#include "tools/pixel_configuration.h"
#include "tools/scene_painter.h"

struct Demo_Options {
  std::string mesh;  // empty: the built-in scene
  std::string texture;  // a PNG for the mesh's surface; empty: its material's, if any
  std::string output = "zdi_demo.png";
  std::string module;  // empty: the module built with the demo
  int32_t width = 640, height = 480;
  Pixel_Configuration configuration;  // F: depth, true colour, opaque
  float yaw = 0, pitch = 0, zoom = 1;
  Shading shading = Shading::gouraud;
  bool print_hash = false;
  // Columns and rows of tiles; 0: the picture is drawn as one window.
  int32_t tile_columns = 0, tile_rows = 0;
};

struct Parse_Outcome {
  enum Kind { run, help, error } kind = run;
  std::string message;  // the error
};

Parse_Outcome parse_demo_options(int argc, const char* const* argv, Demo_Options& options);
extern const char* const demo_usage;
