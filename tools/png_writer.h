// Writing a window image as PNG: true colour as 8-bit RGB (what the window
// shows is opaque), indices as a palette image through their palette.
#pragma once

#include <string>

#include "tools/window_image.h"

// False with the reason in *error when the file cannot be written.
bool write_png(const Window_Image& image, const std::string& path, std::string* error);
