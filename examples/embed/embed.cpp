// Loads the renderer module by path through the host library, draws a Gouraud
// strip, a polyline and a row of dots with depth, and writes the picture as PNG.
#include <png.h>

#include <cstdio>

#include "host/zarnik11.h"

int main(int argc, char** argv) {
  ZT_Module module;
  if (!module.load(RENDERER_MODULE)) {
    std::fprintf(stderr, "%s\n", module.error().c_str());
    return 1;
  }
  ZT_Renderer_Data parent(nullptr);
  ZT_Renderer_Data* renderer = module.create_renderer(&parent);
  renderer->renderer_options()->set_window_size({160, 120});
  renderer->renderer_options()->set_buffer_depth(16);  // true colour with a depth buffer
  ZD_Establish(renderer);

  const ZT_Action_Table& actions = renderer->actions;
  ZT_Rendition rendition;
  rendition.set_hard_clip_unrestricted({0, 159, 0, 119}, false);
  rendition.modify()->rectangle_color = {24, 28, 44};
  actions.call<ZT_Slot::span_dc_rectangle>(rendition);   // the background
  actions.call<ZT_Slot::clear_depth_buffer>(rendition);  // every depth far
  const ZT_DCI_Point strip[] = {{10, 10, 100}, {150, 20, 100}, {30, 110, 9000}, {140, 100, 9000}};
  const ZT_RGB32 colors[] = {{255, 60, 0}, {0, 200, 80}, {40, 90, 255}, {250, 250, 250}};
  actions.call<ZT_Slot::draw_dci_gouraud_polytriangle>(rendition, 4, strip, colors);
  const ZT_DCI_Point line[] = {{0, 60, 50}, {80, 5, 50}, {159, 60, 50}, {80, 119, 50}, {0, 60, 50}};
  rendition.set_color({255, 255, 0}, false);
  actions.call<ZT_Slot::draw_dci_polyline>(rendition, 5, line);
  for (const ZT_DCI_Point dot : {ZT_DCI_Point{20, 115, 0}, {60, 115, 0}, {100, 115, 0}})
    actions.call<ZT_Slot::draw_dci_dot>(rendition, &dot, nullptr);

  // The colour buffer the renderer publishes: words 0xAARRGGBB, top row first.
  auto* buffer = static_cast<ZT_Image_Data*>(
      renderer->option_table()->find("Color Buffer")->value()->as_pointer());
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = uint32_t(buffer->width);
  image.height = uint32_t(buffer->height);
  image.format = PNG_FORMAT_BGRA;
  const char* output = argc > 1 ? argv[1] : "embed.png";
  const bool written =
      png_image_write_to_file(&image, output, 0, buffer->pixels(), buffer->row_bytes, nullptr);
  std::printf("%s %s (%dx%d)\n", written ? "wrote" : "could not write", output, buffer->width,
              buffer->height);
  renderer->release();
  return written ? 0 : 1;
}
