// What each configuration installs into the textured triangle slots.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> textured_actions(Configuration c, bool alpha_blending);
// The pre-clipped textured strips, the same in every configuration (installed
// with "Enable Tiling").
std::span<const Slot_Installation> preclip_textured_actions();
