// What each configuration installs into the twelve triangle slots, and the
// pre-clipped strips.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> triangle_actions(Configuration c);
// The three pre-clipped strips (double-precision points), the same in every
// configuration; installed with "Enable Tiling".
std::span<const Slot_Installation> preclip_triangle_actions();
