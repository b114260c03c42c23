#include "tools/pixel_configuration.h"

char Pixel_Configuration::letter() const {
  if (palette) return depth ? 'D' : 'C';
  if (depth) return alpha_blending ? 'E' : 'F';
  return alpha_blending ? 'A' : 'B';
}

std::optional<Pixel_Configuration> configuration_named(char letter) {
  switch (letter) {
  case 'A': case 'a': return Pixel_Configuration{false, false, true};
  case 'B': case 'b': return Pixel_Configuration{false, false, false};
  case 'C': case 'c': return Pixel_Configuration{false, true, false};
  case 'D': case 'd': return Pixel_Configuration{true, true, false};
  case 'E': case 'e': return Pixel_Configuration{true, false, true};
  case 'F': case 'f': return Pixel_Configuration{true, false, false};
  default: return std::nullopt;
  }
}
