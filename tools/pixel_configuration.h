// The six pixel configurations as a host asks for them: through the renderer
// options buffer depth, colour system and alpha blending.
#pragma once

#include <cstdint>
#include <optional>

struct Pixel_Configuration {
  bool depth = true;          // a 16-bit depth buffer
  bool palette = false;       // 8-bit indices into a palette with a colour cube
  bool alpha_blending = false;

  // 'A'..'F': the letter this combination gives.
  char letter() const;
};

// The configuration a letter A..F names (lower case too); none for anything else.
std::optional<Pixel_Configuration> configuration_named(char letter);
