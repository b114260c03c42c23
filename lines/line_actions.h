// What each configuration installs into the line slots: the polylines, the dot
// and the polymarker.
#pragma once

#include <span>

#include "pixel/configuration.h"
#include "pixel/slot_installation.h"

std::span<const Slot_Installation> line_actions(Configuration c);
