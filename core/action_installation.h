// What establish installs into the action table: each family's list of (slot,
// function) for a configuration, and the renderer's own services.
#pragma once

#include <span>

#include "images/image_actions.h"
#include "lines/line_actions.h"
#include "pixel/configuration.h"
#include "pixel/slot_installation.h"
#include "polygons/polygon_actions.h"
#include "textured/textured_actions.h"
#include "triangles/triangle_actions.h"

// The buffer services of a configuration (core/service_actions.cpp).
std::span<const Slot_Installation> service_actions(Configuration c);
// The pre-clipped slots installed with "Enable Tiling".
std::span<const Slot_Installation> tiling_actions();
// The do-nothing function of any slot, type-erased.
void (*do_nothing_function(ZT_Slot s))();
