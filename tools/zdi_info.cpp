// zdi_info: loads a renderer module by path, establishes it in a configuration
// chosen on the command line and prints the configuration and the slot table.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/zarnik11.h"
#include "tools/module_location.h"
#include "tools/number_text.h"

namespace {

void usage() {
  std::puts(
      "usage: zdi_info [--module PATH] [--config A|B|C|D|E|F] [--size WxH] [--tiling]\n"
      "Loads the renderer module, establishes it and prints the chosen configuration\n"
      "and what every action slot holds: own (the renderer's), host (the host's\n"
      "standard action) or nothing.");
}

const char* slot_holder(const ZT_Renderer_Data& r, ZT_Slot s) {
  const ZT_Action_Slot& slot = r.actions.slot(s);
  if (r.actions.holds_standard(s)) return "host";
  if (slot.owner == &r) return "own";
  return "other";
}

}  // namespace

int main(int argc, char** argv) {
  std::string module = default_module_path();
  char config = 'F';
  int width = 640, height = 480;
  bool tiling = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      usage();
      return 0;
    } else if (a == "--module" && i + 1 < argc) {
      module = argv[++i];
    } else if (a == "--config" && i + 1 < argc && std::strlen(argv[i + 1]) == 1 &&
               argv[i + 1][0] >= 'A' && argv[i + 1][0] <= 'F') {
      config = argv[++i][0];
    } else if (a == "--size" && i + 1 < argc) {
      const auto size = size_from_text(argv[++i], ZT_Largest_Window_Side);
      if (!size) {
        std::fprintf(stderr, "zdi_info: --size takes WIDTHxHEIGHT from 1x1 to %dx%d, not %s\n",
                     ZT_Largest_Window_Side, ZT_Largest_Window_Side, argv[i]);
        return 2;
      }
      width = size->x;
      height = size->y;
    } else if (a == "--tiling") {
      tiling = true;
    } else {
      std::fprintf(stderr, "zdi_info: unknown argument %s\n", a.c_str());
      usage();
      return 2;
    }
  }

  ZT_Module loader;
  if (!loader.load(module)) {
    std::fprintf(stderr, "zdi_info: %s\n", loader.error().c_str());
    return 1;
  }
  ZT_Renderer_Data parent(nullptr);
  ZT_Renderer_Data* renderer = loader.create_renderer(&parent);
  if (!renderer) {
    std::fprintf(stderr, "zdi_info: the module created no renderer\n");
    return 1;
  }
  ZT_Renderer_Options& o = *renderer->renderer_options();
  o.set_window_size({width, height});
  o.set_buffer_depth(config >= 'D' ? 16 : 0);
  o.set_color_system(config == 'C' || config == 'D' ? 0 : 1);
  o.set_alpha_blending(config == 'A' || config == 'E');
  ZT_Counted_Ptr<ZT_Palette> palette(ZT_Palette::with_color_cube({6, 6, 6}, 16));
  if (config == 'C' || config == 'D') o.set_palette(palette.get());
  if (tiling) ZD_Set_Option(renderer, "Enable Tiling", ZT_Option_Value(true));
  if (const int32_t refused = ZD_Establish(renderer)) {
    std::fprintf(stderr, "zdi_info: establish refused: %s\n", ZD_Establish_Result_Text(refused));
    renderer->release();
    return 1;
  }

  std::printf("module %s\n", module.c_str());
  std::printf("configuration %c (depth buffer %s, %s colour, %s)\n", config,
              config >= 'D' ? "16-bit" : "none", config == 'C' || config == 'D' ? "mapped" : "true",
              config == 'A' || config == 'E' ? "alpha blending" : "opaque");
  std::printf("window %dx%d\n", width, height);
  for (int32_t i = 0; i < ZT_Slot_Count; ++i)
    std::printf("  %-38s %s\n", ZT_slot_name(ZT_Slot(i)), slot_holder(*renderer, ZT_Slot(i)));
  renderer->release();
  return 0;
}
