// What each configuration installs into the line slots: the polylines, the dot
// and the polymarker.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> line_actions(Configuration c);
// The three pre-clipped polylines (double-precision points), the same in every
// configuration; installed with "Enable Tiling".
std::span<const Slot_Installation> preclip_polyline_actions();
