#include <string>

#include "host/zt_texture.h"

namespace {

constexpr int32_t largest_side = 32768;

bool power_of_two(int32_t v) { return v > 0 && (v & (v - 1)) == 0; }

ZT_Shared_Image one_white_texel() {
  const ZT_RGB32 white(255, 255, 255, 255);
  return ZT_Shared_Image(1, 1, ZT_Image_Format_RGB32, 0, &white, false);
}

ZT_Shared_Image checked(ZT_Shared_Image image) {
  if (image.empty()) throw ZT_Texture_Error("a texture needs an image; none was given");
  const ZT_Image_Data& d = *image.data();
  const std::string size = std::to_string(d.width) + "x" + std::to_string(d.height);
  if (d.format != ZT_Image_Format_RGB32)
    throw ZT_Texture_Error("texture image " + size + ": texels must be 32-bit (RGB32)");
  if (!power_of_two(d.width) || !power_of_two(d.height) || d.width > largest_side ||
      d.height > largest_side)
    throw ZT_Texture_Error("texture image " + size +
                           ": width and height must be powers of two from 1 to 32768");
  return image;
}

}  // namespace

ZT_Texture::ZT_Texture() : image_(one_white_texel()) {}

ZT_Texture::ZT_Texture(ZT_Shared_Image image) : image_(checked(std::move(image))) {}

ZT_Shared_Image ZT_Texture::image(int32_t level, int32_t layer) const {
  if (level != 0 || layer != 0) return {};
  return image_;
}

ZT_Texel_Image::ZT_Texel_Image(const ZT_Texture& texture) : image_(texture.image(0, 0)) {
  width_ = image_->width;
  height_ = image_->height;
  rows_ = image_->rows_in_memory_order.data();
}
